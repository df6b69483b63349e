#include "programmer/StatusLines.h"

namespace programmer {

void StatusLines::Answer(WirePoint point, uint8_t value, uint8_t meaningful) {
  answerValue_ = value & meaningful;
  answerMeaningful_ = meaningful;
  isAnswer_ = true;
  seen_ = false;
  const AnswerHold hold = faults_.TakeAnswerHold(point);
  delay_ = hold.delayReads;
  stalled_ = stalled_ || hold.stall;
}

void StatusLines::Silence() {
  answerValue_ = shownValue_ = 0x00;
  answerMeaningful_ = shownMeaningful_ = 0xF8;
  isAnswer_ = false;
  seen_ = false;
  delay_ = 0;
}

uint8_t StatusLines::Read() {
  if (stalled_) {
    // nothing new is shown
  } else if (delay_ > 0) {
    --delay_;
  } else {
    shownValue_ = answerValue_;
    shownMeaningful_ = answerMeaningful_;
    seen_ = isAnswer_;
  }
  const auto status = static_cast<uint8_t>(shownValue_ | (Junk() & ~shownMeaningful_));
  const StuckLines stuck = faults_.OnStatusRead();
  return static_cast<uint8_t>((status & ~stuck.mask) | stuck.level);
}

uint8_t StatusLines::Junk() {
  junkState_ ^= junkState_ << 13;
  junkState_ ^= junkState_ >> 17;
  junkState_ ^= junkState_ << 5;
  return static_cast<uint8_t>(junkState_ >> 11);
}

}  // namespace programmer
