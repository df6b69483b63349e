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

std::vector<uint32_t> BasesOf(const std::vector<DetectedPort>& ports) {
  std::vector<uint32_t> bases;
  for (const DetectedPort& port : ports) bases.push_back(port.base);
  return bases;
}

int OpenPort(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR);
  if (fd < 0) return -1;
  if (::ioctl(fd, PPCLAIM) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

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

PpdevBackend::PpdevBackend(const std::string& procRoot, const std::string& devRoot)
    : map_({}) {
  std::vector<DetectedPort> ports = ScanParports(procRoot);
  map_ = LptAddressMap(BasesOf(ports));
  for (const DetectedPort& port : ports)
    fds_.push_back(OpenPort(devRoot + "/parport" + std::to_string(port.number)));
}

PpdevBackend::~PpdevBackend() {
  for (int fd : fds_) {
    if (fd < 0) continue;
    ::ioctl(fd, PPRELEASE);
    ::close(fd);
  }
}

bool PpdevBackend::IsActive() const {
  return std::any_of(fds_.begin(), fds_.end(), [](int fd) { return fd >= 0; });
}

uint8_t PpdevBackend::Read(uint32_t address) {
  auto at = map_.Locate(address);
  if (!at || fds_[static_cast<size_t>(at->index)] < 0) return 0xFF;
  int fd = fds_[static_cast<size_t>(at->index)];
  unsigned char value = 0xFF;
  switch (at->reg) {
    case LptRegister::Data: ::ioctl(fd, PPRDATA, &value); break;
    case LptRegister::Status: ::ioctl(fd, PPRSTATUS, &value); break;
    case LptRegister::Control: ::ioctl(fd, PPRCONTROL, &value); break;
  }
  return value;
}

void PpdevBackend::Write(uint32_t address, uint8_t value) {
  auto at = map_.Locate(address);
  if (!at || fds_[static_cast<size_t>(at->index)] < 0) return;
  int fd = fds_[static_cast<size_t>(at->index)];
  unsigned char byte = value;
  switch (at->reg) {
    case LptRegister::Data: ::ioctl(fd, PPWDATA, &byte); break;
    case LptRegister::Status: break;  // read-only register
    case LptRegister::Control: ::ioctl(fd, PPWCONTROL, &byte); break;
  }
}

}  // namespace portio
