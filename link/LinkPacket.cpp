#include "link/LinkPacket.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>

#include "link/Io_1.h"
#include "link/LinkLog.h"

namespace qzlink {

namespace {

constexpr int kAttempts = 5;
constexpr uint32_t kSendHead = 6;
constexpr uint32_t kReceiveHead = 5;

constexpr std::array<uint16_t, 256> MakeCrcTable() {
  std::array<uint16_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t crc = i << 8;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
    table[i] = static_cast<uint16_t>(crc);
  }
  return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

template <typename Handshake>
bool TryFiveTimes(Handshake handshake) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (handshake() == 1) return true;
  }
  return false;
}

}  // namespace

uint16_t Crc16(const uint8_t* bytes, size_t count) { return static_cast<uint16_t>(Crc16Register(bytes, count)); }

uint32_t Crc16Register(const uint8_t* bytes, size_t count) {
  uint32_t crc = 0;
  for (size_t i = 0; i < count; ++i) crc = (crc << 8) ^ kCrcTable[((crc >> 8) ^ bytes[i]) & 0xFF];
  return crc;
}

std::array<uint8_t, 4> CrcField(const uint8_t* bytes, size_t count, FrameRules rules) {
  std::array<uint8_t, 4> field{};
  if (!rules.leadingRegisterDigits) {
    WriteHexField(Crc16(bytes, count), field.data());
    return field;
  }
  char text[12];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(Crc16Register(bytes, count)));
  std::copy_n(text, field.size(), field.begin());
  return field;
}

bool CrcFieldMatches(const LinkPacket& packet, FrameRules rules) {
  if (packet.size() < kPacketPrefix) return false;
  const uint32_t length = LengthField(packet);
  if (packet.size() < length + kPacketPrefix) return false;
  const uint8_t* field = packet.data() + length + 1;
  if (!rules.leadingRegisterDigits) return ReadHexField(field) == Crc16(packet.data(), length + 1);
  return std::ranges::equal(CrcField(packet.data(), length + 1, rules), std::span(field, kCrcDigits));
}

uint32_t ReadHexField(const uint8_t* field) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < kCrcDigits; ++i) {
    const int digit = HexDigit(field[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

void WriteHexField(uint32_t value, uint8_t* field) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value & 0xFFFF));
  for (uint32_t i = 0; i < kCrcDigits; ++i) field[i] = static_cast<uint8_t>(text[i]);
}

uint32_t LengthField(const LinkPacket& packet) { return ReadHexField(packet.data() + 1); }

std::span<const uint8_t> PacketPayload(const LinkPacket& packet) {
  if (packet.size() <= kPacketPrefix) return {};
  const uint32_t length = LengthField(packet);
  if (length < kMinLengthField) return {};
  const size_t end = std::min<size_t>(packet.size(), length + 1);
  return std::span<const uint8_t>(packet).subspan(kPacketPrefix, end > kPacketPrefix ? end - kPacketPrefix : 0);
}

std::optional<LinkPacket> BuildPacket(PacketCode code, std::span<const uint8_t> payload, uint32_t lengthField,
                                      FrameRules rules) {
  if (lengthField < kMinLengthField || lengthField > kMaxLengthField) return std::nullopt;
  const uint32_t payloadLength = lengthField - 4;
  if (payload.size() < payloadLength) return std::nullopt;
  try {
    LinkPacket packet(lengthField + kPacketPrefix, 0);
    packet[0] = code;
    WriteHexField(lengthField, &packet[1]);
    std::copy_n(payload.begin(), payloadLength, packet.begin() + kPacketPrefix);
    const std::array<uint8_t, 4> crc = CrcField(packet.data(), lengthField + 1, rules);
    std::copy(crc.begin(), crc.end(), packet.begin() + lengthField + 1);
    return packet;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

int SendPacket(const LinkPacket& packet, uint32_t base) {
  // A length field that reaches past the packet would send bytes it does not own.
  if (packet.size() < kSendHead || packet.size() < kPacketPrefix + LengthField(packet)) return 0;
  if (!TryFiveTimes([&] { return PcHandSend(kSendHead, packet.data(), base); })) return 0;
  const uint32_t length = LengthField(packet);
  const uint8_t* body = packet.data() + kPacketPrefix;
  return TryFiveTimes([&] { return PcHandSend(length, body, base); }) ? 1 : 0;
}

int SendNewPacket(PacketCode code, std::span<const uint8_t> payload, uint32_t lengthField, uint32_t base,
                  FrameRules rules) {
  const std::optional<LinkPacket> packet = BuildPacket(code, payload, lengthField, rules);
  return packet ? SendPacket(*packet, base) : 0;
}

int ReceivePacket(const HandGet& get, LinkPacket& out, FrameRules rules) {
  LinkPacket packet;
  try {
    packet.assign(kReceiveHead, 0);
  } catch (const std::bad_alloc&) {
    return kReceiveNoMemory;
  }
  if (!TryFiveTimes([&] { return get(kReceiveHead, packet.data()); })) {
    LogLinkError("PcGetQz710Data() : Get first 5 bytes fail!");
    return kReceiveFailed;
  }
  const uint32_t length = LengthField(packet);
  try {
    packet.resize(length + kPacketPrefix, 0);
  } catch (const std::bad_alloc&) {
    return kReceiveNoMemory;
  }
  if (!TryFiveTimes([&] { return get(length, packet.data() + kPacketPrefix); })) {
    char text[96];
    std::snprintf(text, sizeof text, "PcGetQz710Data() : Get 5 bytes OK, but get the rest fail! [bytes count=%X]",
                  static_cast<unsigned>(length));
    LogLinkError(text);
    return kReceiveFailed;
  }
  // A length below 4 cannot hold its own field: such a head is noise, however its "CRC"
  // (which then overlaps the length digits) happens to read.
  if (length < kMinLengthField) return kReceiveCrcMismatch;
  if (rules.checkReceivedCrc && !CrcFieldMatches(packet, rules)) return kReceiveCrcMismatch;
  out = std::move(packet);
  return kReceived;
}

int PcGetQz710Data(uint32_t base, LinkPacket& out, FrameRules rules) {
  return ReceivePacket([base](uint32_t count, uint8_t* buffer) { return PcHandGet(count, buffer, base); }, out,
                       rules);
}

}  // namespace qzlink
