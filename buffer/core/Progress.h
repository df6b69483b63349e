#pragma once
// Progress of long buffer operations. The operations report to the program-wide sink (the
// progress window in the programs, a recorder in tests) so that they stay free of widgets.
#include <cstdint>
#include <string>
#include <vector>

namespace buffer {

// The bar: 0..100; a step never passes 99, only Finish reaches 100.
class ProgressBarModel {
 public:
  static constexpr int kMin = 0;
  static constexpr int kMax = 100;

  int Position() const { return position_; }
  void SetPosition(int position) { position_ = position; }
  void StepIt();
  void Finish() { position_ = kMax; }

 private:
  int position_ = kMin;
};

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void Show() = 0;
  virtual void SetPosition(int position) = 0;
  virtual void StepIt() = 0;
  // Full bar, and a short pause so that it is seen.
  virtual void Finish() = 0;
  virtual void Close() = 0;
  virtual int Position() const = 0;
};

// The sink every operation reports to. Without an installed one, a silent one.
ProgressSink& Progress();
// Installs the sink (nullptr: the silent one) and returns the previous one.
ProgressSink* SetProgress(ProgressSink* sink);

// The work units between two steps: a hundredth of the work, at least 1.
int32_t ProgressStepSize(int64_t work);

// Splits the indices [first, last] into runs that each end at a multiple of `interval` or
// at `last`; calls work(from, to) for each run [from, to) and step() after each run whose
// last index is a multiple: the steps a test of every index would make, without testing
// every index. Indices are never negative.
template <class Work, class Step>
void RunInSteps(int64_t first, int64_t last, int64_t interval, Work&& work, Step&& step) {
  for (int64_t from = first; from <= last;) {
    const int64_t multiple = (from + interval - 1) / interval * interval;
    const int64_t runLast = multiple < last ? multiple : last;
    work(from, runLast + 1);
    if (runLast == multiple) step();
    from = runLast + 1;
  }
}

// One pass's steps through the sink: position 0 on construction, a step after each unit
// whose index is a multiple of the step size, Finish at the end. It shows and closes
// nothing, so a caller that shows the window around the pass keeps it up.
class ProgressSteps {
 public:
  explicit ProgressSteps(int64_t work, ProgressSink& sink = Progress());

  // Steps the bar after each unit whose index is a multiple of the step size.
  void Tick(int64_t index) {
    if (index % step_ == 0) sink_.StepIt();
  }
  // work(from, to) over the units [first, last] in runs, with the steps Tick would make.
  template <class Work>
  void Run(int64_t first, int64_t last, Work&& work) {
    RunInSteps(first, last, step_, work, [this] { sink_.StepIt(); });
  }
  void Finish() { sink_.Finish(); }
  int32_t StepSize() const { return step_; }
  ProgressSink& Sink() const { return sink_; }

 private:
  ProgressSink& sink_;
  int32_t step_;
};

// The window on screen while this lives: shown on construction (with the caption, when one
// is given), closed on destruction, also when the work throws.
class ProgressShown {
 public:
  explicit ProgressShown(ProgressSink& sink = Progress());
  ProgressShown(const std::string& caption, ProgressSink& sink = Progress());
  ~ProgressShown();
  ProgressShown(const ProgressShown&) = delete;
  ProgressShown& operator=(const ProgressShown&) = delete;

 private:
  ProgressSink& sink_;
};

// One operation's own window: caption, show and position 0 on construction; Tick after
// each unit of work; Finish at the end; the window is closed on destruction, also when the
// work throws.
class ProgressRun {
 public:
  ProgressRun(const std::string& caption, int64_t work, ProgressSink& sink = Progress());

  void Tick(int64_t index) { steps_.Tick(index); }
  template <class Work>
  void Run(int64_t first, int64_t last, Work&& work) {
    steps_.Run(first, last, work);
  }
  void SetCaption(const std::string& caption) { steps_.Sink().SetCaption(caption); }
  void Finish() { steps_.Finish(); }
  int32_t StepSize() const { return steps_.StepSize(); }

 private:
  ProgressShown shown_;
  ProgressSteps steps_;
};

// A sink that only keeps the bar and counts what happened; installs itself while it lives.
// For tests of operations that report progress.
class RecordingProgress : public ProgressSink {
 public:
  RecordingProgress();
  ~RecordingProgress() override;
  RecordingProgress(const RecordingProgress&) = delete;
  RecordingProgress& operator=(const RecordingProgress&) = delete;

  void SetCaption(const std::string& caption) override { captions.push_back(caption); }
  void Show() override { ++shows; visible = true; }
  void SetPosition(int position) override { bar_.SetPosition(position); }
  void StepIt() override { ++steps; bar_.StepIt(); }
  void Finish() override { ++finishes; bar_.Finish(); }
  void Close() override { ++closes; visible = false; }
  int Position() const override { return bar_.Position(); }

  std::vector<std::string> captions;
  int shows = 0;
  int steps = 0;
  int finishes = 0;
  int closes = 0;
  bool visible = false;

 private:
  ProgressSink* previous_;
  ProgressBarModel bar_;
};

}  // namespace buffer
