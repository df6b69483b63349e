#pragma once
// The virtual programmer: a software model of the device on the far side of the virtual
// parallel port, stepped by the PC's own register accesses. Its wire side speaks the link
// protocol; what the device does with the packets sits on top of it.
#include <cstdint>

#include "platform/portio/PortDevice.h"
#include "programmer/DeviceLink.h"

namespace programmer {

class VirtualProgrammer : public portio::PortDevice {
 public:
  uint8_t Read(portio::LptRegister reg) override { return wire_.Read(reg); }
  void Write(portio::LptRegister reg, uint8_t value) override { wire_.Write(reg, value); }

  DeviceLink& wire() { return wire_; }

 private:
  DeviceLink wire_;
};

}  // namespace programmer
