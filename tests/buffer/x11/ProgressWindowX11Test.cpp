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

// A connection to the X server that DISPLAY names, made through libxcb (loaded at run time,
// as Qt's xcb plugin does): Qt itself would abort the program without a server. It is held
// until Qt has connected too, because an X server resets when its last client leaves and
// refuses connections while it does.
class XServerProbe {
 public:
  XServerProbe() : xcb_(dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL)) {
    if (!xcb_) return;
    auto connect = reinterpret_cast<void* (*)(const char*, int*)>(dlsym(xcb_, "xcb_connect"));
    auto hasError = reinterpret_cast<int (*)(void*)>(dlsym(xcb_, "xcb_connection_has_error"));
    disconnect_ = reinterpret_cast<void (*)(void*)>(dlsym(xcb_, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect_) return;
    connection_ = connect(nullptr, nullptr);
    answers_ = hasError(connection_) == 0;
  }
  ~XServerProbe() {
    if (connection_) disconnect_(connection_);
    if (xcb_) dlclose(xcb_);
  }
  XServerProbe(const XServerProbe&) = delete;
  XServerProbe& operator=(const XServerProbe&) = delete;

  bool Answers() const { return answers_; }

 private:
  void* xcb_;
  void* connection_ = nullptr;
  void (*disconnect_)(void*) = nullptr;
  bool answers_ = false;
};

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
  {
    const XServerProbe probe;
    if (probe.Answers()) app = std::make_unique<QApplication>(argc, argv);
  }
  return RUN_ALL_TESTS();
}
