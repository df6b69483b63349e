#include "programmer/WireFaults.h"

#include <utility>

namespace programmer {

void WireFaults::DelayAnswer(WirePoint point, uint32_t reads, uint32_t skip) {
  answers_.push_back({point, skip, {reads, false}});
}

void WireFaults::StallAnswer(WirePoint point, uint32_t skip) { answers_.push_back({point, skip, {0, true}}); }

void WireFaults::CorruptNibble(size_t frameByte, bool highNibble) { frame_.nibble = NibbleFault{frameByte, highNibble}; }

void WireFaults::CorruptCrc() { frame_.corruptCrc = true; }

void WireFaults::WrongLength(uint16_t lengthField) { frame_.lengthField = lengthField; }

void WireFaults::ReplaceCode(uint8_t code) { frame_.code = code; }

void WireFaults::Clear() {
  answers_.clear();
  frame_ = {};
}

AnswerHold WireFaults::TakeAnswerHold(WirePoint point) {
  for (auto it = answers_.begin(); it != answers_.end(); ++it) {
    if (it->point != point) continue;
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    const AnswerHold hold = it->hold;
    answers_.erase(it);
    return hold;
  }
  return {};
}

FrameFaults WireFaults::TakeFrameFaults() { return std::exchange(frame_, {}); }

}  // namespace programmer
