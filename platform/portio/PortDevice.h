#pragma once
// A device on the far side of a virtual parallel port. It sees the PC's register accesses
// one by one, in the order the PC makes them.
#include <cstdint>

namespace portio {

enum class LptRegister { Data = 0, Status = 1, Control = 2 };

class PortDevice {
 public:
  virtual ~PortDevice() = default;
  virtual uint8_t Read(LptRegister reg) = 0;
  virtual void Write(LptRegister reg, uint8_t value) = 0;
};

}  // namespace portio
