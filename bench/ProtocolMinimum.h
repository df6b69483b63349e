#pragma once
// The port accesses the link's handshakes need at the least: one status read per wait and the
// writes of each step, nothing more.
#include <cstdint>

namespace bench {

// A byte-pair send of n bytes: open (read, data, control), a pair per two bytes (2 x read,
// data, control), close (read, data, control), final (read, data).
inline uint64_t PairSendAccesses(uint64_t n) { return 3 + 6 * ((n + 1) / 2) + 3 + 2; }
// A nibble receive of n bytes: open (read, data), 4 x (read, data) per byte, close (read, data).
inline uint64_t NibbleGetAccesses(uint64_t n) { return 2 + 8 * n + 2; }

// A packet with length field L: sent as a head of 6 and a body of L, or taken as a head of 5
// and a body of L.
inline uint64_t PacketSendAccesses(uint64_t lengthField) { return PairSendAccesses(6) + PairSendAccesses(lengthField); }
inline uint64_t PacketGetAccesses(uint64_t lengthField) { return NibbleGetAccesses(5) + NibbleGetAccesses(lengthField); }

}  // namespace bench
