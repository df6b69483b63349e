#include "programmer/NibbleSender.h"

namespace programmer {

void NibbleSender::Start(std::vector<uint8_t> bytes, std::optional<NibbleFault> damaged) {
  bytes_ = std::move(bytes);
  damaged_ = damaged;
  Restart();
}

void NibbleSender::Restart() {
  index_ = 0;
  step_ = Step::Open;
  lines_.Answer(WirePoint::SendOpen, 0x60);
}

NibbleSender::Outcome NibbleSender::OnData(uint8_t value) {
  struct Expected {
    Step step;
    uint8_t value;
  };
  static constexpr Expected kPace[] = {{Step::Open, 0x55}, {Step::High, 0x5A}, {Step::Gap, 0xAA},
                                       {Step::Low, 0xA5},  {Step::Acknowledge, 0x55}, {Step::Close, 0xFF}};
  bool paced = false;
  for (const Expected& e : kPace) paced = paced || (e.step == step_ && e.value == value);
  if (!paced) {
    if (value == 0x00) return Outcome::Abandoned;
    step_ = Step::Lost;
    lines_.Silence();
    return Outcome::Lost;
  }
  switch (step_) {
    case Step::Open:
    case Step::Acknowledge:
      ShowNextByteOrClose();
      break;
    case Step::High:
      step_ = Step::Gap;
      lines_.Answer(WirePoint::SendNibble, 0x20);
      break;
    case Step::Gap:
      ShowNibble(false);
      break;
    case Step::Low:
      ++index_;
      step_ = Step::Acknowledge;
      lines_.Answer(WirePoint::SendNibble, 0xD0);
      break;
    case Step::Close:
      step_ = Step::Lost;
      return Outcome::Done;
    case Step::Lost:
      break;
  }
  return Outcome::Going;
}

void NibbleSender::ShowNextByteOrClose() {
  if (damaged_ && damaged_->dropByte && damaged_->frameByte == index_) {
    damaged_.reset();
    ++index_;
  }
  if (index_ < bytes_.size()) {
    ShowNibble(true);
  } else {
    step_ = Step::Close;
    lines_.Answer(WirePoint::SendClose, 0x78);
  }
}

void NibbleSender::ShowNibble(bool high) {
  uint8_t nibble = high ? (bytes_[index_] & 0xF0) : static_cast<uint8_t>(bytes_[index_] << 4);
  if (damaged_ && !damaged_->dropByte && damaged_->frameByte == index_ && damaged_->highNibble == high) {
    nibble ^= damaged_->bits;
    damaged_.reset();
  }
  step_ = high ? Step::High : Step::Low;
  lines_.Answer(WirePoint::SendNibble, NibbleStatus(nibble));
}

}  // namespace programmer
