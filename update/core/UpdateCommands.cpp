#include "update/core/UpdateCommands.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>
#include <span>
#include <vector>

#include "link/LinkPacket.h"
#include "link/UpdateLink.h"

namespace update {
namespace {

using qzlink::kUpdateFrames;
using qzlink::LinkPacket;

constexpr std::size_t kWorkSpare = 20;
constexpr std::uint32_t kWaitRequestTag = 0x90;
constexpr std::size_t kIdentityAt = 2;
constexpr std::size_t kIdentityLength = 12;
constexpr std::size_t kModelAt = 14;
constexpr std::size_t kModelLength = 16;

// Two characters as a hexadecimal number, read up to the first that is no digit.
std::uint32_t ReadTwoHexDigits(std::span<const std::uint8_t> two) {
  const std::array<std::uint8_t, 4> field{two[0], two[1], 0, 0};
  return qzlink::ReadHexField(field.data());
}

int SendFrame(std::uint8_t code, std::span<const std::uint8_t> payload, std::uint32_t lengthField,
              std::uint32_t base) {
  return qzlink::SendNewPacket(code, payload, lengthField, base, kUpdateFrames);
}

void CopyReplyField(std::span<const std::uint8_t> payload, std::size_t at, std::size_t length,
                    std::array<char, 20>& field) {
  field.fill(0);
  if (payload.size() <= at) return;
  const std::size_t count = std::min(length, payload.size() - at);
  std::copy_n(payload.begin() + static_cast<std::ptrdiff_t>(at), count, field.begin());
}

// How one kind of block run differs from the other.
struct BlockRun {
  std::uint8_t code;
  std::string texts;              // after the flag, before the length
  std::uint32_t frameOverhead;    // L - block length
  bool progressBeforeSend;
  bool readEndStatus;
};

int RunBlocks(const BlockRun& kind, winapi::Owner owner, buffer::DataBuffer& buffer, std::int32_t start,
              std::int32_t end, std::int32_t blockLength, std::uint32_t base, Gauge& gauge) {
  // What the loop would read past the buffer, or could not frame, is refused before sending.
  if (kind.texts.size() + 6 > kWorkSpare) return kRunLinkFailed;
  if (blockLength <= 0 || start < 0 || end < start || end >= buffer.BufSize()) return kRunLinkFailed;
  const std::int64_t span = std::int64_t{end} - start + 1;
  if (span % blockLength != 0 || blockLength > std::int64_t{qzlink::kMaxLengthField} - kind.frameOverhead)
    return kRunLinkFailed;
  const auto blocks = static_cast<std::int32_t>(span / blockLength);
  std::vector<std::uint8_t> work;
  try {
    work.assign(static_cast<std::size_t>(blockLength) + kWorkSpare, 0);
  } catch (const std::bad_alloc&) {
    return kRunNoMemory;
  }
  gauge.SetMaximum(blocks);
  std::int32_t progress = 0;
  gauge.SetProgress(progress);
  std::array<std::uint8_t, 2> endStatus{};
  for (std::int32_t j = 0; j < blocks; ++j) {
    work[0] = j + 1 == blocks ? '-' : '+';
    std::copy(kind.texts.begin(), kind.texts.end(), work.begin() + 1);
    char length[8];
    std::snprintf(length, sizeof length, "%04X", static_cast<unsigned>(blockLength));
    const std::size_t dataAt = 1 + kind.texts.size() + 4;
    std::copy_n(length, 4, work.begin() + 1 + static_cast<std::ptrdiff_t>(kind.texts.size()));
    {
      const buffer::BufferLock bytes(buffer);
      if (!bytes.data() || bytes.size() <= end) return kRunLinkFailed;
      std::copy_n(bytes.data() + start + std::int64_t{j} * blockLength, blockLength,
                  work.begin() + static_cast<std::ptrdiff_t>(dataAt));
    }
    if (kind.progressBeforeSend) gauge.SetProgress(++progress);
    if (!SendFrame(kind.code, work, static_cast<std::uint32_t>(blockLength) + kind.frameOverhead, base))
      return kRunLinkFailed;
    const int waited = WaitResult(owner, base);
    if (waited == kRunDeviceFailed || waited == kRunStopped) return waited;
    if (waited != kRunCompleted) return kRunLinkFailed;
    LinkPacket result;
    if (qzlink::PcGetQz710Data(base, result, kUpdateFrames) != qzlink::kReceived) return kRunReceiveFailed;
    const std::optional<BlockResult> read = BlockResultFromReply(result);
    if (!read) return kRunBadBlockResult;
    endStatus = read->endStatus;
    if (read->flag == '?') return kRunDeviceError;
    if (read->flag == '-') break;
    if (!kind.progressBeforeSend) gauge.SetProgress(++progress);
  }
  work.clear();
  if (!SendFrame(kAcknowledge, {}, qzlink::kMinLengthField, base)) return kRunLinkFailed;
  if (kind.readEndStatus && ReadTwoHexDigits(endStatus) == 0) return kRunEndStatusZero;
  return kRunCompleted;
}

}  // namespace

DeviceIdentity IdentityFromReply(const LinkPacket& reply) {
  DeviceIdentity identity;
  if (reply.size() < qzlink::kPacketPrefix) return identity;
  // A reply too short for its fields gives what it carries.
  const std::span<const std::uint8_t> payload = qzlink::PacketPayload(reply);
  CopyReplyField(payload, kIdentityAt, kIdentityLength, identity.formatId);
  CopyReplyField(payload, kModelAt, kModelLength, identity.model);
  return identity;
}

std::optional<std::uint32_t> WaitLimitFromRequest(const LinkPacket& request) {
  if (request.size() < qzlink::kPacketPrefix || request[0] != kAcknowledge) return std::nullopt;
  const std::span<const std::uint8_t> payload = qzlink::PacketPayload(request);
  if (payload.size() < 4 || ReadTwoHexDigits(payload.first(2)) != kWaitRequestTag) return std::nullopt;
  const std::uint32_t limit = ReadTwoHexDigits(payload.subspan(2, 2));
  if (limit == 0) return std::nullopt;
  return limit;
}

std::optional<BlockResult> BlockResultFromReply(const LinkPacket& result) {
  if (result.size() < qzlink::kPacketPrefix || result[0] != kAcknowledge) return std::nullopt;
  const std::span<const std::uint8_t> payload = qzlink::PacketPayload(result);
  if (payload.size() < 3) return std::nullopt;
  return BlockResult{payload[0], {payload[1], payload[2]}};
}

int ReadDeviceInfo(winapi::Owner owner, std::uint32_t base, DeviceIdentity& identity) {
  if (!SendFrame(kReadDeviceInfoCode, {}, qzlink::kMinLengthField, base)) return -1;
  LinkPacket reply;
  if (qzlink::PcGetQz710Data(base, reply, kUpdateFrames) != qzlink::kReceived) return -1;
  const std::uint8_t answer = reply[0] == kAcknowledge ? kAcknowledge : kNegativeAcknowledge;
  if (!SendFrame(answer, {}, qzlink::kMinLengthField, base)) {
    buffer::ShowMessage(messages::kAcknowledgeTimeOut, owner);
    return kRunLinkFailed;
  }
  identity = IdentityFromReply(reply);
  return 0;
}

int WaitResult(winapi::Owner owner, std::uint32_t base) {
  LinkPacket request;
  const int received = qzlink::PcGetQz710Data(base, request, kUpdateFrames);
  if (received == qzlink::kReceiveNoMemory) {
    buffer::ShowMessage(messages::kReplyMemory, owner);
    return kRunReceiveFailed;
  }
  if (received != qzlink::kReceived) return kRunReceiveFailed;
  const std::optional<std::uint32_t> limit = WaitLimitFromRequest(request);
  if (!limit) return kRunReceiveFailed;
  switch (qzlink::WaitDeviceDone(*limit, base)) {
    case qzlink::kWaitDone: return kRunCompleted;
    case qzlink::kWaitFailed: return kRunDeviceFailed;
    case qzlink::kWaitStopped: return kRunStopped;
    default: return kRunLinkFailed;  // the limit passed, or the handshake was lost: never "done"
  }
}

int ProgramImage(winapi::Owner owner, buffer::DataBuffer& buffer, std::int32_t start, std::uint32_t base,
                 const std::string& text, std::int32_t blockLength, std::int32_t end, Gauge& gauge) {
  const BlockRun kind{kProgramBlockCode, text, 11, false, true};
  return RunBlocks(kind, owner, buffer, start, end, blockLength, base, gauge);
}

int VerifyImage(winapi::Owner owner, buffer::DataBuffer& buffer, std::int32_t start, std::int32_t end,
                std::int32_t blockLength, const std::string& firstText, const std::string& secondText,
                std::uint32_t base, Gauge& gauge) {
  const BlockRun kind{kVerifyBlockCode, firstText + secondText, 14, true, false};
  return RunBlocks(kind, owner, buffer, start, end, blockLength, base, gauge);
}

}  // namespace update
