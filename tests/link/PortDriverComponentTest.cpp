#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <latch>
#include <map>

#include "link/HW_32.h"

namespace {

using namespace qzlink;

// Ports at chosen bases whose registers hold what was last written; every access is noted.
class RegisterPorts : public portio::PortBackend {
 public:
  explicit RegisterPorts(std::vector<uint32_t> bases, std::vector<std::string>* log)
      : bases_(std::move(bases)), log_(log) {}
  bool IsActive() const override { return true; }
  int LptCount() const override { return int(bases_.size()); }
  uint32_t LptBase(int number) const override {
    return number >= 1 && number <= LptCount() ? bases_[number - 1] : 0;
  }
  uint8_t Read(uint32_t address) override {
    log_->push_back("r" + Hex(address));
    auto at = registers.find(address);
    return at != registers.end() ? at->second : 0xFF;
  }
  void Write(uint32_t address, uint8_t value) override {
    log_->push_back("w" + Hex(address) + "=" + Hex(value));
    registers[address] = value;
  }
  std::map<uint32_t, uint8_t> registers;

 private:
  static std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
  }
  std::vector<uint32_t> bases_;
  std::vector<std::string>* log_;
};

class PortDriverComponentTest : public ::testing::Test {
 protected:
  // A component over the Linux driver on ports at `bases`; `ports` sees their registers.
  std::unique_ptr<TVicHw32> Over(std::vector<uint32_t> bases) {
    return std::make_unique<TVicHw32>(std::make_unique<BackendVicDriver>([this, bases] {
      auto backend = std::make_unique<RegisterPorts>(bases, &log_);
      ports_ = backend.get();
      return backend;
    }));
  }
  std::vector<std::string> log_;
  RegisterPorts* ports_ = nullptr;
};

TEST_F(PortDriverComponentTest, AClosedComponentAnswersWithoutTouchingAnything) {
  auto hw = Over({0x378});
  // As the console's form loads it: both setters ignore 0.
  hw->SetLPTNumber(0);
  hw->SetIRQNumber(0);
  EXPECT_FALSE(hw->ActiveHW());
  EXPECT_EQ(hw->LPTNumber(), 1);
  EXPECT_EQ(hw->IRQNumber(), 0);
  EXPECT_TRUE(hw->HardAccess());
  EXPECT_TRUE(hw->IRQMasked());
  EXPECT_EQ(hw->GetPortB(0x378), 0xFF);
  EXPECT_EQ(hw->GetPortW(0x378), 0xFF);
  EXPECT_EQ(hw->GetPortL(0x378), 0xFFu);
  EXPECT_FALSE(hw->GetPin(2));
  EXPECT_TRUE(hw->GetLPTError());
  EXPECT_TRUE(hw->GetLPTAckwl());
  EXPECT_FALSE(hw->GetLPTBusy());
  EXPECT_FALSE(hw->LPTPrintChar('A'));
  EXPECT_EQ(hw->MapPhysToLinear(0x408, 6), 0u);
  hw->SetPortB(0x378, 1);
  hw->SetIRQMasked(false);
  hw->SetHardAccess(false);
  EXPECT_FALSE(hw->HardAccess());
  EXPECT_EQ(ports_, nullptr);  // the driver was never loaded
  EXPECT_EQ(CtlCode(VicRequest::ReadByte), 0x8000202Cu);
  EXPECT_EQ(CtlCode(VicRequest::MapMemory), 0x80002008u);
  EXPECT_EQ(CtlCode(VicRequest::HardAccessOn), 0x80002080u);
}

TEST_F(PortDriverComponentTest, TheLptTableIsBuiltFromTheDetectedPortsAndOnlyItMaps) {
  auto hw = Over({0x3BC, 0, 0x278});
  ASSERT_TRUE(hw->OpenDriver());
  EXPECT_TRUE(hw->ActiveHW());
  EXPECT_EQ(hw->LPTCount(), 2);
  EXPECT_EQ(hw->LPTBasePort(), 0x3BC);
  // The gap is no port; the third entry is reachable though only two ports exist.
  hw->SetLPTNumber(2);
  EXPECT_EQ(hw->LPTNumber(), 1);
  hw->SetLPTNumber(3);
  EXPECT_EQ(hw->LPTNumber(), 3);
  EXPECT_EQ(hw->LPTBasePort(), 0x278);

  const uintptr_t table = hw->MapPhysToLinear(0x408, 6);
  ASSERT_NE(table, 0u);
  EXPECT_EQ(hw->MapPhysToLinear(0x408, 2), table);  // the same address, whatever the size
  EXPECT_EQ(hw->GetMemW(table, 0), 0x3BC);
  EXPECT_EQ(hw->GetMemW(table, 1), 0);
  EXPECT_EQ(hw->GetMemW(table, 2), 0x278);
  EXPECT_EQ(hw->GetMemW(table, 3), 0);     // past the mapping
  EXPECT_EQ(hw->GetMemL(table + 4, 0), 0u);  // straddles its end
  hw->SetMemB(table, 100, 0x12);           // outside: ignored
  EXPECT_EQ(hw->GetMemB(0x1000, 0), 0);    // no mapping there
  EXPECT_EQ(hw->MapPhysToLinear(0xA0000, 0x1000), 0u);  // any other physical memory
  EXPECT_EQ(hw->MapPhysToLinear(0x408, 7), 0u + table);  // already mapped
  hw->UnmapMemory(0x408, 6);
  EXPECT_EQ(hw->GetMemW(table, 0), 0);

  hw->CloseDriver();
  EXPECT_FALSE(hw->ActiveHW());
  EXPECT_EQ(hw->LPTCount(), 0);
  hw->SetLPTNumber(1);  // reads no table any more
  EXPECT_EQ(hw->LPTNumber(), 3);
}

struct PinCase {
  int pin;
  uint32_t reg;
  uint8_t mask;
  bool inverted;
};

TEST_F(PortDriverComponentTest, PinsMapToTheirRegistersBitsAndInversions) {
  const PinCase pins[] = {
      {1, 2, 0x01, true},   {2, 0, 0x01, false},  {5, 0, 0x08, false},  {9, 0, 0x80, false},
      {10, 1, 0x40, false}, {11, 1, 0x80, true},  {12, 1, 0x20, false}, {13, 1, 0x10, false},
      {14, 2, 0x02, true},  {15, 1, 0x08, false}, {16, 2, 0x04, false}, {17, 2, 0x08, true}};
  auto hw = Over({0x378});
  ASSERT_TRUE(hw->OpenDriver());
  for (const PinCase& pin : pins) {
    const uint32_t reg = 0x378 + pin.reg;
    ports_->registers[reg] = pin.mask;
    EXPECT_EQ(hw->GetPin(pin.pin), !pin.inverted) << pin.pin;
    ports_->registers[reg] = static_cast<uint8_t>(~pin.mask);
    EXPECT_EQ(hw->GetPin(pin.pin), pin.inverted) << pin.pin;
    if (pin.reg == 1) continue;  // status pins are inputs
    ports_->registers[reg] = 0;
    hw->SetPin(pin.pin, true);
    EXPECT_EQ(ports_->registers[reg] & pin.mask, pin.inverted ? 0 : pin.mask) << pin.pin;
    hw->SetPin(pin.pin, false);
    EXPECT_EQ(ports_->registers[reg] & pin.mask, pin.inverted ? pin.mask : 0) << pin.pin;
  }
  log_.clear();
  EXPECT_FALSE(hw->GetPin(0));
  EXPECT_FALSE(hw->GetPin(18));
  hw->SetPin(18, true);
  EXPECT_TRUE(log_.empty());

  // Printing: the data goes out and, with no error and not busy, the strobe pulses low; the
  // control register keeps the other pins the loop left set (0x0A).
  ports_->registers[0x379] = 0x88;  // error high, busy line high (read inverted: not busy)
  log_.clear();
  EXPECT_TRUE(hw->LPTPrintChar('A'));
  EXPECT_EQ(log_, std::vector<std::string>({"w378=41", "r379", "r379", "w37A=B", "w37A=A"}));
  // Word and long ports are the bytes at the address and on; other addresses read 0xFF.
  ports_->registers[0x378] = 0x34;
  ports_->registers[0x379] = 0x12;
  EXPECT_EQ(hw->GetPortW(0x378), 0x1234);
  EXPECT_EQ(hw->GetPortL(0x500), 0xFFFFFFFFu);
  uint8_t block[3] = {};
  hw->ReadPortFIFO(0x378, 3, block);
  EXPECT_EQ(block[2], 0x34);
}

}  // namespace

namespace {

// A driver that raises two interrupts as soon as the line is unmasked.
class InterruptingDriver : public VicHwDriver {
 public:
  bool Open() override { return true; }
  void Close() override {}
  bool Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override {
    codes.push_back(code);
    if (code == CtlCode(VicRequest::LockBuffer)) std::memcpy(&shared, in.data(), sizeof shared);
    if (code == CtlCode(VicRequest::SetWakeUp)) std::memcpy(&wakeUp, in.data(), sizeof wakeUp);
    if (code == CtlCode(VicRequest::UnmaskIrq)) Raise();
    if (code == CtlCode(VicRequest::MapMemory)) {
      const uintptr_t table = reinterpret_cast<uintptr_t>(bases);
      std::memcpy(out.data(), &table, sizeof table);
    }
    return true;
  }
  std::vector<uint32_t> codes;
  uint16_t bases[3] = {0x378, 0, 0};

 private:
  void Raise() {
    auto* buffer = reinterpret_cast<VicSharedBuffer*>(shared);
    buffer->ring[0] = 0x1F78;
    buffer->ring[1] = 0x2077;
    buffer->writeIndex = 2;
    buffer->count = 2;
    buffer->counter = 2;
    buffer->dataRegister = 0x55;
    reinterpret_cast<std::counting_semaphore<1000>*>(wakeUp)->release(2);
  }
  uintptr_t shared = 0;
  uintptr_t wakeUp = 0;
};

TEST(PortDriverInterruptTest, EachWakeUpTakesOneRingEntryForTheHandler) {
  auto driver = std::make_unique<InterruptingDriver>();
  InterruptingDriver& fake = *driver;
  TVicHw32 hw(std::move(driver));
  ASSERT_TRUE(hw.OpenDriver());
  std::vector<std::array<int, 3>> calls;
  std::latch taken(2);
  hw.OnHwInterrupt = [&](TVicHw32&, int32_t counter, uint8_t data, uint8_t status, uint8_t scan) {
    calls.push_back({counter, data, status << 8 | scan});
    taken.count_down();
  };
  hw.SetIRQNumber(7);
  hw.SetIRQMasked(false);
  EXPECT_FALSE(hw.IRQMasked());
  taken.wait();
  hw.SetIRQMasked(true);
  EXPECT_TRUE(hw.IRQMasked());
  EXPECT_EQ(calls, (std::vector<std::array<int, 3>>{{2, 0x55, 0x781F}, {2, 0x55, 0x7720}}));
  hw.CloseDriver();
  auto position = [&](VicRequest request) {
    return std::find(fake.codes.begin(), fake.codes.end(), CtlCode(request)) - fake.codes.begin();
  };
  EXPECT_LT(position(VicRequest::SetWakeUp), position(VicRequest::SetIrqLine));
  EXPECT_LT(position(VicRequest::SetIrqLine), position(VicRequest::UnmaskIrq));
  EXPECT_LT(position(VicRequest::MaskIrq), position(VicRequest::EndIrq));
  EXPECT_LT(position(VicRequest::ReleaseTable), position(VicRequest::ReleaseBuffer));
  EXPECT_LT(position(VicRequest::ReleaseBuffer), static_cast<long>(fake.codes.size()));
}

}  // namespace
