#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <stdexcept>

#include "buffer/ProgressWin.h"
#include "buffer/core/Progress.h"

namespace {

using namespace buffer;

TEST(ProgressTest, StepsStopAtNinetyNineUntilFinish) {
  ProgressBarModel bar;
  bar.SetPosition(98);
  bar.StepIt();
  EXPECT_EQ(bar.Position(), 99);
  bar.StepIt();
  EXPECT_EQ(bar.Position(), 99);
  bar.Finish();
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(0);
  EXPECT_EQ(bar.Position(), 0);
}

TEST(ProgressTest, StepSizeIsAHundredthOfTheWorkAndAtLeastOne) {
  EXPECT_EQ(ProgressStepSize(0), 1);
  EXPECT_EQ(ProgressStepSize(99), 1);
  EXPECT_EQ(ProgressStepSize(250), 2);
  EXPECT_EQ(ProgressStepSize(0x1000000), 0x28F5C);
}

TEST(ProgressTest, ARunShowsStepsFinishesAndCloses) {
  RecordingProgress progress;
  {
    ProgressRun run("Processing...", 50);
    EXPECT_TRUE(progress.visible);
    for (int i = 0; i < 50; ++i) run.Tick(i);
    EXPECT_EQ(progress.Position(), 50);
    run.SetCaption("Waiting...");
    run.Finish();
  }
  EXPECT_EQ(progress.captions, (std::vector<std::string>{"Processing...", "Waiting..."}));
  EXPECT_EQ(progress.steps, 50);
  EXPECT_EQ(progress.Position(), 100);
  EXPECT_EQ(progress.finishes, 1);
  EXPECT_EQ(progress.closes, 1);
  EXPECT_FALSE(progress.visible);
}

TEST(ProgressTest, LargeWorkCrawlsToNinetyNineAndRestartsFromEmpty) {
  RecordingProgress progress;
  {
    ProgressRun run("Loading...", 1000);
    for (int i = 0; i < 1000; ++i) run.Tick(i);
  }
  EXPECT_EQ(progress.steps, 100);
  EXPECT_EQ(progress.Position(), 99);
  ProgressRun again("Loading...", 10);
  EXPECT_EQ(progress.Position(), 0);
}

TEST(ProgressTest, AFailingOperationStillClosesTheWindow) {
  RecordingProgress progress;
  EXPECT_THROW(
      {
        ProgressRun run("File processing ......", 10);
        throw std::runtime_error("read failed");
      },
      std::runtime_error);
  EXPECT_EQ(progress.closes, 1);
  EXPECT_FALSE(progress.visible);
}

TEST(ProgressTest, WithoutAnInstalledSinkProgressIsSilent) {
  ProgressRun run("Processing...", 3);
  run.Tick(0);
  EXPECT_EQ(Progress().Position(), 1);
}

TEST(ProgressWindowTest, DesignCentringAndFlag) {
  TProgressWindow window;
  EXPECT_EQ(window.windowTitle(), "Progress..");
  EXPECT_EQ(window.size(), QSize(240, 30));
  EXPECT_EQ(window.Bar()->minimum(), 0);
  EXPECT_EQ(window.Bar()->maximum(), 100);
  EXPECT_EQ(window.Bar()->geometry(), QRect(8, 8, 225, 17));
  EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
  QRect desktop = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window.x(), desktop.left() + (desktop.width() - 240) / 2);
  EXPECT_EQ(window.y(), desktop.top() + (desktop.height() - 30) / 2);
  EXPECT_EQ(window.Shown(), 0);
}

TEST(ProgressWindowTest, OperationsDriveTheWindowThroughTheSink) {
  TProgressWindow window;
  window.SetFinishPauseMs(0);
  ProgressSink* previous = SetProgress(&window);
  {
    ProgressRun run("Loading...", 300);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Shown(), 1);
    EXPECT_EQ(window.windowTitle(), "Loading...");
    for (int i = 0; i < 150; ++i) run.Tick(i);
    EXPECT_EQ(window.Bar()->value(), 50);
    run.Finish();
    EXPECT_EQ(window.Bar()->value(), 100);
  }
  SetProgress(previous);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.Shown(), 0);
  window.SetPosition(98);
  window.StepIt();
  window.StepIt();
  EXPECT_EQ(window.Bar()->value(), 99);
}

}  // namespace
