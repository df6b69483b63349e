#include "platform/portio/VirtualPortBackend.h"

#include "platform/portio/PortDriver.h"

namespace portio {

VirtualPortBackend::VirtualPortBackend(std::unique_ptr<PortDevice> device, uint32_t base)
    : device_(std::move(device)), map_({base}) {}

uint8_t VirtualPortBackend::Read(uint32_t address) {
  auto at = map_.Locate(address);
  if (!at || !device_) return 0xFF;
  ++accesses_;
  return device_->Read(at->reg);
}

void VirtualPortBackend::Write(uint32_t address, uint8_t value) {
  auto at = map_.Locate(address);
  if (!at || !device_) return;
  ++accesses_;
  device_->Write(at->reg, value);
}

VirtualPortBackend* OpenVirtualPort(std::unique_ptr<PortDevice> device, uint32_t base) {
  auto backend = std::make_unique<VirtualPortBackend>(std::move(device), base);
  VirtualPortBackend* port = backend.get();
  InstallBackend(std::move(backend));
  DriverHandle = DriverOpen(0, "TVICHW32", "TVicDevice0");
  return port;
}

void CloseVirtualPort() {
  InstallBackend(nullptr);
  DriverHandle = 0;
}

}  // namespace portio
