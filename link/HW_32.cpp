#include "link/HW_32.h"

#include <cstring>

#include "platform/portio/PortDriver.h"

namespace qzlink {
namespace {

constexpr uint16_t kDefaultBase = 0x378;
constexpr uint16_t kRingMask = 0x1FF;

// Register (0 data, 1 status, 2 control), bit and inversion of parallel-port pins 1 to 17.
struct PinLine {
  uint8_t reg;
  uint8_t mask;
  bool inverted;
};
constexpr PinLine kPins[18] = {
    {0, 0, false},                                                   // no pin 0
    {2, 0x01, true},                                                 // 1 strobe
    {0, 0x01, false}, {0, 0x02, false}, {0, 0x04, false}, {0, 0x08, false},
    {0, 0x10, false}, {0, 0x20, false}, {0, 0x40, false}, {0, 0x80, false},  // 2..9 data
    {1, 0x40, false},                                                // 10 ack
    {1, 0x80, true},                                                 // 11 busy
    {1, 0x20, false},                                                // 12 paper end
    {1, 0x10, false},                                                // 13 select
    {2, 0x02, true},                                                 // 14 auto feed
    {1, 0x08, false},                                                // 15 error
    {2, 0x04, false},                                                // 16 init
    {2, 0x08, true},                                                 // 17 select in
};

template <class T>
std::span<const uint8_t> Bytes(const T& value) {
  return {reinterpret_cast<const uint8_t*>(&value), sizeof(T)};
}
template <class T>
std::span<uint8_t> Bytes(T& value) {
  return {reinterpret_cast<uint8_t*>(&value), sizeof(T)};
}

// The pulse widths of the strobe and init lines.
void BusyLoop(int counts) {
  volatile int count = 0;
  while (count < counts) count = count + 1;
}

std::unique_ptr<VicHwDriver> LinuxDriver() {
  return std::make_unique<BackendVicDriver>([] { return portio::CreateBackendFromEnvironment(); });
}

}  // namespace

TVicHw32::TVicHw32(std::unique_ptr<VicHwDriver> driver)
    : driver_(driver ? std::move(driver) : LinuxDriver()) {}

TVicHw32::~TVicHw32() { CloseDriver(); }

bool TVicHw32::Request(VicRequest request, std::span<const uint8_t> in, std::span<uint8_t> out) {
  return driver_->Control(CtlCode(request), in, out);
}

void TVicHw32::ClearFields() {
  mappings_.clear();
  lptTable_ = nullptr;
  lptCount_ = 0;
  std::memset(shadow_, 0, sizeof shadow_);
  masked_ = true;
}

void TVicHw32::ResetRing() {
  shared_->portBase = portBase_;
  shared_->ringMask = kRingMask;
  shared_->count = 0;
  shared_->writeIndex = 0;
  shared_->readIndex = 0;
}

bool TVicHw32::OpenDriver() {
  if (activeHW_) return true;
  ClearFields();
  portBase_ = kDefaultBase;
  lptNumber_ = 1;
  if (!driver_->Open()) {
    driver_->Close();
    if (!driver_->Open()) {
      driver_->Close();
      return false;
    }
  }
  activeHW_ = true;
  uint8_t record[kMapRecordSize] = {};
  std::memcpy(record + 8, &kLptTablePhysical, 4);
  std::memcpy(record + 20, &kLptTableSize, 4);
  uintptr_t table = 0;
  if (Request(VicRequest::MapMemory, record, Bytes(table)) && table != 0) {
    lptTable_ = reinterpret_cast<const uint16_t*>(table);
    for (int i = 0; i < 3; ++i) lptCount_ += lptTable_[i] != 0 ? 1 : 0;
    portBase_ = lptTable_[0];
  }
  shared_ = std::make_unique<VicSharedBuffer>();
  struct {
    uintptr_t address;
    uint32_t size;
  } lock{reinterpret_cast<uintptr_t>(shared_.get()), sizeof(VicSharedBuffer)};
  Request(VicRequest::LockBuffer, Bytes(lock), Bytes(sharedId_));
  ResetRing();
  return true;
}

void TVicHw32::CloseDriver() {
  if (!activeHW_) return;
  SetHardAccess(true);
  if (!masked_) SetIRQMasked(true);
  activeHW_ = false;
  const uintptr_t table = reinterpret_cast<uintptr_t>(lptTable_);
  uintptr_t answer = 0;
  Request(VicRequest::ReleaseTable, Bytes(table), Bytes(answer));
  uint32_t id = 0;
  Request(VicRequest::ReleaseBuffer, Bytes(sharedId_), Bytes(id));
  for (const Mapping& mapping : mappings_) Request(VicRequest::UnmapMemory, Bytes(mapping.linear));
  driver_->Close();
  // Nothing of the driver's is read once it is gone.
  ClearFields();
  shared_.reset();
}

uint32_t TVicHw32::ReadPort(VicRequest request, uint32_t port) {
  if (!activeHW_) return 0xFF;
  uint32_t value = 0;
  return Request(request, Bytes(port), Bytes(value)) ? value : 0xFF;
}

void TVicHw32::WritePort(VicRequest request, uint32_t port, uint32_t value) {
  if (!activeHW_) return;
  const uint32_t block[2] = {port, value};
  Request(request, Bytes(block));
}

uint8_t TVicHw32::GetPortB(uint32_t port) { return static_cast<uint8_t>(ReadPort(VicRequest::ReadByte, port)); }
uint16_t TVicHw32::GetPortW(uint32_t port) { return static_cast<uint16_t>(ReadPort(VicRequest::ReadWord, port)); }
uint32_t TVicHw32::GetPortL(uint32_t port) { return ReadPort(VicRequest::ReadLong, port); }
void TVicHw32::SetPortB(uint32_t port, uint8_t value) { WritePort(VicRequest::WriteByte, port, value); }
void TVicHw32::SetPortW(uint32_t port, uint16_t value) { WritePort(VicRequest::WriteWord, port, value); }
void TVicHw32::SetPortL(uint32_t port, uint32_t value) { WritePort(VicRequest::WriteLong, port, value); }

void TVicHw32::Fifo(VicRequest request, uint16_t port, uint16_t count, void* buffer, int width) {
  if (!activeHW_) return;
  std::vector<uint8_t> block(4 + size_t(count) * width);
  std::memcpy(block.data(), &port, 2);
  std::memcpy(block.data() + 2, &count, 2);
  std::memcpy(block.data() + 4, buffer, block.size() - 4);
  if (Request(request, block, block)) std::memcpy(buffer, block.data() + 4, block.size() - 4);
}

void TVicHw32::ReadPortFIFO(uint16_t port, uint16_t count, uint8_t* buffer) {
  Fifo(VicRequest::ReadFifo, port, count, buffer, 1);
}
void TVicHw32::WritePortFIFO(uint16_t port, uint16_t count, const uint8_t* buffer) {
  Fifo(VicRequest::WriteFifo, port, count, const_cast<uint8_t*>(buffer), 1);
}
void TVicHw32::ReadPortWFIFO(uint16_t port, uint16_t count, uint16_t* buffer) {
  Fifo(VicRequest::ReadWordFifo, port, count, buffer, 2);
}
void TVicHw32::WritePortWFIFO(uint16_t port, uint16_t count, const uint16_t* buffer) {
  Fifo(VicRequest::WriteWordFifo, port, count, const_cast<uint16_t*>(buffer), 2);
}

void TVicHw32::PortControl(uint8_t* records, uint32_t count) {
  if (!activeHW_) return;
  std::span<uint8_t> block(records, size_t(count) * 4);
  std::vector<uint8_t> in(block.begin(), block.end());
  Request(VicRequest::PortControl, in, block);
}

uintptr_t TVicHw32::MapPhysToLinear(uint32_t physical, uint32_t size) {
  if (!activeHW_) return 0;
  for (const Mapping& mapping : mappings_)
    if (mapping.physical == physical) return mapping.linear;
  if (mappings_.size() >= kMaxMappings) return 0;
  uint8_t record[kMapRecordSize] = {};
  std::memcpy(record + 8, &physical, 4);
  std::memcpy(record + 20, &size, 4);
  uintptr_t linear = 0;
  if (!Request(VicRequest::MapMemory, record, Bytes(linear)) || linear == 0) return 0;
  mappings_.push_back({linear, size, physical});
  return linear;
}

void TVicHw32::UnmapMemory(uint32_t physical, uint32_t) {
  if (!activeHW_) return;
  std::erase_if(mappings_, [&](const Mapping& mapping) {
    if (mapping.physical != physical) return false;
    Request(VicRequest::UnmapMemory, Bytes(mapping.linear));
    return true;
  });
}

uint8_t* TVicHw32::MappedAt(uintptr_t pointer, uint64_t offset, uint32_t bytes) {
  if (!activeHW_) return nullptr;
  for (const Mapping& mapping : mappings_) {
    if (pointer < mapping.linear) continue;
    const uint64_t from = uint64_t(pointer - mapping.linear) + offset;
    if (from + bytes <= mapping.size) return reinterpret_cast<uint8_t*>(mapping.linear + from);
  }
  return nullptr;
}

uint8_t TVicHw32::GetMemB(uintptr_t pointer, uint32_t index) {
  uint8_t* at = MappedAt(pointer, index, 1);
  return at != nullptr ? *at : 0;
}
uint16_t TVicHw32::GetMemW(uintptr_t pointer, uint32_t index) {
  uint16_t value = 0;
  if (uint8_t* at = MappedAt(pointer, uint64_t(index) * 2, 2)) std::memcpy(&value, at, 2);
  return value;
}
uint32_t TVicHw32::GetMemL(uintptr_t pointer, uint32_t index) {
  uint32_t value = 0;
  if (uint8_t* at = MappedAt(pointer, uint64_t(index) * 4, 4)) std::memcpy(&value, at, 4);
  return value;
}
void TVicHw32::SetMemB(uintptr_t pointer, uint32_t index, uint8_t value) {
  if (uint8_t* at = MappedAt(pointer, index, 1)) *at = value;
}
void TVicHw32::SetMemW(uintptr_t pointer, uint32_t index, uint16_t value) {
  if (uint8_t* at = MappedAt(pointer, uint64_t(index) * 2, 2)) std::memcpy(at, &value, 2);
}
void TVicHw32::SetMemL(uintptr_t pointer, uint32_t index, uint32_t value) {
  if (uint8_t* at = MappedAt(pointer, uint64_t(index) * 4, 4)) std::memcpy(at, &value, 4);
}

void TVicHw32::SetHardAccess(bool flag) {
  Request(flag ? VicRequest::HardAccessOn : VicRequest::HardAccessOff);
  hardAccess_ = flag;
}

// Port n is the table's entry n, when the driver found one there: a gap in the table is no
// port, and a count of ports is no index.
void TVicHw32::SetLPTNumber(uint8_t number) {
  if (!activeHW_ || lptTable_ == nullptr || number < 1 || number > 3) return;
  if (lptTable_[number - 1] == 0) return;
  portBase_ = lptTable_[number - 1];
  shared_->portBase = portBase_;
  std::memset(shadow_, 0, sizeof shadow_);
  lptNumber_ = number;
}

void TVicHw32::SetIRQNumber(uint8_t number) {
  if (number < 1 || number > 15) return;
  if (!masked_) SetIRQMasked(true);
  irqNumber_ = number;
  irqValid_ = true;
}

void TVicHw32::SetIRQMasked(bool masked) {
  if (!activeHW_ || !irqValid_) return;
  if (!masked && masked_) {
    ResetRing();
    stop_ = false;
    // Cleared here, not on the thread, so that a mask right after cannot be undone by it.
    masked_ = false;
    interruptThread_ = std::thread([this] { InterruptThread(); });
  } else if (masked && !masked_) {
    masked_ = true;
    Request(VicRequest::MaskIrq);
    stop_ = true;
    wakeUp_.release();
    interruptThread_.join();
  }
}

// Real-time priority needs privileges the program does not have: the thread runs at the
// normal priority.
void TVicHw32::InterruptThread() {
  const uintptr_t wakeUp = reinterpret_cast<uintptr_t>(&wakeUp_);
  const uint32_t irq = irqNumber_;
  Request(VicRequest::SetWakeUp, Bytes(wakeUp));
  Request(VicRequest::SetIrqLine, Bytes(irq));
  Request(VicRequest::UnmaskIrq);
  for (;;) {
    wakeUp_.acquire();
    if (stop_) break;
    TakeInterrupt();
  }
  Request(VicRequest::EndIrq);
}

void TVicHw32::TakeInterrupt() {
  if (!shared_) return;
  if (shared_->portBase != 0 && shared_->count > 0) {
    const uint16_t at = shared_->readIndex;
    lastEntry_ = shared_->ring[at & kRingMask];
    shared_->readIndex = static_cast<uint16_t>((at + 1) & kRingMask);
    shared_->count.fetch_sub(1);
  }
  if (OnHwInterrupt)
    OnHwInterrupt(*this, shared_->counter, shared_->dataRegister, static_cast<uint8_t>(lastEntry_),
                  static_cast<uint8_t>(lastEntry_ >> 8));
}

bool TVicHw32::GetPin(uint8_t pin) {
  if (!activeHW_ || pin < 1 || pin > 17) return false;
  const PinLine& line = kPins[pin];
  const bool set = (GetPortB(portBase_ + line.reg) & line.mask) != 0;
  return set != line.inverted;
}

void TVicHw32::SetPin(uint8_t pin, bool level) {
  if (!activeHW_ || pin < 1 || pin > 17) return;
  const PinLine& line = kPins[pin];
  uint8_t& shadow = shadow_[line.reg];
  if (level == line.inverted) shadow = static_cast<uint8_t>(shadow & ~line.mask);
  else shadow = static_cast<uint8_t>(shadow | line.mask);
  SetPortB(portBase_ + line.reg, shadow);
}

void TVicHw32::LPTStrobe() {
  SetPin(1, false);
  BusyLoop(10001);
  SetPin(1, true);
}

void TVicHw32::LPTInit() {
  SetPin(16, false);
  BusyLoop(10000);
  SetPin(16, true);
}

void TVicHw32::LPTSlctIn() {
  SetPin(16, false);
  SetPortB(portBase_ + 2, static_cast<uint8_t>(shadow_[2] & 0xF7));
}

void TVicHw32::LPTAutofd(bool flag) { SetPin(14, !flag); }
bool TVicHw32::GetLPTAckwl() { return !GetPin(10); }
bool TVicHw32::GetLPTSlct() { return !GetPin(13); }
bool TVicHw32::GetLPTError() { return !GetPin(15); }
bool TVicHw32::GetLPTBusy() { return GetPin(11); }
bool TVicHw32::GetLPTPaperEnd() { return GetPin(12); }

bool TVicHw32::LPTPrintChar(uint8_t ch) {
  if (!activeHW_) return false;
  SetPortB(portBase_, ch);
  if (!GetLPTError() && !GetLPTBusy()) LPTStrobe();
  return true;
}

}  // namespace qzlink
