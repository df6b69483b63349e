#pragma once
// The real parallel ports, through the kernel's ppdev interface (/dev/parportN). Ports and
// their base addresses come from /proc/sys/dev/parport; the data, status and control
// registers at base, base+1 and base+2 map to the ppdev register calls. Opening a device
// file needs read-write access to it (group lp).
#include <string>
#include <vector>

#include "platform/portio/LptAddressMap.h"
#include "platform/portio/PortBackend.h"

namespace portio {

struct DetectedPort {
  int number;     // N of parportN
  uint32_t base;  // I/O base address
};

// The ports listed under `procRoot` (parportN/base-addr), in order of N.
std::vector<DetectedPort> ScanParports(const std::string& procRoot);
// The first number of a base-addr file ("888\t1912\n" gives 888); 0 when there is none.
uint32_t ParseBaseAddr(const std::string& text);

class PpdevBackend : public PortBackend {
 public:
  explicit PpdevBackend(const std::string& procRoot = "/proc/sys/dev/parport",
                        const std::string& devRoot = "/dev");
  ~PpdevBackend() override;
  PpdevBackend(const PpdevBackend&) = delete;
  PpdevBackend& operator=(const PpdevBackend&) = delete;

  bool IsActive() const override;
  int LptCount() const override { return map_.Count(); }
  uint32_t LptBase(int number) const override { return map_.Base(number); }
  uint8_t Read(uint32_t address) override;
  void Write(uint32_t address, uint8_t value) override;

 private:
  LptAddressMap map_;
  std::vector<int> fds_;  // one per port, -1 where the device file could not be opened
};

}  // namespace portio
