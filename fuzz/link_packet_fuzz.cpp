// The packet receiver over a handshake the input drives: each nibble receive either fails
// (after writing some junk, as a broken handshake can) or delivers the next input bytes;
// the first byte picks the console's or the update tool's frame rules. Then the frame
// builder's packet must come back through a clean handshake as it went in.
// Input: the rules byte (odd: the console's), then for each handshake a control byte (a
// multiple of 8 fails) and its bytes; then the code, a two-byte length and the payload of
// the packet to build.
#include <algorithm>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "link/LinkPacket.h"

using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputBytes input(data, size);
  const qzlink::FrameRules rules = input.Byte() & 1 ? qzlink::kConsoleFrames : qzlink::kUpdateFrames;

  const qzlink::HandGet fuzzed = [&input](uint32_t count, uint8_t* buffer) {
    const bool fails = input.Byte() % 8 == 0;
    const std::span<const uint8_t> bytes = input.Bytes(fails ? count / 2 : count);
    std::copy(bytes.begin(), bytes.end(), buffer);
    return !fails && bytes.size() == count ? 1 : 0;
  };
  const qzlink::LinkPacket untouched = {0x42, 0x43};
  qzlink::LinkPacket out = untouched;
  const int received = qzlink::ReceivePacket(fuzzed, out, rules);
  if (received == qzlink::kReceived) {
    Require(out.size() >= qzlink::kPacketPrefix + qzlink::kMinLengthField);
    Require(out.size() == qzlink::kPacketPrefix + qzlink::LengthField(out));
    Require(qzlink::PacketPayload(out).size() == qzlink::LengthField(out) - 4);
    if (rules.checkReceivedCrc) Require(qzlink::CrcFieldMatches(out, rules));
  } else {
    Require(out == untouched);
  }

  // What the builder makes, the receiver takes back byte for byte under either rules.
  const uint8_t code = input.Byte();
  const size_t length = (input.Byte() | input.Byte() << 8) % 601;
  const std::span<const uint8_t> payload = input.Bytes(length);
  const auto built = qzlink::BuildPacket(code, payload, static_cast<uint32_t>(payload.size()) + 4, rules);
  Require(built.has_value());
  Require(qzlink::CrcFieldMatches(*built, rules));
  size_t at = 0;
  const qzlink::HandGet clean = [&](uint32_t count, uint8_t* buffer) {
    if (at + count > built->size()) return 0;
    std::copy_n(built->begin() + static_cast<std::ptrdiff_t>(at), count, buffer);
    at += count;
    return 1;
  };
  qzlink::LinkPacket back;
  Require(qzlink::ReceivePacket(clean, back, rules) == qzlink::kReceived);
  Require(back == *built);
  return 0;
}
