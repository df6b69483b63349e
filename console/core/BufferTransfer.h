#pragma once
// The console's side of the programmer's four buffer transfers, led by the programmer inside
// one link transaction: 0xA2 takes the programmer's whole data in blocks, 0xA5 one segment of
// it; 0xA3 gives the console's buffer in blocks, 0xA6 one segment of it.
//
// What the programmer sends is not trusted: payloads too short for their fields, a block size
// of 0 and sizes no packet can carry are logged and dropped before the first frame, and a data
// packet shorter than announced is a failed receive. Data reach the buffer only once all of
// them are in, and a transfer that breaks off leaves the buffer and its size as they were.
// The buffer is locked for one copy at a time, never across a box or a resize.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "buffer/core/DataBuffer.h"
#include "console/core/LinkState.h"
#include "link/LinkPacket.h"

namespace console {

// 0xA2's total must stay below this; 0xA3 warns above kProgramAllWarnAbove and goes on.
inline constexpr uint32_t kReadAllLimit = 0x800000;
inline constexpr uint32_t kProgramAllWarnAbove = 0x7FFFFF;
// The data bytes one packet carries after its leading marker or '+'.
inline constexpr uint32_t kMaxBlockBytes = qzlink::kMaxPayload - 1;

inline constexpr const char* kGettingDataCaption = "Getting Data...";
inline constexpr const char* kSendingDataCaption = "Sending Data...";
inline constexpr const char* kDataFromMaster = "Data From Master";

struct BlockRequest {
  uint32_t total = 0;
  uint32_t block = 0;
};

struct SegmentRequest {
  uint32_t address = 0;
  uint32_t length = 0;
};

// 0xA2 and 0xA3: total and block size, 24 bits each, little-endian. None for a payload
// shorter than its six bytes.
std::optional<BlockRequest> ReadBlockRequest(std::span<const uint8_t> payload);
// 0xA5 and 0xA6: a 24-bit address and a 16-bit length. None for fewer than five bytes.
std::optional<SegmentRequest> ReadSegmentRequest(std::span<const uint8_t> payload);

// The `length` data bytes of a programmer's data packet (after its marker), or none when it
// holds fewer of them.
std::optional<std::span<const uint8_t>> DataFromPacket(const qzlink::LinkPacket& packet, uint32_t length);

// How a total travels: in blocks of the announced size, the last one holding what is left.
class BlockPlan {
 public:
  // `block` is at least 1.
  BlockPlan(uint32_t total, uint32_t block);
  uint32_t Blocks() const { return blocks_; }
  // Where block `index` lies: at its index times the announced size, a shorter last one too.
  uint32_t Offset(uint32_t index) const { return index * block_; }
  // The bytes of block `index` that belong to the total.
  uint32_t Length(uint32_t index) const;

 private:
  uint32_t total_;
  uint32_t block_;
  uint32_t blocks_;
};

// The gauge before block `index` of `blocks`: ten more than `progress`, at most 195; the last
// block fills it (200).
int GaugeBeforeBlock(int progress, uint32_t index, uint32_t blocks);

// A buffer byte on its way to the programmer: as it is, or with JedecSendMode 1 one fuse,
// 0x01 for any nonzero byte and 0x00 for zero.
uint8_t ByteForProgrammer(uint8_t value, int32_t jedecSendMode);

// The size the buffer must grow to so that `end` bytes fit; none when they fit already.
std::optional<uint32_t> GrowthFor(int32_t bufSize, uint32_t end);

// What a transfer needs of the console around it.
class TransferSite {
 public:
  virtual ~TransferSite() = default;
  // The data buffer, or none when there is none.
  virtual buffer::DataBuffer* Buffer() = 0;
  // The Dump Edit's resize (its tail fill, its box when memory fails).
  virtual bool ResizeBuffer(uint32_t size) = 0;
  virtual void RefreshGrids() = 0;
  // The gauge teal at 0 and its caption, then each new progress (never the same twice).
  virtual void StartProgress(const char* caption) = 0;
  virtual void ShowProgress(int progress) = 0;
  // The status bar's path panel.
  virtual void ShowPathPanel(const char* text) = 0;
  virtual void Log(const std::string& text) = 0;
};

// The handlers' bodies; `payload` is the command packet's. The port is state.LptBase.
void ServeReadAll(std::span<const uint8_t> payload, LinkState& state, TransferSite& site);         // 0xA2
void ServeProgramAll(std::span<const uint8_t> payload, LinkState& state, TransferSite& site);      // 0xA3
void ServeReadSegment(std::span<const uint8_t> payload, LinkState& state, TransferSite& site);     // 0xA5
void ServeProgramSegment(std::span<const uint8_t> payload, LinkState& state, TransferSite& site);  // 0xA6

}  // namespace console
