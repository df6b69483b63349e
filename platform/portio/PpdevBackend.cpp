#include "platform/portio/PpdevBackend.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace portio {
namespace {

constexpr uint8_t kControlLines = 0x0F;
constexpr uint8_t kDirectionBit = 0x20;
constexpr int kDeadlineSignal = SIGALRM;

void Interrupted(int) {}

std::string Reason(const std::string& path, int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "No permission on " + path +
             ": join the group lp (adduser $USER lp, then log in again).";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return path + " is missing: the kernel module ppdev provides it (modprobe ppdev).";
    default: return path + " cannot be opened: " + std::strerror(error) + ".";
  }
}

std::vector<uint32_t> BasesOf(const std::vector<DetectedPort>& ports) {
  std::vector<uint32_t> bases;
  for (const DetectedPort& port : ports) bases.push_back(port.base);
  return bases;
}

}  // namespace

int CallWithDeadline(const std::function<int()>& call, int milliseconds) {
  struct sigaction quiet {};
  quiet.sa_handler = Interrupted;  // without SA_RESTART: the blocked call fails with EINTR
  sigemptyset(&quiet.sa_mask);
  struct sigaction previous {};
  sigaction(kDeadlineSignal, &quiet, &previous);
  sigset_t deadline;
  sigset_t previousMask;
  sigemptyset(&deadline);
  sigaddset(&deadline, kDeadlineSignal);
  pthread_sigmask(SIG_UNBLOCK, &deadline, &previousMask);

  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = kDeadlineSignal;
  event._sigev_un._tid = static_cast<pid_t>(::syscall(SYS_gettid));
  timer_t timer{};
  int result = -1;
  int error = EAGAIN;
  if (timer_create(CLOCK_MONOTONIC, &event, &timer) == 0) {
    itimerspec when{};
    when.it_value.tv_sec = milliseconds / 1000;
    when.it_value.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    if (timer_settime(timer, 0, &when, nullptr) == 0) {
      result = call();
      error = errno;
    }
    timer_delete(timer);
  }
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  sigaction(kDeadlineSignal, &previous, nullptr);
  errno = error;
  return result;
}

int SystemIoctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }

PpdevSystem SystemPpdev() {
  PpdevSystem system;
  system.open = [](const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags);
    return fd >= 0 ? fd : -errno;
  };
  system.close = [](int fd) { ::close(fd); };
  system.ioctl = SystemIoctl;
  system.claim = [](int fd) {
    const int result =
        CallWithDeadline([fd] { return ::ioctl(fd, PPCLAIM); }, PpdevBackend::kClaimWaitMs);
    return result == 0 ? 0 : -errno;
  };
  system.nowMs = [] {
    return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
  };
  system.report = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
  return system;
}

uint32_t ParseBaseAddr(const std::string& text) {
  std::istringstream in(text);
  unsigned long value = 0;
  if (!(in >> value) || value > 0xFFFFFFFFul) return 0;
  return static_cast<uint32_t>(value);
}

std::vector<DetectedPort> ScanParports(const std::string& procRoot) {
  std::vector<DetectedPort> ports;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(procRoot, error)) {
    std::string name = entry.path().filename().string();
    const std::string prefix = "parport";
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) continue;
    std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), ::isdigit)) continue;
    std::ifstream in(entry.path() / "base-addr");
    if (!in) continue;
    std::stringstream text;
    text << in.rdbuf();
    ports.push_back({std::stoi(digits), ParseBaseAddr(text.str())});
  }
  std::sort(ports.begin(), ports.end(),
            [](const DetectedPort& a, const DetectedPort& b) { return a.number < b.number; });
  return ports;
}

PpdevBackend::PpdevBackend(const std::string& procRoot, const std::string& devRoot,
                           PpdevSystem system)
    : procRoot_(procRoot), devRoot_(devRoot), system_(std::move(system)), map_({}) {
  Open();
}

PpdevBackend::~PpdevBackend() { Close(); }

void PpdevBackend::Open() {
  if (open_) return;
  open_ = true;
  const std::vector<DetectedPort> detected = ScanParports(procRoot_);
  if (detected.empty()) {
    system_.report("No parallel port found: " + procRoot_ +
                   " lists none (the kernel module parport_pc finds them).");
  }
  std::vector<DetectedPort> usable;
  for (const DetectedPort& port : detected) {
    const std::string path = devRoot_ + "/parport" + std::to_string(port.number);
    const int fd = system_.open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      system_.report(Reason(path, -fd));
      continue;
    }
    ports_.push_back({path, fd});
    usable.push_back(port);
  }
  map_ = LptAddressMap(BasesOf(usable));
}

void PpdevBackend::Close() {
  for (OpenPort& port : ports_) {
    if (port.fd < 0) continue;
    if (port.claimed) system_.ioctl(port.fd, PPRELEASE, nullptr);
    system_.close(port.fd);
  }
  ports_.clear();
  map_ = LptAddressMap({});
  open_ = false;
}

// Takes the port for this program with its data lines driven, which is all the handshakes
// need of it. A port another user holds is let go at once (closing the device file also
// drops the place in the kernel's queue) and tried again later.
bool PpdevBackend::Claim(OpenPort& port) {
  const int64_t now = system_.nowMs();
  if (now < port.nextClaimAt) return false;
  if (port.fd < 0) {
    const int fd = system_.open(port.path, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
      GiveUpClaim(port, -fd);
      return false;
    }
    port.fd = fd;
  }
  const int claimed = system_.claim(port.fd);
  if (claimed != 0) {
    GiveUpClaim(port, -claimed);
    return false;
  }
  int forward = 0;
  if (system_.ioctl(port.fd, PPDATADIR, &forward) != 0) {
    const int error = errno;
    system_.ioctl(port.fd, PPRELEASE, nullptr);
    GiveUpClaim(port, error);
    return false;
  }
  port.claimed = true;
  port.reversed = false;
  port.busyReported = false;
  return true;
}

void PpdevBackend::GiveUpClaim(OpenPort& port, int error) {
  if (port.fd >= 0) system_.close(port.fd);
  port.fd = -1;
  port.nextClaimAt = system_.nowMs() + kClaimRetryMs;
  if (port.busyReported) return;
  port.busyReported = true;
  if (error == EINTR || error == EBUSY) {
    system_.report(port.path + " is busy: another program uses the port. It is not waited for; "
                   "it is tried again every second.");
  } else {
    system_.report(port.path + " cannot be claimed: " + std::strerror(error) + ".");
  }
}

PpdevBackend::OpenPort* PpdevBackend::PortAt(uint32_t address, LptRegister& reg) {
  auto at = map_.Locate(address);
  if (!at) return nullptr;
  OpenPort& port = ports_[static_cast<size_t>(at->index)];
  if (!port.claimed && !Claim(port)) return nullptr;
  reg = at->reg;
  return &port;
}

uint8_t PpdevBackend::ReadControl(const OpenPort& port) const {
  unsigned char lines = 0;
  system_.ioctl(port.fd, PPRCONTROL, &lines);
  return static_cast<uint8_t>((lines & kControlLines) | (port.reversed ? kDirectionBit : 0));
}

void PpdevBackend::WriteControl(OpenPort& port, uint8_t value) const {
  const bool reversed = (value & kDirectionBit) != 0;
  if (reversed != port.reversed) {
    int direction = reversed ? 1 : 0;
    system_.ioctl(port.fd, PPDATADIR, &direction);
    port.reversed = reversed;
  }
  unsigned char lines = value & kControlLines;
  system_.ioctl(port.fd, PPWCONTROL, &lines);
}

uint8_t PpdevBackend::Read(uint32_t address) {
  LptRegister reg = LptRegister::Data;
  OpenPort* port = PortAt(address, reg);
  if (port == nullptr) return 0xFF;
  unsigned char value = 0xFF;
  switch (reg) {
    case LptRegister::Data: system_.ioctl(port->fd, PPRDATA, &value); break;
    case LptRegister::Status: system_.ioctl(port->fd, PPRSTATUS, &value); break;
    case LptRegister::Control: return ReadControl(*port);
  }
  return value;
}

void PpdevBackend::Write(uint32_t address, uint8_t value) {
  LptRegister reg = LptRegister::Data;
  OpenPort* port = PortAt(address, reg);
  if (port == nullptr) return;
  unsigned char byte = value;
  switch (reg) {
    case LptRegister::Data: system_.ioctl(port->fd, PPWDATA, &byte); break;
    case LptRegister::Status: break;  // read-only register
    case LptRegister::Control: WriteControl(*port, value); break;
  }
}

}  // namespace portio
