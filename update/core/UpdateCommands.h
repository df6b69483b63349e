#pragma once
// The update road's exchanges with the programmer, each after the port scan has opened a run:
// the identity request 0xA1, the program blocks 0xAF and the verify blocks 0xAE with the wait
// request and the long wait after every block, and the end frame. Frames carry the update
// tool's CRC field; received frames are taken without comparing theirs, as the programmer's
// update mode expects.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "buffer/core/DataBuffer.h"
#include "buffer/core/Messages.h"
#include "link/LinkPacket.h"
#include "platform/winapi/MessageBox.h"

namespace update {

inline constexpr qzlink::PacketCode kReadDeviceInfoCode = 0xA1;
inline constexpr qzlink::PacketCode kProgramBlockCode = 0xAF;
inline constexpr qzlink::PacketCode kVerifyBlockCode = 0xAE;
inline constexpr std::uint8_t kAcknowledge = 0xE0;
inline constexpr qzlink::PacketCode kNegativeAcknowledge = 0xFF;

inline constexpr std::int32_t kBlockLength = 8192;
inline constexpr std::int32_t kImageEnd = 0x1FFFF;

// Results of ProgramImage and VerifyImage (WaitResult gives 0, 5, 6, 7 or -1).
enum RunCode : int {
  kRunCompleted = 0,
  kRunNoMemory = 1,
  kRunBadBlockResult = 2,   // a block result that is no 0xE0 frame or too short to read
  kRunDeviceFailed = 5,     // the wait ended with 0xC0
  kRunStopped = 6,
  kRunLinkFailed = 7,       // send, lock, time limit, a lost wait, a bad wait request or range
  kRunDeviceError = 9,      // the programmer answered "?"
  kRunEndStatusZero = 10,   // programming only: the last block result's end status is 0
  kRunReceiveFailed = -1,
};

namespace messages {
inline constexpr buffer::Message kAcknowledgeTimeOut{"Waiting time out", "read ic", winapi::MB_OK};
inline constexpr buffer::Message kReplyMemory{"memory error..", "WaitingPro", winapi::MB_OK};
}  // namespace messages

// The progress gauge of the update form.
class Gauge {
 public:
  virtual ~Gauge() = default;
  virtual void SetMaximum(std::int32_t maximum) = 0;
  virtual void SetProgress(std::int32_t progress) = 0;
};

// The identity as the programmer gives it: 12 and 16 characters, 0-terminated.
struct DeviceIdentity {
  std::array<char, 20> formatId{};
  std::array<char, 20> model{};
};

// The identity fields of a 0xA1 reply, as far as its payload carries them (any code).
DeviceIdentity IdentityFromReply(const qzlink::LinkPacket& reply);

// The limit in seconds of a wait request: a 0xE0 frame whose payload starts with "90" and a
// limit above 0, two hex digits each. None for anything else.
std::optional<std::uint32_t> WaitLimitFromRequest(const qzlink::LinkPacket& request);

// A block result: a 0xE0 frame whose payload holds the flag ('+', '-' or '?') and the two
// characters of the end status. None for anything shorter or of another code.
struct BlockResult {
  std::uint8_t flag = 0;
  std::array<std::uint8_t, 2> endStatus{};
};
std::optional<BlockResult> BlockResultFromReply(const qzlink::LinkPacket& result);

// Sends 0xA1 and takes the reply, acknowledged with 0xE0 (or 0xFF when the reply is not
// 0xE0); the fields come from the reply either way, as far as it carries them. 0, -1 when
// the request or the reply failed, 7 after "Waiting time out" when the acknowledge failed.
int ReadDeviceInfo(winapi::Owner owner, std::uint32_t base, DeviceIdentity& identity);

// After a block frame: the wait request (0xE0 with "90" and a limit above 0 in seconds), then
// the long wait. 0 done, 5 the programmer failed, 6 Stop, 7 the limit passed or the wait
// lost its handshake, -1 no usable wait request.
int WaitResult(winapi::Owner owner, std::uint32_t base);

// The buffer range [start, end] in blocks of `blockLength`, flags "+" and "-" for the last.
// A range or block length the buffer or the frame cannot carry is refused (7) before
// anything is sent.
int ProgramImage(winapi::Owner owner, buffer::DataBuffer& buffer, std::int32_t start, std::uint32_t base,
                 const std::string& text, std::int32_t blockLength, std::int32_t end, Gauge& gauge);
int VerifyImage(winapi::Owner owner, buffer::DataBuffer& buffer, std::int32_t start, std::int32_t end,
                std::int32_t blockLength, const std::string& firstText, const std::string& secondText,
                std::uint32_t base, Gauge& gauge);

}  // namespace update
