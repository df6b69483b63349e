#pragma once
// The port driver component: direct access to I/O ports, to the pins of a parallel port,
// to mapped physical memory and to one hardware interrupt, through the driver VICHW11. The
// console carries one and never opens it; the link goes through the driver library.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

#include "link/VicHwDriver.h"

namespace qzlink {

// Sender, HwCounter, LPT_DataReg, LPT_StatusReg, Keyb_ScanCode.
using TInterruptHandler = std::function<void(class TVicHw32&, int32_t, uint8_t, uint8_t, uint8_t)>;

// The 4096 bytes shared with the driver. The driver writes the ring and the interrupt
// thread reads it, each side through its own index, so the indexes and the count are atomic.
struct VicSharedBuffer {
  std::atomic<int32_t> counter;          // 0: interrupts counted by the driver
  uint8_t dataRegister;                  // 4
  uint8_t spare5;
  uint16_t ringMask;                     // 6: 0x1FF
  std::atomic<uint16_t> portBase;        // 8
  std::atomic<uint16_t> count;           // 10: entries in the ring
  std::atomic<uint16_t> writeIndex;      // 12: the driver's
  std::atomic<uint16_t> readIndex;       // 14: the component's
  std::atomic<uint16_t> ring[512];       // 16: low byte status, high byte scan code
  uint8_t spare[4096 - 16 - 1024];
};
static_assert(sizeof(VicSharedBuffer) == 4096);

class TVicHw32 {
 public:
  static constexpr int kMaxMappings = 16;

  // The driver is the Linux stand-in over the backend the environment names unless given.
  explicit TVicHw32(std::unique_ptr<VicHwDriver> driver = nullptr);
  ~TVicHw32();
  TVicHw32(const TVicHw32&) = delete;
  TVicHw32& operator=(const TVicHw32&) = delete;

  bool ActiveHW() const { return activeHW_; }
  TInterruptHandler OnHwInterrupt;
  uint8_t LPTNumber() const { return lptNumber_; }
  uint8_t IRQNumber() const { return irqNumber_; }
  bool HardAccess() const { return hardAccess_; }
  bool IRQMasked() const { return masked_; }
  uint16_t LPTBasePort() const { return portBase_; }
  int LPTCount() const { return lptCount_; }

  bool OpenDriver();
  void CloseDriver();

  uint8_t GetPortB(uint32_t port);
  uint16_t GetPortW(uint32_t port);
  uint32_t GetPortL(uint32_t port);
  void SetPortB(uint32_t port, uint8_t value);
  void SetPortW(uint32_t port, uint16_t value);
  void SetPortL(uint32_t port, uint32_t value);
  void ReadPortFIFO(uint16_t port, uint16_t count, uint8_t* buffer);
  void WritePortFIFO(uint16_t port, uint16_t count, const uint8_t* buffer);
  void ReadPortWFIFO(uint16_t port, uint16_t count, uint16_t* buffer);
  void WritePortWFIFO(uint16_t port, uint16_t count, const uint16_t* buffer);
  // Records of 4 bytes: port (16 bits), value, 1 = write / 0 = read.
  void PortControl(uint8_t* records, uint32_t count);

  uintptr_t MapPhysToLinear(uint32_t physical, uint32_t size);
  void UnmapMemory(uint32_t physical, uint32_t size);
  uint8_t GetMemB(uintptr_t pointer, uint32_t index);
  uint16_t GetMemW(uintptr_t pointer, uint32_t index);
  uint32_t GetMemL(uintptr_t pointer, uint32_t index);
  void SetMemB(uintptr_t pointer, uint32_t index, uint8_t value);
  void SetMemW(uintptr_t pointer, uint32_t index, uint16_t value);
  void SetMemL(uintptr_t pointer, uint32_t index, uint32_t value);

  void SetHardAccess(bool flag);
  void SetLPTNumber(uint8_t number);
  void SetIRQNumber(uint8_t number);
  void SetIRQMasked(bool masked);

  bool GetPin(uint8_t pin);
  void SetPin(uint8_t pin, bool level);
  void LPTStrobe();
  void LPTInit();
  void LPTSlctIn();
  void LPTAutofd(bool flag);
  bool GetLPTAckwl();
  bool GetLPTSlct();
  bool GetLPTError();
  bool GetLPTBusy();
  bool GetLPTPaperEnd();
  bool LPTPrintChar(uint8_t ch);

  // The thread's step for one wake-up: takes a ring entry and calls the handler.
  void TakeInterrupt();

 private:
  struct Mapping {
    uintptr_t linear;
    uint32_t size;
    uint32_t physical;
  };

  bool Request(VicRequest request, std::span<const uint8_t> in = {}, std::span<uint8_t> out = {});
  uint32_t ReadPort(VicRequest request, uint32_t port);
  void WritePort(VicRequest request, uint32_t port, uint32_t value);
  void Fifo(VicRequest request, uint16_t port, uint16_t count, void* buffer, int width);
  // The address of `bytes` bytes at pointer + offset inside a recorded mapping, or nullptr.
  uint8_t* MappedAt(uintptr_t pointer, uint64_t offset, uint32_t bytes);
  void ResetRing();
  void ClearFields();
  void InterruptThread();

  std::unique_ptr<VicHwDriver> driver_;
  bool activeHW_ = false;
  bool hardAccess_ = true;
  bool irqValid_ = false;
  uint8_t irqNumber_ = 0;
  bool masked_ = true;
  uint8_t lptNumber_ = 1;
  int lptCount_ = 0;
  uint16_t portBase_ = 0x378;
  uint8_t shadow_[3] = {};
  const uint16_t* lptTable_ = nullptr;
  std::vector<Mapping> mappings_;
  std::unique_ptr<VicSharedBuffer> shared_;
  uint32_t sharedId_ = 0;
  std::counting_semaphore<1000> wakeUp_{0};
  std::atomic<bool> stop_{false};
  std::thread interruptThread_;
  uint16_t lastEntry_ = 0;
};

}  // namespace qzlink
