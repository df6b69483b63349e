#pragma once
// The port driver library's operations, as both programs call them: open once, keep the
// handle in the one process-wide variable, pass it to every call, close last.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/portio/PortBackend.h"
#include "platform/portio/PortDevice.h"

namespace portio {

// The process-wide driver handle; 0 until DriverOpen.
extern uint32_t DriverHandle;

uint32_t DriverOpen(uint32_t handle, const char* driverName, const char* deviceName);
uint32_t DriverIsActive(uint32_t handle);
void DriverPostOpen(uint32_t handle);
void DriverSetSwitch(uint32_t handle, uint32_t value);
uint32_t DriverReadPort(uint32_t handle, uint32_t port);
void DriverWritePort(uint32_t handle, uint32_t port, uint32_t value);
uint32_t DriverLptCount(uint32_t handle);
void DriverSelectLpt(uint32_t handle, uint32_t number);
uint32_t DriverLptBase(uint32_t handle);
void DriverClose(uint32_t handle);

// The environment variable that chooses the backend: "virtual" for the virtual programmer,
// unset or "ppdev" for the real parallel ports.
inline constexpr const char* kBackendVariable = "QZ_PORT";

using DeviceFactory = std::function<std::unique_ptr<PortDevice>()>;
// The device the virtual backend attaches to its port; the programs register theirs.
void SetVirtualDeviceFactory(DeviceFactory factory);
// Empty ports (nothing plugged in) the virtual backend lists before the device's port, by
// their bases; none unless a program asks for them.
void SetVirtualEmptyPorts(std::vector<uint32_t> bases);

// The backend the environment variable names.
std::unique_ptr<PortBackend> CreateBackendFromEnvironment();

// Replaces the backend DriverOpen would create (tests, and the programs' start). Passing
// nullptr lets DriverOpen choose from the environment again. Closes any open handle.
void InstallBackend(std::unique_ptr<PortBackend> backend);

}  // namespace portio
