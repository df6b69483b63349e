#include "platform/portio/PortDriver.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/portio/FloatingPort.h"
#include "platform/portio/PpdevBackend.h"
#include "platform/portio/VirtualPortBackend.h"

namespace portio {

uint32_t DriverHandle = 0;

namespace {

constexpr uint32_t kOpenHandle = 0x7C1;

std::unique_ptr<PortBackend> g_backend;
DeviceFactory g_device_factory;
std::vector<uint32_t> g_empty_ports;
bool g_open = false;
uint32_t g_selected = 0;

PortBackend* Opened(uint32_t handle) {
  if (!g_open || handle != kOpenHandle) return nullptr;
  return g_backend.get();
}

}  // namespace

void SetVirtualDeviceFactory(DeviceFactory factory) { g_device_factory = std::move(factory); }

void SetVirtualEmptyPorts(std::vector<uint32_t> bases) { g_empty_ports = std::move(bases); }

std::unique_ptr<PortBackend> CreateBackendFromEnvironment() {
  const char* choice = std::getenv(kBackendVariable);
  std::string name = choice != nullptr ? choice : "ppdev";
  if (name == "virtual") {
    std::unique_ptr<PortDevice> device = g_device_factory ? g_device_factory() : nullptr;
    if (g_empty_ports.empty() || !device) return std::make_unique<VirtualPortBackend>(std::move(device));
    std::vector<VirtualPortBackend::Port> ports;
    for (uint32_t base : g_empty_ports) ports.push_back({base, std::make_unique<FloatingPort>()});
    ports.push_back({VirtualPortBackend::kDefaultBase, std::move(device)});
    return std::make_unique<VirtualPortBackend>(std::move(ports));
  }
  // A misspelt choice must not silently drive real hardware.
  if (name != "ppdev" && !name.empty()) {
    std::fprintf(stderr, "%s=%s is not a port backend (use \"virtual\" or \"ppdev\"); no port is driven.\n",
                 kBackendVariable, name.c_str());
    return std::make_unique<VirtualPortBackend>(nullptr);
  }
  return std::make_unique<PpdevBackend>();
}

void InstallBackend(std::unique_ptr<PortBackend> backend) {
  g_backend = std::move(backend);
  g_open = false;
  g_selected = 0;
}

uint32_t DriverOpen(uint32_t, const char*, const char*) {
  if (!g_backend) g_backend = CreateBackendFromEnvironment();
  else g_backend->Open();
  g_open = true;
  return kOpenHandle;
}

uint32_t DriverIsActive(uint32_t handle) {
  PortBackend* backend = Opened(handle);
  return backend != nullptr && backend->IsActive() ? 1 : 0;
}

void DriverPostOpen(uint32_t) {}

void DriverSetSwitch(uint32_t, uint32_t) {}

uint32_t DriverReadPort(uint32_t handle, uint32_t port) {
  PortBackend* backend = Opened(handle);
  return backend != nullptr ? backend->Read(port) : 0xFF;
}

void DriverWritePort(uint32_t handle, uint32_t port, uint32_t value) {
  if (PortBackend* backend = Opened(handle)) backend->Write(port, static_cast<uint8_t>(value));
}

uint32_t DriverLptCount(uint32_t handle) {
  PortBackend* backend = Opened(handle);
  return backend != nullptr ? static_cast<uint32_t>(backend->LptCount()) & 0xFF : 0;
}

void DriverSelectLpt(uint32_t handle, uint32_t number) {
  if (Opened(handle) != nullptr) g_selected = number;
}

uint32_t DriverLptBase(uint32_t handle) {
  PortBackend* backend = Opened(handle);
  return backend != nullptr ? backend->LptBase(static_cast<int>(g_selected)) : 0;
}

void DriverClose(uint32_t handle) {
  PortBackend* backend = Opened(handle);
  if (backend == nullptr) return;
  backend->Close();
  g_open = false;
}

}  // namespace portio
