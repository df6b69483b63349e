// The progress window on an X server: while an operation runs (no return to the event loop),
// the window is on screen and the bar is drawn at the operation's position. The pictures come
// from the X server itself, as a screenshot would.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <memory>

#include "buffer/ProgressWin.h"
#include "buffer/core/Progress.h"

namespace {

using namespace buffer;

// Asks libxcb (loaded at run time, as Qt's xcb plugin does) whether DISPLAY names a server
// that answers. Qt itself would abort the program without one.
bool XServerAnswers() {
  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (!xcb) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  bool answers = false;
  if (connect && hasError && disconnect) {
    void* connection = connect(nullptr, nullptr);
    answers = hasError(connection) == 0;
    disconnect(connection);
  }
  dlclose(xcb);
  return answers;
}

// What the X server shows of the window now.
QImage OnScreen(const QWidget& window) {
  return window.screen()->grabWindow(window.winId()).toImage();
}

// The share of the bar's middle line that is drawn in the bar's highlight colour.
double FilledShare(const QImage& shot, const QProgressBar& bar) {
  const QRect area(bar.mapTo(bar.window(), QPoint(0, 0)), bar.size());
  const QColor highlight = bar.palette().color(QPalette::Active, QPalette::Highlight);
  const int y = area.center().y();
  int filled = 0;
  for (int x = area.left(); x <= area.right(); ++x) {
    const QColor pixel = shot.pixelColor(x, y);
    const bool sameHue = std::abs(pixel.hsvHue() - highlight.hsvHue()) <= 25;
    if (sameHue && pixel.hsvSaturation() >= highlight.hsvSaturation() / 2) ++filled;
  }
  return static_cast<double>(filled) / area.width();
}

TEST(ProgressWindowOnX11, TheBarIsOnScreenWhileTheOperationRuns) {
  if (!qApp) GTEST_SKIP() << "no X server answers on DISPLAY";
  TProgressWindow window;
  window.SetFinishPauseMs(0);
  ProgressSink* previous = SetProgress(&window);
  {
    ProgressRun run("Processing...", 200);
    for (int i = 0; i < 100; ++i) run.Tick(i);
    const QImage half = OnScreen(window);
    ASSERT_EQ(half.size(), window.size());
    EXPECT_NEAR(FilledShare(half, *window.Bar()), 0.5, 0.1);
    for (int i = 100; i < 200; ++i) run.Tick(i);
    run.Finish();
    EXPECT_GT(FilledShare(OnScreen(window), *window.Bar()), 0.9);
  }
  SetProgress(previous);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // These cases are about the X server; another platform would prove nothing.
  qputenv("QT_QPA_PLATFORM", "xcb");
  std::unique_ptr<QApplication> app;
  if (XServerAnswers()) app = std::make_unique<QApplication>(argc, argv);
  return RUN_ALL_TESTS();
}
