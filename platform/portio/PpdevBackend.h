#pragma once
// The real parallel ports, through the kernel's ppdev interface (/dev/parportN). Ports and
// their base addresses come from /proc/sys/dev/parport; the data, status and control
// registers at base, base+1 and base+2 map to the ppdev register calls. Opening a device
// file needs read-write access to it (group lp).
//
// The kernel's control write carries only the four output lines (bits 0..3): bit 5, the data
// direction, has a call of its own, and bit 4, the interrupt enable, stays the kernel's. So a
// control byte is split: its lines go to the control write, its bit 5 to the direction call,
// and a control read shows the lines with the direction in bit 5.
#include <functional>
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

// The ioctl the backend issues on a device file; tests put a recorder in its place.
using PpdevIoctl = std::function<int(int fd, unsigned long request, void* arg)>;
int SystemIoctl(int fd, unsigned long request, void* arg);

class PpdevBackend : public PortBackend {
 public:
  explicit PpdevBackend(const std::string& procRoot = "/proc/sys/dev/parport",
                        const std::string& devRoot = "/dev", PpdevIoctl ioctl = SystemIoctl);
  ~PpdevBackend() override;
  PpdevBackend(const PpdevBackend&) = delete;
  PpdevBackend& operator=(const PpdevBackend&) = delete;

  bool IsActive() const override;
  int LptCount() const override { return map_.Count(); }
  uint32_t LptBase(int number) const override { return map_.Base(number); }
  uint8_t Read(uint32_t address) override;
  void Write(uint32_t address, uint8_t value) override;

 private:
  struct OpenPort {
    int fd;         // -1 where the device file could not be opened or claimed
    bool reversed;  // data lines turned to input
  };

  OpenPort Claim(const std::string& path) const;
  OpenPort* PortAt(uint32_t address, LptRegister& reg);
  uint8_t ReadControl(const OpenPort& port) const;
  void WriteControl(OpenPort& port, uint8_t value) const;

  PpdevIoctl ioctl_;
  LptAddressMap map_;
  std::vector<OpenPort> ports_;  // one per detected port, in the map's order
};

}  // namespace portio
