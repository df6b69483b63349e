#include "programmer/PollResponder.h"

namespace programmer {

void PollResponder::Start() {
  step_ = 1;
  lines_.Answer(WirePoint::PollStep1, 0x80);
}

PollResponder::Outcome PollResponder::OnControl(uint8_t data, uint8_t control) {
  switch (step_) {
    case 1:
      if (data != 0x39 || control != 0x05) break;
      step_ = 2;
      lines_.Answer(WirePoint::PollStep2, 0xE0);
      return Outcome::Going;
    case 2:
      // Data 0x00 is no poll code: it is the PC starting its next poll after losing this one.
      if (control != 0x0A || data == 0x00) break;
      onPollCode_(data);
      step_ = 3;
      lines_.Answer(WirePoint::PollStep3, 0x18);
      return Outcome::Going;
    case 3:
      if (data != 0x93 || control != 0x05) break;
      answeredCommand_ = hasCommand_();
      step_ = 4;
      lines_.Answer(WirePoint::PollStep4, answeredCommand_ ? 0x20 : 0x30, 0xF0);
      return Outcome::Going;
    case 4:
      if (data != 0x39 || control != 0x0A) break;
      step_ = 5;
      lines_.Answer(WirePoint::PollStep5, 0x10, 0xF0);
      return Outcome::Going;
    case 5:
      if (data != 0x00 || control != (answeredCommand_ ? 0x04 : 0x0A)) break;
      step_ = 0;
      return answeredCommand_ ? Outcome::Command : Outcome::Idle;
    default:
      break;
  }
  step_ = 0;
  return Outcome::Lost;
}

}  // namespace programmer
