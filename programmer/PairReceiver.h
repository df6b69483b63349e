#pragma once
// The device's half of the PC's byte-pair send. The PC puts a byte on the data lines and then
// toggles the control lines (0x0B, 0x05); the device takes the byte on each control write and
// answers. It takes as many bytes as the PC sends; the framing decides whether they fit.
#include <cstdint>
#include <vector>

#include "programmer/StatusLines.h"

namespace programmer {

class PairReceiver {
 public:
  enum class Outcome { Going, Done, Lost };

  explicit PairReceiver(StatusLines& lines) : lines_(lines) {}

  // Shows that the device is ready for a send; forgets what an earlier one brought.
  void Start();
  Outcome OnControl(uint8_t data, uint8_t control);
  Outcome OnData(uint8_t value);

  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  enum class Step { Open, FirstOfPair, SecondOfPair, Closing, Lost };

  Outcome Lose();

  StatusLines& lines_;
  std::vector<uint8_t> bytes_;
  Step step_ = Step::Lost;
};

}  // namespace programmer
