#pragma once
// The progress window over a reader's scan or a writer's run: shown at 0 when the work
// starts, one step each time the position passes another hundredth of the work (at least
// one unit a step, never more than a hundred steps), finished and closed at the end, also
// when the work is left early.
#include <cstdint>
#include <string>

#include "buffer/core/Progress.h"

namespace formats {

class ScanProgress {
 public:
  // A non-empty caption is set before the window shows; an empty one leaves the caption.
  explicit ScanProgress(int64_t work, const std::string& caption = "");
  ~ScanProgress() { Done(); }
  ScanProgress(const ScanProgress&) = delete;
  ScanProgress& operator=(const ScanProgress&) = delete;

  // The work has reached this position.
  void At(int64_t position) {
    if (position >= next_) StepTo(position);
  }
  // Full bar, then the window closes; once.
  void Done();

 private:
  void StepTo(int64_t position);

  buffer::ProgressSink& sink_;
  const int64_t step_;
  int64_t steps_ = 0;
  int64_t next_;
  bool done_ = false;
};

}  // namespace formats
