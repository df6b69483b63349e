#pragma once
// Virtual parallel ports, each with a device attached (FloatingPort for an empty one): every
// register access at a port's three addresses goes to its device, in order.
#include <memory>
#include <vector>

#include "platform/portio/LptAddressMap.h"
#include "platform/portio/PortBackend.h"
#include "platform/portio/PortDevice.h"

namespace portio {

class VirtualPortBackend : public PortBackend {
 public:
  static constexpr uint32_t kDefaultBase = 0x378;

  struct Port {
    uint32_t base;
    std::unique_ptr<PortDevice> device;
  };

  // One port; without a device the driver is not active and the port reads 0xFF.
  explicit VirtualPortBackend(std::unique_ptr<PortDevice> device, uint32_t base = kDefaultBase);
  // Ports 1..n in this order; every one must have a device.
  explicit VirtualPortBackend(std::vector<Port> ports);

  bool IsActive() const override { return !devices_.empty() && devices_.front() != nullptr; }
  int LptCount() const override { return map_.Count(); }
  uint32_t LptBase(int number) const override { return map_.Base(number); }
  uint8_t Read(uint32_t address) override;
  void Write(uint32_t address, uint8_t value) override;

  // The device of port `index` (from 0).
  PortDevice* device(int index = 0) const { return devices_[static_cast<size_t>(index)].get(); }
  uint64_t accesses() const { return accesses_; }

 private:
  static std::vector<uint32_t> Bases(const std::vector<Port>& ports);

  std::vector<std::unique_ptr<PortDevice>> devices_;
  LptAddressMap map_;
  uint64_t accesses_ = 0;
};

// Puts `device` on a virtual port at `base` behind the driver and opens the driver on it, as
// a program's start-up does; returns the port. CloseVirtualPort undoes both.
VirtualPortBackend* OpenVirtualPort(std::unique_ptr<PortDevice> device, uint32_t base);
VirtualPortBackend* OpenVirtualPorts(std::vector<VirtualPortBackend::Port> ports);
void CloseVirtualPort();

}  // namespace portio
