#include "platform/portio/VirtualPortBackend.h"

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

}  // namespace portio
