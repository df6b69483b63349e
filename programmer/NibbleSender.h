#pragma once
// The device's half of the PC's nibble receive: it shows each byte as two nibbles on the
// status lines (bit 7 inverted, bit 3 set), paced by the values the PC writes to the data
// register. The PC never writes 0x00 here except when it gives up.
#include <cstdint>
#include <optional>
#include <vector>

#include "programmer/StatusLines.h"

namespace programmer {

class NibbleSender {
 public:
  enum class Outcome { Going, Done, Abandoned, Lost };

  explicit NibbleSender(StatusLines& lines) : lines_(lines) {}

  // Opens a send of `bytes`; `damaged` shows one nibble wrong once.
  void Start(std::vector<uint8_t> bytes, std::optional<NibbleFault> damaged = std::nullopt);
  // Opens the same bytes again (the PC retries from its opening wait).
  void Restart();
  Outcome OnData(uint8_t value);

  // The status showing a nibble (the high four bits of `nibble`).
  static uint8_t NibbleStatus(uint8_t nibble) { return static_cast<uint8_t>(((nibble ^ 0x80) & 0xF0) | 0x08); }

 private:
  enum class Step { Open, High, Gap, Low, Acknowledge, Close, Lost };

  void ShowNextByteOrClose();
  void ShowNibble(bool high);

  StatusLines& lines_;
  std::vector<uint8_t> bytes_;
  std::optional<NibbleFault> damaged_;
  size_t index_ = 0;
  Step step_ = Step::Lost;
};

}  // namespace programmer
