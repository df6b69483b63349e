#include "link/VicHwDriver.h"

#include <cstring>

namespace qzlink {
namespace {

template <class T>
bool Get(std::span<const uint8_t> block, size_t offset, T& value) {
  if (block.size() < offset + sizeof(T)) return false;
  std::memcpy(&value, block.data() + offset, sizeof(T));
  return true;
}

template <class T>
bool Put(std::span<uint8_t> block, size_t offset, T value) {
  if (block.size() < offset + sizeof(T)) return false;
  std::memcpy(block.data() + offset, &value, sizeof(T));
  return true;
}

}  // namespace

BackendVicDriver::BackendVicDriver(BackendMaker makeBackend) : makeBackend_(std::move(makeBackend)) {}

bool BackendVicDriver::Open() {
  if (!backend_) backend_ = makeBackend_();
  return backend_ != nullptr && backend_->IsActive();
}

void BackendVicDriver::Close() {
  if (backend_) backend_->Close();
  backend_.reset();
}

uint32_t BackendVicDriver::ReadPort(uint32_t port, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= uint32_t(backend_->Read(port + i)) << (8 * i);
  return value;
}

void BackendVicDriver::WritePort(uint32_t port, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) backend_->Write(port + i, static_cast<uint8_t>(value >> (8 * i)));
}

bool BackendVicDriver::Fifo(std::span<const uint8_t> in, std::span<uint8_t> out, int width, bool write) {
  uint16_t port = 0;
  uint16_t count = 0;
  if (!Get(in, 0, port) || !Get(in, 2, count)) return false;
  const size_t bytes = size_t(count) * width;
  if (in.size() < 4 + bytes || out.size() < 4 + bytes) return false;
  std::memcpy(out.data(), in.data(), 4 + bytes);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* item = out.data() + 4 + i * width;
    uint32_t value = 0;
    if (write) {
      std::memcpy(&value, item, width);
      WritePort(port, value, width);
    } else {
      value = ReadPort(port, width);
      std::memcpy(item, &value, width);
    }
  }
  return true;
}

// The one mapping there is: the table of the first three detected ports' bases.
bool BackendVicDriver::MapTable(std::span<const uint8_t> in, std::span<uint8_t> out) {
  uint32_t physical = 0;
  uint32_t size = 0;
  if (in.size() != kMapRecordSize || !Get(in, 8, physical) || !Get(in, 20, size)) return false;
  if (physical != kLptTablePhysical || size > kLptTableSize) return false;
  for (int i = 0; i < 3; ++i) lptTable_[i] = static_cast<uint16_t>(backend_->LptBase(i + 1));
  return Put(out, 0, reinterpret_cast<uintptr_t>(lptTable_));
}

// Records of 4 bytes: the port (16 bits), the value, and 1 to write it or 0 to read into it.
bool BackendVicDriver::PortControl(std::span<const uint8_t> in, std::span<uint8_t> out) {
  if (in.size() % 4 != 0 || out.size() < in.size()) return false;
  std::memcpy(out.data(), in.data(), in.size());
  for (size_t at = 0; at < in.size(); at += 4) {
    uint16_t port = 0;
    Get(in, at, port);
    if (in[at + 3] == 1) WritePort(port, in[at + 2], 1);
    else out[at + 2] = static_cast<uint8_t>(ReadPort(port, 1));
  }
  return true;
}

bool BackendVicDriver::Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
  if (!backend_) return false;
  uint32_t port = 0;
  uint32_t value = 0;
  auto is = [code](VicRequest request) { return code == CtlCode(request); };
  auto width = [](VicRequest request) {
    switch (request) {
      case VicRequest::ReadWord:
      case VicRequest::WriteWord: return 2;
      case VicRequest::ReadLong:
      case VicRequest::WriteLong: return 4;
      default: return 1;
    }
  };
  for (VicRequest read : {VicRequest::ReadByte, VicRequest::ReadWord, VicRequest::ReadLong})
    if (is(read)) return Get(in, 0, port) && Put(out, 0, ReadPort(port, width(read)));
  for (VicRequest write : {VicRequest::WriteByte, VicRequest::WriteWord, VicRequest::WriteLong}) {
    if (!is(write)) continue;
    if (!Get(in, 0, port) || !Get(in, 4, value)) return false;
    WritePort(port, value, width(write));
    return true;
  }
  if (is(VicRequest::ReadFifo)) return Fifo(in, out, 1, false);
  if (is(VicRequest::WriteFifo)) return Fifo(in, out, 1, true);
  if (is(VicRequest::ReadWordFifo)) return Fifo(in, out, 2, false);
  if (is(VicRequest::WriteWordFifo)) return Fifo(in, out, 2, true);
  if (is(VicRequest::MapMemory)) return MapTable(in, out);
  if (is(VicRequest::PortControl)) return PortControl(in, out);
  if (is(VicRequest::LockBuffer)) return Put(out, 0, uint32_t{1});
  // No interrupt line can be hooked from user space.
  if (is(VicRequest::SetIrqLine)) return false;
  for (VicRequest plain : {VicRequest::UnmapMemory, VicRequest::SetWakeUp, VicRequest::MaskIrq,
                           VicRequest::UnmaskIrq, VicRequest::EndIrq, VicRequest::ReleaseBuffer,
                           VicRequest::ReleaseTable, VicRequest::HardAccessOff, VicRequest::HardAccessOn})
    if (is(plain)) return true;
  return false;
}

}  // namespace qzlink
