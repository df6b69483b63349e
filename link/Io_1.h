#pragma once
// Byte access to the parallel port and the three handshakes with the programmer: the
// attention poll, the nibble receive and the byte-pair send. Every wait is a busy loop over
// status reads bounded by a read count; nothing here sleeps, yields or keeps state.
#include <cstdint>

namespace qzlink {

// Register offsets from the port base.
inline constexpr uint32_t kDataOffset = 0;
inline constexpr uint32_t kStatusOffset = 1;
inline constexpr uint32_t kControlOffset = 2;

// Poll codes: the plain poll, and the one that tells the programmer a key press waits.
inline constexpr uint8_t kPollCode = 0x70;
inline constexpr uint8_t kPollCodeKeyWaiting = 0x71;

// PollDevice results.
inline constexpr int kPollNoAnswer = 0;
inline constexpr int kPollIdle = 1;
inline constexpr int kPollHasCommand = 2;

// Writes the low 8 bits of `value` to `port` through the driver; always 1.
int WritePortByte(uint32_t port, uint32_t value);
// The driver's read of `port`; callers use the low 8 bits.
uint32_t ReadPortByte(uint32_t port);

// Asks the programmer whether it wants attention: kPollNoAnswer, kPollIdle or
// kPollHasCommand. Logs nothing.
int PollDevice(uint32_t base, uint8_t pollCode);

// Receives `count` bytes four bits at a time into buffer[0..count-1]. 1 on success; 0 after
// a failed wait, which is logged and leaves 0x00 on the data lines.
int PcHandGet(uint32_t count, uint8_t* buffer, uint32_t base);

// Sends `count` bytes two at a time. An odd count sends a 0x00 after the last byte, so only
// bytes[0..count-1] are read. 1 on success; 0 after a logged failed wait (data lines 0x00).
int PcHandSend(uint32_t count, const uint8_t* bytes, uint32_t base);

}  // namespace qzlink
