#pragma once
// One virtual parallel port with a device attached: every register access at the port's
// three addresses goes to the device, in order.
#include <memory>

#include "platform/portio/LptAddressMap.h"
#include "platform/portio/PortBackend.h"
#include "platform/portio/PortDevice.h"

namespace portio {

class VirtualPortBackend : public PortBackend {
 public:
  static constexpr uint32_t kDefaultBase = 0x378;

  explicit VirtualPortBackend(std::unique_ptr<PortDevice> device, uint32_t base = kDefaultBase);

  bool IsActive() const override { return device_ != nullptr; }
  int LptCount() const override { return map_.Count(); }
  uint32_t LptBase(int number) const override { return map_.Base(number); }
  uint8_t Read(uint32_t address) override;
  void Write(uint32_t address, uint8_t value) override;

  PortDevice* device() const { return device_.get(); }
  uint64_t accesses() const { return accesses_; }

 private:
  std::unique_ptr<PortDevice> device_;
  LptAddressMap map_;
  uint64_t accesses_ = 0;
};

// Puts `device` on a virtual port at `base` behind the driver and opens the driver on it, as
// a program's start-up does; returns the port. CloseVirtualPort undoes both.
VirtualPortBackend* OpenVirtualPort(std::unique_ptr<PortDevice> device, uint32_t base);
void CloseVirtualPort();

}  // namespace portio
