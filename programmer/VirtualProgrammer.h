#pragma once
// The virtual programmer: a software model of the device on the far side of the virtual
// parallel port, stepped by the PC's own register accesses.
#include <cstdint>

#include "platform/portio/PortDevice.h"

namespace programmer {

class VirtualProgrammer : public portio::PortDevice {
 public:
  uint8_t Read(portio::LptRegister reg) override;
  void Write(portio::LptRegister reg, uint8_t value) override;

 private:
  uint8_t data_ = 0;
  uint8_t control_ = 0;
};

}  // namespace programmer
