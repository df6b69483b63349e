#include "platform/portio/PpdevBackend.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace portio {
namespace {

constexpr uint8_t kControlLines = 0x0F;
constexpr uint8_t kDirectionBit = 0x20;

std::vector<uint32_t> BasesOf(const std::vector<DetectedPort>& ports) {
  std::vector<uint32_t> bases;
  for (const DetectedPort& port : ports) bases.push_back(port.base);
  return bases;
}

}  // namespace

int SystemIoctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }

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
                           PpdevIoctl ioctl)
    : ioctl_(std::move(ioctl)), map_({}) {
  std::vector<DetectedPort> ports = ScanParports(procRoot);
  map_ = LptAddressMap(BasesOf(ports));
  for (const DetectedPort& port : ports)
    ports_.push_back(Claim(devRoot + "/parport" + std::to_string(port.number)));
}

PpdevBackend::~PpdevBackend() {
  for (const OpenPort& port : ports_) {
    if (port.fd < 0) continue;
    ioctl_(port.fd, PPRELEASE, nullptr);
    ::close(port.fd);
  }
}

// Claims the port and drives its data lines, which is all the handshakes need of it.
PpdevBackend::OpenPort PpdevBackend::Claim(const std::string& path) const {
  int fd = ::open(path.c_str(), O_RDWR);
  if (fd < 0) return {-1, false};
  int forward = 0;
  if (ioctl_(fd, PPCLAIM, nullptr) != 0 || ioctl_(fd, PPDATADIR, &forward) != 0) {
    ::close(fd);
    return {-1, false};
  }
  return {fd, false};
}

bool PpdevBackend::IsActive() const {
  return std::any_of(ports_.begin(), ports_.end(), [](const OpenPort& port) { return port.fd >= 0; });
}

PpdevBackend::OpenPort* PpdevBackend::PortAt(uint32_t address, LptRegister& reg) {
  auto at = map_.Locate(address);
  if (!at) return nullptr;
  OpenPort& port = ports_[static_cast<size_t>(at->index)];
  if (port.fd < 0) return nullptr;
  reg = at->reg;
  return &port;
}

uint8_t PpdevBackend::ReadControl(const OpenPort& port) const {
  unsigned char lines = 0;
  ioctl_(port.fd, PPRCONTROL, &lines);
  return static_cast<uint8_t>((lines & kControlLines) | (port.reversed ? kDirectionBit : 0));
}

void PpdevBackend::WriteControl(OpenPort& port, uint8_t value) const {
  const bool reversed = (value & kDirectionBit) != 0;
  if (reversed != port.reversed) {
    int direction = reversed ? 1 : 0;
    ioctl_(port.fd, PPDATADIR, &direction);
    port.reversed = reversed;
  }
  unsigned char lines = value & kControlLines;
  ioctl_(port.fd, PPWCONTROL, &lines);
}

uint8_t PpdevBackend::Read(uint32_t address) {
  LptRegister reg = LptRegister::Data;
  OpenPort* port = PortAt(address, reg);
  if (port == nullptr) return 0xFF;
  unsigned char value = 0xFF;
  switch (reg) {
    case LptRegister::Data: ioctl_(port->fd, PPRDATA, &value); break;
    case LptRegister::Status: ioctl_(port->fd, PPRSTATUS, &value); break;
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
    case LptRegister::Data: ioctl_(port->fd, PPWDATA, &byte); break;
    case LptRegister::Status: break;  // read-only register
    case LptRegister::Control: WriteControl(*port, value); break;
  }
}

}  // namespace portio
