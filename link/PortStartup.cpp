#include "link/PortStartup.h"

#include <algorithm>

#include "platform/portio/PortDriver.h"
#include "platform/winapi/MessageBox.h"

namespace qzlink {

bool OpenPortDriver(const DriverStartup& startup) {
  portio::DriverHandle = portio::DriverOpen(portio::DriverHandle, "TVICHW32", "TVicDevice0");
  const bool active = portio::DriverIsActive(portio::DriverHandle) != 0;
  if (startup.postOpen) portio::DriverPostOpen(portio::DriverHandle);
  if (!active) {
    winapi::MessageBeep(0);
    winapi::MessageBox(nullptr, startup.missingText, kDriverMissingCaption, winapi::MB_OKCANCEL);
    if (!startup.carriesOnWithout) return false;
  }
  portio::DriverSetSwitch(portio::DriverHandle, 1);
  return active;
}

void DetectLptPorts(std::span<uint32_t> baseTable, uint32_t& base) {
  // One probe more than the driver counts, as the ports are numbered from 1.
  uint32_t count = portio::DriverLptCount(portio::DriverHandle) & 0xFF;
  uint32_t probes = std::min<uint32_t>(count + 1, baseTable.size());
  // Entries beyond the probes are cleared too, so no port of an earlier detection remains.
  std::fill(baseTable.begin(), baseTable.end(), 0);
  for (uint32_t i = 0; i < probes; ++i) {
    portio::DriverSelectLpt(portio::DriverHandle, i + 1);
    uint32_t found = portio::DriverLptBase(portio::DriverHandle);
    if (found != 0) baseTable[i] = found;
  }
  for (size_t i = 0; i < std::min<size_t>(3, baseTable.size()); ++i) {
    if (baseTable[i] != 0) {
      base = baseTable[i];
      return;
    }
  }
}

}  // namespace qzlink
