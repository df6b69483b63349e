#include "console/core/BufferTransfer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/winapi/MessageBox.h"

namespace console {

namespace {

constexpr uint32_t kEmptyLengthField = 4;
constexpr uint32_t kDataAcknowledgeLengthField = 6;
// A data packet's length field: its data, the '+' and the four of every packet.
constexpr uint32_t kDataFrameOverhead = 5;
constexpr uint8_t kPlus = '+';
constexpr int kGaugeStep = 10;
constexpr int kGaugeStepCeiling = 195;
constexpr int kGaugeFull = 200;
constexpr size_t kIncomingSlack = 1024;

uint32_t LittleEndian(std::span<const uint8_t> bytes, size_t offset, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[offset + static_cast<size_t>(i)];
  return value;
}

std::string Format(const char* format, uint32_t a, uint32_t b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, static_cast<unsigned>(a), static_cast<unsigned>(b));
  return text;
}

bool SendReady(uint32_t base) { return qzlink::SendNewPacket(qzlink::kReadyCode, {}, kEmptyLengthField, base) == 1; }

bool SendDataAcknowledge(uint32_t base) {
  static constexpr std::array<uint8_t, 2> kAcknowledge = {kPlus, 0x00};
  return qzlink::SendNewPacket(qzlink::kAcknowledgeCode, kAcknowledge, kDataAcknowledgeLengthField, base) == 1;
}

bool SendEndAcknowledge(uint32_t base) {
  return qzlink::SendNewPacket(qzlink::kAcknowledgeCode, {}, kEmptyLengthField, base) == 1;
}

bool Receive(uint32_t base) {
  qzlink::LinkPacket reply;
  return qzlink::PcGetQz710Data(base, reply) == qzlink::kReceived;
}

std::optional<std::span<const uint8_t>> ReceiveData(uint32_t base, qzlink::LinkPacket& packet, uint32_t length) {
  if (qzlink::PcGetQz710Data(base, packet) != qzlink::kReceived) return std::nullopt;
  return DataFromPacket(packet, length);
}

// The gauge of one transfer: teal at 0 with its caption, then only values that change.
class TransferGauge {
 public:
  TransferGauge(TransferSite& site, const char* caption) : site_(site) { site_.StartProgress(caption); }
  void BeforeBlock(uint32_t index, uint32_t blocks) {
    const int next = GaugeBeforeBlock(progress_, index, blocks);
    if (next == progress_) return;
    progress_ = next;
    site_.ShowProgress(progress_);
  }

 private:
  TransferSite& site_;
  int progress_ = 0;
};

// The bytes of the buffer from `offset` on, as a data packet to the programmer carries them
// after its '+'. Bytes past BufSize (a full last block) go as 0x00.
void ReadForProgrammer(buffer::DataBuffer& data, uint32_t offset, int32_t jedecSendMode, std::span<uint8_t> out) {
  const buffer::BufferLock lock(data);
  const auto size = static_cast<uint32_t>(std::max(lock.size(), 0));
  const size_t inside = offset < size ? std::min<size_t>(out.size(), size - offset) : 0;
  const uint8_t* from = lock.data() + offset;
  if (jedecSendMode == 1) {
    for (size_t i = 0; i < inside; ++i) out[i] = ByteForProgrammer(from[i], jedecSendMode);
  } else if (inside > 0) {
    std::memcpy(out.data(), from, inside);
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(inside), out.end(), uint8_t{0});
}

// Grows the buffer so that `end` bytes fit. False (logged) when it cannot; `grownFrom` then
// or otherwise tells the size before a growth, to put back if the transfer breaks off.
bool GrowFor(TransferSite& site, uint32_t end, std::optional<int32_t>& grownFrom, const char* handler) {
  const int32_t before = site.Buffer()->BufSize();
  const std::optional<uint32_t> size = GrowthFor(before, end);
  if (!size) return true;
  if (!site.ResizeBuffer(*size)) {
    site.Log(std::string(handler) + " : the buffer cannot grow; the transfer is dropped");
    return false;
  }
  grownFrom = before;
  return true;
}

// The programmer has data from the buffer but broke the transfer off: the buffer goes back
// to its size before the transfer (a shrink keeps every byte below it).
void PutSizeBack(TransferSite& site, const std::optional<int32_t>& grownFrom) {
  if (grownFrom) site.ResizeBuffer(static_cast<uint32_t>(*grownFrom));
}

// Data from the programmer reach the buffer at once, once all of them are in.
bool PlaceIncoming(TransferSite& site, const uint8_t* bytes, uint32_t address, uint32_t length, const char* handler) {
  std::optional<int32_t> grownFrom;
  if (!GrowFor(site, address + length, grownFrom, handler)) return false;
  const buffer::BufferLock lock(*site.Buffer());
  if (length > 0) std::memcpy(lock.data() + address, bytes, length);
  return true;
}

bool HasBuffer(TransferSite& site, const char* handler) {
  if (site.Buffer() != nullptr) return true;
  site.Log(std::string(handler) + " : no data buffer");
  return false;
}

// Sends one data packet ('+' and `length` bytes from `offset`) and takes the programmer's
// reply, which is not read.
bool SendDataBlock(LinkState& state, TransferSite& site, uint32_t offset, uint32_t length, std::vector<uint8_t>& frame) {
  frame.resize(size_t{length} + 1);
  frame[0] = kPlus;
  ReadForProgrammer(*site.Buffer(), offset, state.JedecSendMode, std::span<uint8_t>(frame).subspan(1));
  if (qzlink::SendNewPacket(qzlink::kReadyCode, frame, length + kDataFrameOverhead, state.LptBase) != 1) return false;
  return Receive(state.LptBase);
}

constexpr const char* kReadAll = "QZSendReadDataCommand()";
constexpr const char* kProgramAll = "QZGetProgramDataCommand()";
constexpr const char* kReadSegment = "QZSendReadDataSegmentCommand()";
constexpr const char* kProgramSegment = "QZGetProgramDataSegmentCommand()";

// The segment request when it can be served; else none, logged.
std::optional<SegmentRequest> ServableSegment(std::span<const uint8_t> payload, TransferSite& site,
                                              const char* handler) {
  const std::optional<SegmentRequest> request = ReadSegmentRequest(payload);
  if (!request) {
    site.Log(std::string(handler) + " : command too short");
  } else if (request->length > kMaxBlockBytes) {
    site.Log(handler + Format(" : segment of %X bytes cannot be carried", request->length));
  } else if (HasBuffer(site, handler)) {
    return request;
  }
  return std::nullopt;
}

// The block request when it can be served, its largest packet carrying `largestBlock` of its
// data; else none, logged.
template <typename LargestBlock>
std::optional<BlockRequest> ServableBlocks(std::span<const uint8_t> payload, TransferSite& site, const char* handler,
                                           LargestBlock largestBlock) {
  const std::optional<BlockRequest> request = ReadBlockRequest(payload);
  if (!request) {
    site.Log(std::string(handler) + " : command too short");
  } else if (request->block == 0) {
    site.Log(std::string(handler) + " : block size 0");
  } else if (largestBlock(*request) > kMaxBlockBytes) {
    site.Log(handler + Format(" : block of %X bytes cannot be carried", largestBlock(*request)));
  } else if (HasBuffer(site, handler)) {
    return request;
  }
  return std::nullopt;
}

}  // namespace

std::optional<BlockRequest> ReadBlockRequest(std::span<const uint8_t> payload) {
  if (payload.size() < 6) return std::nullopt;
  return BlockRequest{LittleEndian(payload, 0, 3), LittleEndian(payload, 3, 3)};
}

std::optional<SegmentRequest> ReadSegmentRequest(std::span<const uint8_t> payload) {
  if (payload.size() < 5) return std::nullopt;
  return SegmentRequest{LittleEndian(payload, 0, 3), LittleEndian(payload, 3, 2)};
}

std::optional<std::span<const uint8_t>> DataFromPacket(const qzlink::LinkPacket& packet, uint32_t length) {
  if (packet.size() < qzlink::kPacketPrefix) return std::nullopt;
  const std::span<const uint8_t> payload = qzlink::PacketPayload(packet);
  if (payload.size() < size_t{length} + 1) return std::nullopt;
  return payload.subspan(1, length);
}

BlockPlan::BlockPlan(uint32_t total, uint32_t block)
    : total_(total), block_(block), blocks_(total / block + (total % block != 0 ? 1 : 0)) {}

uint32_t BlockPlan::Length(uint32_t index) const {
  const uint32_t offset = Offset(index);
  return offset >= total_ ? 0 : std::min(block_, total_ - offset);
}

int GaugeBeforeBlock(int progress, uint32_t index, uint32_t blocks) {
  if (index + 1 == blocks) return kGaugeFull;
  return std::min(progress + kGaugeStep, kGaugeStepCeiling);
}

uint8_t ByteForProgrammer(uint8_t value, int32_t jedecSendMode) {
  if (jedecSendMode != 1) return value;
  return value != 0 ? 0x01 : 0x00;
}

std::optional<uint32_t> GrowthFor(int32_t bufSize, uint32_t end) {
  if (bufSize >= 0 && static_cast<uint32_t>(bufSize) >= end) return std::nullopt;
  return end;
}

void ServeReadAll(std::span<const uint8_t> payload, LinkState& state, TransferSite& site) {
  const std::optional<BlockRequest> whole = ReadBlockRequest(payload);
  if (whole && whole->total >= kReadAllLimit) {
    site.Log(Format("QZSendReadDataCommand() : total %X is too large", whole->total));
    return;
  }
  // The last block may be shorter than announced: only the larger of the two must fit.
  const std::optional<BlockRequest> request = ServableBlocks(
      payload, site, kReadAll, [](const BlockRequest& r) { return std::min(r.block, r.total); });
  if (!request) return;
  std::vector<uint8_t> incoming;
  try {
    incoming.assign(size_t{request->total} + kIncomingSlack, 0);
  } catch (const std::bad_alloc&) {
    site.Log("QZSendReadDataCommand() : memory not enough");
    return;
  }
  if (!SendReady(state.LptBase)) {
    site.Log("QZSendReadDataCommand()->C Send ready Fail!");
    return;
  }
  TransferGauge gauge(site, kGettingDataCaption);
  const BlockPlan plan(request->total, request->block);
  for (uint32_t i = 0; i < plan.Blocks(); ++i) {
    gauge.BeforeBlock(i, plan.Blocks());
    qzlink::LinkPacket packet;
    const std::optional<std::span<const uint8_t>> data = ReceiveData(state.LptBase, packet, plan.Length(i));
    if (!data) {
      site.Log(Format("QZSendReadDataCommand()-> D Get data Fail! [i=%u, blocks=%u]", i, plan.Blocks()));
      return;
    }
    std::copy(data->begin(), data->end(), incoming.begin() + plan.Offset(i));
    if (!SendDataAcknowledge(state.LptBase)) {
      site.Log(Format("QZSendReadDataCommand()-> E Send acknowledge Fail! [i=%u, blocks=%u]", i, plan.Blocks()));
      return;
    }
  }
  if (!PlaceIncoming(site, incoming.data(), 0, request->total, kReadAll)) return;
  site.RefreshGrids();
}

void ServeReadSegment(std::span<const uint8_t> payload, LinkState& state, TransferSite& site) {
  const std::optional<SegmentRequest> request = ServableSegment(payload, site, kReadSegment);
  if (!request) return;
  if (!SendReady(state.LptBase)) {
    site.Log("QZSendReadDataSegmentCommand()->C Send ready Fail!");
    return;
  }
  TransferGauge gauge(site, kGettingDataCaption);
  qzlink::LinkPacket packet;
  const std::optional<std::span<const uint8_t>> data = ReceiveData(state.LptBase, packet, request->length);
  if (!data) {
    site.Log("QZSendReadDataSegmentCommand()-> D Get data Fail!");
    return;
  }
  const std::vector<uint8_t> incoming(data->begin(), data->end());
  if (!SendDataAcknowledge(state.LptBase)) {
    site.Log("QZSendReadDataSegmentCommand()-> E Send acknowledge Fail!");
    return;
  }
  if (!PlaceIncoming(site, incoming.data(), request->address, request->length, kReadSegment)) return;
  if (state.ToPcFlag == 1) {
    site.ShowPathPanel("");
    site.ShowPathPanel(kDataFromMaster);
    state.ToPcFlag = 0;
  }
  site.RefreshGrids();
}

void ServeProgramAll(std::span<const uint8_t> payload, LinkState& state, TransferSite& site) {
  // Every block goes full, so the block size itself must fit a packet.
  const std::optional<BlockRequest> request =
      ServableBlocks(payload, site, kProgramAll, [](const BlockRequest& r) { return r.block; });
  if (!request) return;
  if (request->total > kProgramAllWarnAbove) {
    const uint32_t generation = state.JobGeneration;
    winapi::MessageBox(nullptr, "Data Leagth is biger than max value", "ERROR", winapi::MB_OK);
    // The box ran a loop of its own: a job started meanwhile owns the buffer now.
    if (state.JobGeneration != generation) {
      site.Log("QZGetProgramDataCommand() : a job started while the box was open");
      return;
    }
  }
  std::optional<int32_t> grownFrom;
  if (!GrowFor(site, request->total, grownFrom, kProgramAll)) return;
  TransferGauge gauge(site, kSendingDataCaption);
  const BlockPlan plan(request->total, request->block);
  std::vector<uint8_t> frame;
  for (uint32_t i = 0; i < plan.Blocks(); ++i) {
    gauge.BeforeBlock(i, plan.Blocks());
    if (!SendDataBlock(state, site, plan.Offset(i), request->block, frame)) {
      site.Log(Format("QZGetProgramDataCommand()-> D Send data Fail! [i=%u, blocks=%u]", i, plan.Blocks()));
      PutSizeBack(site, grownFrom);
      return;
    }
  }
  if (!SendEndAcknowledge(state.LptBase)) {
    site.Log("QZGetProgramDataCommand()-> E Send acknowledge Fail!");
    PutSizeBack(site, grownFrom);
  }
}

void ServeProgramSegment(std::span<const uint8_t> payload, LinkState& state, TransferSite& site) {
  const std::optional<SegmentRequest> request = ServableSegment(payload, site, kProgramSegment);
  if (!request) return;
  std::optional<int32_t> grownFrom;
  if (!GrowFor(site, request->address + request->length, grownFrom, kProgramSegment)) return;
  TransferGauge gauge(site, kSendingDataCaption);
  std::vector<uint8_t> frame;
  if (!SendDataBlock(state, site, request->address, request->length, frame)) {
    site.Log("QZGetProgramDataSegmentCommand()-> D Send data Fail!");
    PutSizeBack(site, grownFrom);
    return;
  }
  if (!SendEndAcknowledge(state.LptBase)) {
    site.Log("QZGetProgramDataSegmentCommand()-> E Send acknowledge Fail!");
    PutSizeBack(site, grownFrom);
  }
}

}  // namespace console
