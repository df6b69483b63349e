#include "link/Io_1.h"

#include <optional>

#include "link/LinkLog.h"
#include "platform/portio/PortDriver.h"

namespace qzlink {

namespace {

constexpr uint32_t kPollShortWait = 30000;
constexpr uint32_t kPollLongWait = 300000;
constexpr uint32_t kHandshakeReReads = 100000;

struct StatusWait {
  uint8_t mask;
  uint8_t value;
  bool Matches(uint8_t status) const { return (status & mask) == value; }
};

uint8_t ReadStatus(uint32_t base) {
  return static_cast<uint8_t>(ReadPortByte(base + kStatusOffset));
}

void WriteData(uint32_t base, uint8_t value) { WritePortByte(base + kDataOffset, value); }

void WriteLines(uint32_t base, uint8_t data, uint8_t control) {
  WriteData(base, data);
  WritePortByte(base + kControlOffset, control);
}

// The poll's waits: at most `reads` reads, each compared.
template <typename Match>
std::optional<uint8_t> AwaitPoll(uint32_t base, Match matches, uint32_t reads) {
  for (uint32_t n = 0; n < reads; ++n) {
    const uint8_t status = ReadStatus(base);
    if (matches(status)) return status;
  }
  return std::nullopt;
}

std::optional<uint8_t> AwaitPoll(uint32_t base, StatusWait wait, uint32_t reads) {
  return AwaitPoll(base, [wait](uint8_t status) { return wait.Matches(status); }, reads);
}

// The handshakes' waits count every re-read and give up on the one that takes the count past
// the bound, without looking at it. Most waits get one uncounted first read on top.
std::optional<uint8_t> AwaitHandshake(uint32_t base, StatusWait wait, bool uncountedFirstRead) {
  if (uncountedFirstRead) {
    const uint8_t status = ReadStatus(base);
    if (wait.Matches(status)) return status;
  }
  for (uint32_t reReads = 0;;) {
    const uint8_t status = ReadStatus(base);
    if (++reReads > kHandshakeReReads) return std::nullopt;
    if (wait.Matches(status)) return status;
  }
}

int FailHandshake(uint32_t base, const char* text) {
  LogLinkError(text);
  WriteData(base, 0x00);
  return 0;
}

// Bits 6..4 of the status as they are, bit 7 inverted (the BUSY line reads inverted).
uint8_t NibbleFromStatus(uint8_t status) {
  return static_cast<uint8_t>((status & 0x70) | (~status & 0x80));
}

}  // namespace

int WritePortByte(uint32_t port, uint32_t value) {
  portio::DriverWritePort(portio::DriverHandle, port, value);
  return 1;
}

uint32_t ReadPortByte(uint32_t port) { return portio::DriverReadPort(portio::DriverHandle, port); }

int PollDevice(uint32_t base, uint8_t pollCode) {
  WriteLines(base, 0x00, 0x0A);
  if (!AwaitPoll(base, {0xF8, 0x80}, kPollShortWait)) return kPollNoAnswer;
  WriteLines(base, 0x39, 0x05);
  if (!AwaitPoll(base, {0xF8, 0xE0}, kPollShortWait)) return kPollNoAnswer;
  WriteLines(base, pollCode, 0x0A);
  if (!AwaitPoll(base, {0xF8, 0x18}, kPollLongWait)) return kPollNoAnswer;

  WriteLines(base, 0x93, 0x05);
  // Bit 3 is no part of this answer: 0x28 counts as 0x20, 0x38 as 0x30.
  const auto answer = AwaitPoll(
      base, [](uint8_t status) { return (status & 0xF0) == 0x20 || (status & 0xF0) == 0x30; },
      kPollLongWait);
  if (!answer) return kPollNoAnswer;
  const bool hasCommand = (*answer & 0xF0) == 0x20;

  WriteLines(base, 0x39, 0x0A);
  if (!AwaitPoll(base, {0xF0, 0x10}, kPollLongWait)) return kPollNoAnswer;
  WriteLines(base, 0x00, hasCommand ? 0x04 : 0x0A);
  return hasCommand ? kPollHasCommand : kPollIdle;
}

int PcHandGet(uint32_t count, uint8_t* buffer, uint32_t base) {
  if (!AwaitHandshake(base, {0xF8, 0x60}, true)) return FailHandshake(base, "PcHandGet() : 1  ERROR!=0");
  WriteData(base, 0x55);
  for (uint32_t j = 0; j < count; ++j) {
    const auto high = AwaitHandshake(base, {0x08, 0x08}, true);
    if (!high) return FailHandshake(base, "PcHandGet() : 2 ERROR != 1");
    WriteData(base, 0x5A);
    if (!AwaitHandshake(base, {0xF8, 0x20}, true)) return FailHandshake(base, "PcHandGet() : 3 STATUS!=A0H");
    WriteData(base, 0xAA);
    const auto low = AwaitHandshake(base, {0x08, 0x08}, true);
    if (!low) return FailHandshake(base, "PcHandGet() : 4 ERROR!=1");
    buffer[j] = static_cast<uint8_t>(NibbleFromStatus(*high) | (NibbleFromStatus(*low) >> 4));
    WriteData(base, 0xA5);
    if (!AwaitHandshake(base, {0xF8, 0xD0}, true)) return FailHandshake(base, "PcHandGet() : 5 STATUS != 50H");
    WriteData(base, 0x55);
  }
  if (!AwaitHandshake(base, {0xF8, 0x78}, true)) return FailHandshake(base, "PcHandGet() : 6 END Fail!");
  WriteData(base, 0xFF);
  return 1;
}

int PcHandSend(uint32_t count, const uint8_t* bytes, uint32_t base) {
  if (!AwaitHandshake(base, {0xF8, 0xD8}, false)) return FailHandshake(base, "PcHandSend() : 1 status!= 58H");
  WriteLines(base, 0x12, 0x05);
  for (uint32_t j = 0; j < count; j += 2) {
    if (!AwaitHandshake(base, {0xF8, 0x28}, true)) return FailHandshake(base, "PcHandSend() : 2 status!= a8H");
    WriteLines(base, bytes[j], 0x0B);
    if (!AwaitHandshake(base, {0xF8, 0xD8}, true)) return FailHandshake(base, "PcHandSend() : 3 status!= 58H");
    // An odd count ends with a pad byte of 0x00 rather than a read past the caller's bytes.
    WriteLines(base, j + 1 < count ? bytes[j + 1] : 0x00, 0x05);
  }
  if (!AwaitHandshake(base, {0xF8, 0x28}, true)) return FailHandshake(base, "PcHandSend() : 4 status!= a8H");
  WriteLines(base, 0xFF, 0x00);
  if (!AwaitHandshake(base, {0xF8, 0x30}, true)) return FailHandshake(base, "PcHandSend() : 5 status!= b0H");
  WriteData(base, 0x00);
  return 1;
}

}  // namespace qzlink
