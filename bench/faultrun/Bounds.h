#pragma once
// The most port accesses each call of the link may make, from the limits the link enforces:
// every handshake wait gives up after one uncounted read and 100,001 counted ones, the poll's
// waits after 30,000 or 300,000 reads, every packet handshake is tried five times, a length
// field read from the wire is at most 0xFFFF, and the update tool's waits give up after
// 1,000,000 reads. These are bounds, not estimates: a clean call makes far fewer.
#include <cstdint>

#include "link/LinkPacket.h"
#include "link/UpdateLink.h"

namespace faultrun {

inline constexpr uint64_t kHandshakeWaitReads = 100002;
inline constexpr uint64_t kPollWaitReads = 300000;
inline constexpr uint64_t kUpdateWaitReads = qzlink::kWaitDoneReads;
inline constexpr uint64_t kAttempts = 5;
// The longest length field a receive can be told on the wire.
inline constexpr uint64_t kWireLength = qzlink::kMaxLengthField;

// Six writes of data and control, two waits of 30,000 reads and three of 300,000.
inline constexpr uint64_t kPollBound = 12 + 2 * 30000 + 3 * kPollWaitReads;

// A nibble receive of n bytes: open, four steps per byte, close; one write after each wait.
inline uint64_t HandGetBound(uint64_t n) { return (4 * n + 2) * (kHandshakeWaitReads + 1); }
// A byte-pair send of n bytes: open, two waits per pair, two closing waits; four writes per
// pair and five around them.
inline uint64_t HandSendBound(uint64_t n) {
  const uint64_t pairs = (n + 1) / 2;
  return (2 * pairs + 3) * kHandshakeWaitReads + 4 * pairs + 5;
}
inline uint64_t PacketSendBound(uint64_t lengthField) {
  return kAttempts * (HandSendBound(6) + HandSendBound(lengthField));
}
inline uint64_t PacketGetBound() { return kAttempts * (HandGetBound(5) + HandGetBound(kWireLength)); }

// The update tool's probe: 6,000 reads for the idle status, a write, 300,000 reads, a write.
inline constexpr uint64_t kProbeBound = 6000 + 1 + 300000 + 1;

}  // namespace faultrun
