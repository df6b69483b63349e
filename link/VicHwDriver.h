#pragma once
// The kernel driver behind the port driver component: requests by code, each with an input
// and an output block. On Linux the driver is a stand-in over the port backend: port
// requests reach the registers of the detected parallel ports only, the one physical
// mapping it grants is the table of parallel-port bases it builds from those ports, and it
// hooks no interrupt line.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "platform/portio/PortBackend.h"

namespace qzlink {

// The driver's requests; their codes are CtlCode(request).
enum class VicRequest : uint32_t {
  MapMemory = 2,
  UnmapMemory = 3,
  SetWakeUp = 5,
  SetIrqLine = 6,
  MaskIrq = 7,
  UnmaskIrq = 8,
  EndIrq = 9,
  PortControl = 10,
  ReadByte = 11,
  WriteByte = 12,
  ReadWord = 13,
  WriteWord = 14,
  ReadLong = 15,
  WriteLong = 16,
  ReadFifo = 18,
  WriteFifo = 19,
  ReadWordFifo = 20,
  WriteWordFifo = 21,
  LockBuffer = 24,
  ReleaseBuffer = 25,
  ReleaseTable = 27,
  HardAccessOff = 31,
  HardAccessOn = 32,
};

// Device type 0x8000, function 0x800 + n, buffered transfer, any access.
inline constexpr uint32_t CtlCode(VicRequest request) {
  return 0x80000000u | ((0x800u + static_cast<uint32_t>(request)) << 2);
}

// The physical address and size of the BIOS table of parallel-port bases.
inline constexpr uint32_t kLptTablePhysical = 0x408;
inline constexpr uint32_t kLptTableSize = 6;
// The map request record: physical address at offset 8, size at offset 20.
inline constexpr size_t kMapRecordSize = 24;

class VicHwDriver {
 public:
  virtual ~VicHwDriver() = default;
  // Loads the driver and opens its device; false when it cannot be reached.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // One request; false when the driver refuses it. Addresses and handles travel as
  // pointer-sized values.
  virtual bool Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) = 0;
};

// The Linux stand-in, over the backend `makeBackend` gives when the driver opens.
class BackendVicDriver : public VicHwDriver {
 public:
  using BackendMaker = std::function<std::unique_ptr<portio::PortBackend>()>;
  explicit BackendVicDriver(BackendMaker makeBackend);

  bool Open() override;
  void Close() override;
  bool Control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override;

 private:
  uint32_t ReadPort(uint32_t port, int bytes);
  void WritePort(uint32_t port, uint32_t value, int bytes);
  bool Fifo(std::span<const uint8_t> in, std::span<uint8_t> out, int width, bool write);
  bool MapTable(std::span<const uint8_t> in, std::span<uint8_t> out);
  bool PortControl(std::span<const uint8_t> in, std::span<uint8_t> out);

  BackendMaker makeBackend_;
  std::unique_ptr<portio::PortBackend> backend_;
  uint16_t lptTable_[3] = {};
};

}  // namespace qzlink
