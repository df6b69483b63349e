#include "buffer/formats/ScanProgress.h"

#include <algorithm>

namespace formats {
namespace {
constexpr int64_t kMostSteps = 100;
}

ScanProgress::ScanProgress(int64_t work, const std::string& caption)
    : sink_(buffer::Progress()), step_(std::max<int64_t>(work / kMostSteps, 1)), next_(step_) {
  if (!caption.empty()) sink_.SetCaption(caption);
  sink_.Show();
  sink_.SetPosition(0);
}

void ScanProgress::StepTo(int64_t position) {
  const int64_t due = std::min(position / step_, kMostSteps);
  for (; steps_ < due; ++steps_) sink_.StepIt();
  next_ = steps_ >= kMostSteps ? INT64_MAX : (steps_ + 1) * step_;
}

void ScanProgress::Done() {
  if (done_) return;
  done_ = true;
  sink_.Finish();
  sink_.Close();
}

}  // namespace formats
