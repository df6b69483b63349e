#include "buffer/core/Progress.h"

#include <algorithm>

namespace buffer {
namespace {

class SilentProgress : public ProgressSink {
 public:
  void SetCaption(const std::string&) override {}
  void Show() override {}
  void SetPosition(int position) override { bar_.SetPosition(position); }
  void StepIt() override { bar_.StepIt(); }
  void Finish() override { bar_.Finish(); }
  void Close() override {}
  int Position() const override { return bar_.Position(); }

 private:
  ProgressBarModel bar_;
};

SilentProgress g_silent;
ProgressSink* g_sink = &g_silent;

}  // namespace

void ProgressBarModel::StepIt() { position_ = std::min(position_ + 1, kMax - 1); }

ProgressSink& Progress() { return *g_sink; }

ProgressSink* SetProgress(ProgressSink* sink) {
  ProgressSink* previous = g_sink;
  g_sink = sink ? sink : &g_silent;
  return previous;
}

int32_t ProgressStepSize(int64_t work) {
  return static_cast<int32_t>(std::clamp<int64_t>(work / 100, 1, INT32_MAX));
}

ProgressSteps::ProgressSteps(int64_t work, ProgressSink& sink)
    : sink_(sink), step_(ProgressStepSize(work)) {
  sink_.SetPosition(0);
}

ProgressShown::ProgressShown(ProgressSink& sink) : sink_(sink) { sink_.Show(); }

ProgressShown::ProgressShown(const std::string& caption, ProgressSink& sink) : sink_(sink) {
  sink_.SetCaption(caption);
  sink_.Show();
}

ProgressShown::~ProgressShown() { sink_.Close(); }

ProgressRun::ProgressRun(const std::string& caption, int64_t work, ProgressSink& sink)
    : shown_(caption, sink), steps_(work, sink) {}

RecordingProgress::RecordingProgress() : previous_(SetProgress(this)) {}

RecordingProgress::~RecordingProgress() { SetProgress(previous_); }

}  // namespace buffer
