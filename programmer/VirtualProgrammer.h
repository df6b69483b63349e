#pragma once
// The virtual programmer: a software model of the device on the far side of the virtual
// parallel port, stepped by the PC's own register accesses. Its wire side speaks the link
// protocol; its firmware, listening to the wire, decides what the device says and shows.
#include <cstdint>

#include "platform/portio/PortDevice.h"
#include "programmer/DeviceLink.h"
#include "programmer/Firmware.h"

namespace programmer {

class VirtualProgrammer : public portio::PortDevice {
 public:
  VirtualProgrammer() { wire_.SetListener(&firmware_); }
  VirtualProgrammer(const VirtualProgrammer&) = delete;
  VirtualProgrammer& operator=(const VirtualProgrammer&) = delete;

  uint8_t Read(portio::LptRegister reg) override { return wire_.Read(reg); }
  void Write(portio::LptRegister reg, uint8_t value) override { wire_.Write(reg, value); }

  // Replacing the wire's listener detaches the firmware (tests of the wire alone do).
  DeviceLink& wire() { return wire_; }
  Firmware& firmware() { return firmware_; }

 private:
  DeviceLink wire_;
  Firmware firmware_{wire_};
};

}  // namespace programmer
