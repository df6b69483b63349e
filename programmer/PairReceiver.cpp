#include "programmer/PairReceiver.h"

namespace programmer {

void PairReceiver::Start() {
  bytes_.clear();
  step_ = Step::Open;
  lines_.Answer(WirePoint::ReceiveOpen, 0xD8);
}

PairReceiver::Outcome PairReceiver::OnControl(uint8_t data, uint8_t control) {
  switch (step_) {
    case Step::Open:
      if (data != 0x12 || control != 0x05) return Lose();
      step_ = Step::FirstOfPair;
      lines_.Answer(WirePoint::ReceivePair, 0x28);
      return Outcome::Going;
    case Step::FirstOfPair:
      if (control == 0x00 && data == 0xFF) {
        step_ = Step::Closing;
        lines_.Answer(WirePoint::ReceiveClose, 0x30);
        return Outcome::Going;
      }
      if (control != 0x0B) return Lose();
      bytes_.push_back(data);
      step_ = Step::SecondOfPair;
      lines_.Answer(WirePoint::ReceivePair, 0xD8);
      return Outcome::Going;
    case Step::SecondOfPair:
      if (control != 0x05) return Lose();
      bytes_.push_back(data);
      step_ = Step::FirstOfPair;
      lines_.Answer(WirePoint::ReceivePair, 0x28);
      return Outcome::Going;
    case Step::Closing:
    case Step::Lost:
      break;
  }
  return Lose();
}

PairReceiver::Outcome PairReceiver::OnData(uint8_t value) {
  if (step_ != Step::Closing) return Outcome::Going;  // the byte is taken on the control write
  if (value != 0x00) return Lose();
  step_ = Step::Lost;
  return Outcome::Done;
}

PairReceiver::Outcome PairReceiver::Lose() {
  step_ = Step::Lost;
  lines_.Silence();
  return Outcome::Lost;
}

}  // namespace programmer
