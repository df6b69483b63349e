#include "platform/portio/VirtualPortBackend.h"

#include "platform/portio/PortDriver.h"

namespace portio {

VirtualPortBackend::VirtualPortBackend(std::unique_ptr<PortDevice> device, uint32_t base) : map_({base}) {
  devices_.push_back(std::move(device));
}

VirtualPortBackend::VirtualPortBackend(std::vector<Port> ports) : map_(Bases(ports)) {
  for (Port& port : ports) devices_.push_back(std::move(port.device));
}

std::vector<uint32_t> VirtualPortBackend::Bases(const std::vector<Port>& ports) {
  std::vector<uint32_t> bases;
  for (const Port& port : ports) bases.push_back(port.base);
  return bases;
}

uint8_t VirtualPortBackend::Read(uint32_t address) {
  auto at = map_.Locate(address);
  if (!at) return 0xFF;
  PortDevice* device = devices_[static_cast<size_t>(at->index)].get();
  if (!device) return 0xFF;
  ++accesses_;
  return device->Read(at->reg);
}

void VirtualPortBackend::Write(uint32_t address, uint8_t value) {
  auto at = map_.Locate(address);
  if (!at) return;
  PortDevice* device = devices_[static_cast<size_t>(at->index)].get();
  if (!device) return;
  ++accesses_;
  device->Write(at->reg, value);
}

namespace {
VirtualPortBackend* OpenBackend(std::unique_ptr<VirtualPortBackend> backend) {
  VirtualPortBackend* port = backend.get();
  InstallBackend(std::move(backend));
  DriverHandle = DriverOpen(0, "TVICHW32", "TVicDevice0");
  return port;
}
}  // namespace

VirtualPortBackend* OpenVirtualPort(std::unique_ptr<PortDevice> device, uint32_t base) {
  return OpenBackend(std::make_unique<VirtualPortBackend>(std::move(device), base));
}

VirtualPortBackend* OpenVirtualPorts(std::vector<VirtualPortBackend::Port> ports) {
  return OpenBackend(std::make_unique<VirtualPortBackend>(std::move(ports)));
}

void CloseVirtualPort() {
  InstallBackend(nullptr);
  DriverHandle = 0;
}

}  // namespace portio
