#pragma once
// A parallel port with nothing plugged in: the status lines float and read 0x7F (every input
// line pulled high, BUSY read inverted), and the data and control registers read back what
// was last written to them.
#include "platform/portio/PortDevice.h"

namespace portio {

inline constexpr uint8_t kFloatingStatus = 0x7F;

class FloatingPort : public PortDevice {
 public:
  uint8_t Read(LptRegister reg) override;
  void Write(LptRegister reg, uint8_t value) override;

 private:
  uint8_t data_ = 0x00;
  uint8_t control_ = 0x00;
};

}  // namespace portio
