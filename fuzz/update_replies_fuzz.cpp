// The update tool's reply readers: the identity reply (0xA1), the wait request after a block
// and the block result, on packets as the receiver takes them under the update tool's rules
// (the first byte 1) or on any bytes at all (the first byte 0).
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "update/core/UpdateCommands.h"

using fuzz::Require;

namespace {

// A field of the identity is a 0-terminated text inside its array.
void CheckField(const std::array<char, 20>& field, size_t length) {
  for (size_t i = length; i < field.size(); ++i) Require(field[i] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::span<const uint8_t> rest(data + 1, size - 1);
  qzlink::LinkPacket packet(rest.begin(), rest.end());
  if (data[0] & 1) {
    size_t at = 0;
    const qzlink::HandGet get = [&](uint32_t count, uint8_t* buffer) {
      if (at + count > rest.size()) return 0;
      std::memcpy(buffer, rest.data() + at, count);
      at += count;
      return 1;
    };
    packet.clear();
    if (qzlink::ReceivePacket(get, packet, qzlink::kUpdateFrames) != qzlink::kReceived) return 0;
  }
  const update::DeviceIdentity identity = update::IdentityFromReply(packet);
  CheckField(identity.formatId, 12);
  CheckField(identity.model, 16);
  if (const auto limit = update::WaitLimitFromRequest(packet)) Require(*limit > 0 && *limit <= 0xFF);
  if (const auto result = update::BlockResultFromReply(packet)) {
    Require(packet[0] == update::kAcknowledge);
    Require(qzlink::PacketPayload(packet).size() >= 3 && result->flag == qzlink::PacketPayload(packet)[0]);
  }
  return 0;
}
