#pragma once
// The fixture's virtual programmer behind the port, which the port would otherwise own.
#include "platform/portio/PortDevice.h"
#include "programmer/VirtualProgrammer.h"

class ForwardingDevice : public portio::PortDevice {
 public:
  explicit ForwardingDevice(programmer::VirtualProgrammer& device) : device_(device) {}
  uint8_t Read(portio::LptRegister reg) override { return device_.Read(reg); }
  void Write(portio::LptRegister reg, uint8_t value) override { device_.Write(reg, value); }

 private:
  programmer::VirtualProgrammer& device_;
};
