#pragma once
// The programmer's side of the wire: it answers the PC's polls, takes the PC's packets (head
// and body by byte-pair send, CRC checked) and sends its own (head and body by nibbles). It is
// stepped by the PC's register accesses alone. Commands it queues are announced by the next
// poll and go out when the PC asks for them with the request packet; replies it queues while
// a transaction runs go out after the next packet it takes.
//
// When the PC gives up half-way the device goes back to the start of the handshake it was in,
// which is where the PC's retry starts; the PC's next poll resets everything.
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "link/LinkPacket.h"
#include "platform/portio/PortDevice.h"
#include "programmer/NibbleSender.h"
#include "programmer/PairReceiver.h"
#include "programmer/PollResponder.h"
#include "programmer/StatusLines.h"
#include "programmer/WireFaults.h"

namespace programmer {

// What the firmware hears from the wire. Every call comes from inside a PC register access.
class WireListener {
 public:
  virtual ~WireListener() = default;
  // The PC's poll code (0x70, or 0x71 while a key press waits), before the device answers
  // whether it has a command: queue one here to have it announced by this poll.
  virtual void OnPoll(uint8_t /*pollCode*/) {}
  // A packet from the PC whose CRC matched (the request 0x9F included).
  virtual void OnPacket(const qzlink::LinkPacket& /*packet*/) {}
  // A packet of the device's went out completely.
  virtual void OnSent(const qzlink::LinkPacket& /*packet*/) {}
};

struct WireCounts {
  uint64_t packetsReceived = 0;
  uint64_t packetsSent = 0;
  uint64_t crcErrors = 0;       // packets from the PC whose CRC digits did not match
  uint64_t malformed = 0;       // heads or bodies of the wrong size
  uint64_t abandoned = 0;       // handshakes the PC left unfinished (or never began)
};

class DeviceLink : public portio::PortDevice {
 public:
  DeviceLink();

  uint8_t Read(portio::LptRegister reg) override;
  void Write(portio::LptRegister reg, uint8_t value) override;

  void SetListener(WireListener* listener) { listener_ = listener; }
  // The CRC field both directions carry; the update mode takes and makes the update tool's.
  void SetFrameRules(qzlink::FrameRules rules) { rules_ = rules; }
  // Ready for a packet from the PC without a poll first (the update mode's probe leads here,
  // and ends what a fault held back, as a poll does).
  void ExpectPacket() {
    lines_.EndStall();
    StartReceive();
  }
  // Sends a packet at once, not as the reply to one from the PC.
  void SendNow(uint8_t code, std::span<const uint8_t> payload);
  // An absent device shows a status that answers nothing and ignores every write.
  void SetPresent(bool present);

  // Packets carry at most 0xFFFB payload bytes; more throws std::length_error.
  void QueueCommand(uint8_t code, std::span<const uint8_t> payload);
  void QueueReply(uint8_t code, std::span<const uint8_t> payload);
  size_t QueuedCommands() const { return commands_.size(); }

  WireFaults& faults() { return faults_; }
  const WireCounts& counts() const { return counts_; }

 private:
  enum class Mode { Idle, Poll, Receive, Send };
  struct Outgoing {
    uint8_t code;
    std::vector<uint8_t> payload;
  };

  void OnData(uint8_t value);
  void OnControl(uint8_t value);
  void StartPoll();
  void Abandon();
  void EnterIdle();

  void StartReceive();
  void OnChunkReceived();
  void OnPacketReceived(qzlink::LinkPacket packet);

  void StartSend(const Outgoing& outgoing, bool isCommand);
  void OnChunkSent();

  WireFaults faults_;
  StatusLines lines_;
  PollResponder poll_;
  PairReceiver receiver_;
  NibbleSender sender_;
  WireListener* listener_ = nullptr;
  qzlink::FrameRules rules_ = qzlink::kConsoleFrames;
  WireCounts counts_;

  Mode mode_ = Mode::Idle;
  bool present_ = true;
  uint8_t data_ = 0;
  uint8_t control_ = 0;

  std::deque<Outgoing> commands_;
  std::deque<Outgoing> replies_;

  // The packet being taken: its head once that arrived.
  std::vector<uint8_t> head_;
  // The packet being sent, whether it is the front command, and whether its body is going.
  qzlink::LinkPacket sending_;
  bool sendingCommand_ = false;
  bool sendingBody_ = false;
  std::optional<NibbleFault> bodyNibbleFault_;
  // Replies sent since the last command: the place of the next one in its transfer.
  uint32_t framesSinceCommand_ = 0;
};

}  // namespace programmer
