#pragma once
// Link packets: a code byte, the length field L (payload length + 4) as four hex digits, the
// payload, and the CRC-16 of everything before it as four hex digits. A packet is L+5 bytes.
// The PC sends a packet as a head (bytes 0..5) and a body (L bytes from byte 5) and receives
// one as a head (bytes 0..4) and a body (bytes 5..L+4), each handshake tried up to 5 times.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace qzlink {

// A packet owns its bytes.
using LinkPacket = std::vector<uint8_t>;

inline constexpr uint32_t kMinLengthField = 4;
inline constexpr uint32_t kMaxLengthField = 0xFFFF;
inline constexpr uint32_t kMaxPayload = kMaxLengthField - 4;
// Code byte + four length digits.
inline constexpr uint32_t kPacketPrefix = 5;
inline constexpr uint32_t kCrcDigits = 4;

// A packet's byte 0: what the packet is (a request, an acknowledge, a command, a block).
using PacketCode = uint8_t;

// Codes of the console's link.
inline constexpr PacketCode kRequestCode = 0x9F;
inline constexpr PacketCode kAcknowledgeCode = 0xE0;
inline constexpr PacketCode kReadyCode = 0xE1;

// PcGetQz710Data results.
inline constexpr int kReceived = 0;
inline constexpr int kReceiveNoMemory = -1;
inline constexpr int kReceiveFailed = -2;
inline constexpr int kReceiveCrcMismatch = -3;

// How a link variant makes and takes a frame's CRC field. The console writes the four digits
// of the 16-bit CRC and compares them on receipt. The update tool writes the first four
// characters of the "%04X" text of the whole CRC register (above 0xFFFF that is its leading
// digits, not the 16-bit CRC), because that is the text the programmer's update mode checks,
// and takes frames without comparing their field.
struct FrameRules {
  bool leadingRegisterDigits;
  bool checkReceivedCrc;
};
inline constexpr FrameRules kConsoleFrames{.leadingRegisterDigits = false, .checkReceivedCrc = true};
inline constexpr FrameRules kUpdateFrames{.leadingRegisterDigits = true, .checkReceivedCrc = false};

// CRC-16/XMODEM (polynomial 0x1021, initial 0, no reflection, no final XOR).
uint16_t Crc16(const uint8_t* bytes, size_t count);
// The same table-driven CRC in a 32-bit register that is never reduced: its low 16 bits are
// the CRC-16, the bits above hold the high bytes of earlier steps.
uint32_t Crc16Register(const uint8_t* bytes, size_t count);
// The CRC field the rules put after `count` bytes.
std::array<uint8_t, 4> CrcField(const uint8_t* bytes, size_t count, FrameRules rules);
// Whether the packet's CRC field is the one the rules make for its bytes 0..L (the console's
// compares values, so lower-case digits pass; the update tool's compares the text).
bool CrcFieldMatches(const LinkPacket& packet, FrameRules rules);

// Reads a length or CRC field: at most four hex digits of either case, stopping at the first
// character that is no hex digit (0 when the first one is none).
uint32_t ReadHexField(const uint8_t* field);

// Writes the low 16 bits of `value` as four upper-case hex digits ("%04X").
void WriteHexField(uint32_t value, uint8_t* field);

// The packet's length field; the packet must hold at least 5 bytes.
uint32_t LengthField(const LinkPacket& packet);
// The payload (bytes 5..L), clipped to what the packet holds.
std::span<const uint8_t> PacketPayload(const LinkPacket& packet);

// A packet with `code`, the first L-4 bytes of `payload` and length field L. None when L
// cannot be carried by the length field (below 4 or above 0xFFFF), when `payload` is shorter
// than L-4 bytes, or when memory fails.
std::optional<LinkPacket> BuildPacket(PacketCode code, std::span<const uint8_t> payload, uint32_t lengthField,
                                      FrameRules rules = kConsoleFrames);

// Sends the packet: 1 sent, 0 failed. Logs nothing itself (the handshakes do).
int SendPacket(const LinkPacket& packet, uint32_t base);

// Builds a packet, sends it and drops it: what every sender of an acknowledge or data block
// does. A packet that cannot be built counts as not sent (0).
int SendNewPacket(PacketCode code, std::span<const uint8_t> payload, uint32_t lengthField, uint32_t base,
                  FrameRules rules = kConsoleFrames);

// One nibble receive of `count` bytes into the buffer: 1 on success, as PcHandGet.
using HandGet = std::function<int(uint32_t count, uint8_t* buffer)>;

// The receive below over any handshake: the head, its length field, the body, the checks.
int ReceivePacket(const HandGet& get, LinkPacket& out, FrameRules rules);

// Receives one packet into `out`: kReceived, kReceiveNoMemory, kReceiveFailed or
// kReceiveCrcMismatch (for a length field below 4, and for a CRC mismatch when the rules
// check it). `out` is left as it was on every failure.
int PcGetQz710Data(uint32_t base, LinkPacket& out, FrameRules rules = kConsoleFrames);

}  // namespace qzlink
