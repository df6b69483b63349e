#pragma once
// The real parallel ports, through the kernel's ppdev interface (/dev/parportN). Ports and
// their base addresses come from /proc/sys/dev/parport; the data, status and control
// registers at base, base+1 and base+2 map to the ppdev register calls. Opening a device
// file needs read-write access to it (group lp).
//
// Only a port whose device file opens is offered (counted, given a base, driven). A port is
// claimed when the link first touches its registers, so only the port in use is taken from
// other users (printers, another console); a port that another user holds is not waited
// for: it reads 0xFF, is reported once, and is tried again a second later. Close releases
// and closes everything, and the device files never pass to programs started from here.
//
// The kernel's control write carries only the four output lines (bits 0..3): bit 5, the data
// direction, has a call of its own, and bit 4, the interrupt enable, stays the kernel's. So a
// control byte is split: its lines go to the control write, its bit 5 to the direction call,
// and a control read shows the lines with the direction in bit 5.
#include <cstdint>
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

// Runs `call`, interrupting it after `milliseconds`: a system call blocked inside it then
// fails with EINTR. The interruption is aimed at the calling thread alone. When no timer
// can be had the call is not made: -1 with errno EAGAIN.
int CallWithDeadline(const std::function<int()>& call, int milliseconds);

// What the backend asks of the system; tests put fakes in its place.
using PpdevIoctl = std::function<int(int fd, unsigned long request, void* arg)>;
int SystemIoctl(int fd, unsigned long request, void* arg);

struct PpdevSystem {
  // A file descriptor, or minus the errno.
  std::function<int(const std::string& path, int flags)> open;
  std::function<void(int fd)> close;
  PpdevIoctl ioctl;
  // PPCLAIM, giving up after a short wait: 0 claimed, or minus the errno (EINTR: the port
  // stayed busy).
  std::function<int(int fd)> claim;
  // Monotonic milliseconds.
  std::function<int64_t()> nowMs;
  // A line for the user (stderr).
  std::function<void(const std::string& line)> report;
};
PpdevSystem SystemPpdev();

class PpdevBackend : public PortBackend {
 public:
  static constexpr int kClaimWaitMs = 100;
  static constexpr int64_t kClaimRetryMs = 1000;

  // Opens at once (see Open).
  explicit PpdevBackend(const std::string& procRoot = "/proc/sys/dev/parport",
                        const std::string& devRoot = "/dev", PpdevSystem system = SystemPpdev());
  ~PpdevBackend() override;
  PpdevBackend(const PpdevBackend&) = delete;
  PpdevBackend& operator=(const PpdevBackend&) = delete;

  // Finds the ports and opens their device files, reporting why each one that cannot be
  // opened is not offered. Nothing when already open.
  void Open() override;
  void Close() override;
  bool IsActive() const override { return !ports_.empty(); }
  int LptCount() const override { return map_.Count(); }
  uint32_t LptBase(int number) const override { return map_.Base(number); }
  uint8_t Read(uint32_t address) override;
  void Write(uint32_t address, uint8_t value) override;

 private:
  struct OpenPort {
    std::string path;
    int fd;                   // -1 after a failed claim, until the next try opens it again
    bool claimed = false;
    bool reversed = false;    // data lines turned to input
    int64_t nextClaimAt = 0;  // no new try before this time
    bool busyReported = false;
  };

  bool Claim(OpenPort& port);
  void GiveUpClaim(OpenPort& port, int error);
  OpenPort* PortAt(uint32_t address, LptRegister& reg);
  uint8_t ReadControl(const OpenPort& port) const;
  void WriteControl(OpenPort& port, uint8_t value) const;

  std::string procRoot_;
  std::string devRoot_;
  PpdevSystem system_;
  bool open_ = false;
  LptAddressMap map_;
  std::vector<OpenPort> ports_;  // the ports that opened, in the map's order
};

}  // namespace portio
