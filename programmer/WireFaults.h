#pragma once
// Faults the virtual programmer can be told to make on the wire, for tests: answers held back
// for some reads or for the rest of the exchange, and damaged frames.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace programmer {

// The places where the device answers the PC on the status lines.
enum class WirePoint {
  PollStep1,
  PollStep2,
  PollStep3,
  PollStep4,
  PollStep5,
  ReceiveOpen,   // ready for a byte-pair send
  ReceivePair,   // each answer within the pairs
  ReceiveClose,  // the pairs are over
  SendOpen,      // ready for a nibble receive
  SendNibble,    // each nibble and each acknowledge between them
  SendClose,     // the bytes are over
  UpdateProbe,   // the update mode's probe answer
  UpdateCycle,   // each answer of the update mode's wait cycle
  UpdateRelease, // the update mode letting go after a wait
};

struct NibbleFault {
  size_t frameByte;
  bool highNibble;
};

// Damage planned for a frame the device sends.
struct FrameFaults {
  std::optional<NibbleFault> nibble;
  bool corruptCrc = false;
  std::optional<uint16_t> lengthField;
  std::optional<uint8_t> code;
  std::optional<uint32_t> payloadBytes;  // the frame carries only this many payload bytes
  bool stall = false;                    // the device never offers the frame
};

// Which frame a frame fault lands on: the next one the device sends, or frame k of a
// transfer, that is the k-th frame (from 0) the device sends after a command, its data
// blocks or its replies to the PC's blocks.
using FrameTarget = std::optional<uint32_t>;
inline constexpr FrameTarget kNextFrame = std::nullopt;

// How an answer is held back: shown after `delayReads` reads, or not at all while `stall`.
struct AnswerHold {
  uint32_t delayReads = 0;
  bool stall = false;
};

class WireFaults {
 public:
  // Holds back an answer at `point` for `reads` status reads; `skip` answers at that point
  // pass first. One-shot.
  void DelayAnswer(WirePoint point, uint32_t reads, uint32_t skip = 0);
  // From that answer on the device answers nothing until the PC starts its next poll.
  void StallAnswer(WirePoint point, uint32_t skip = 0);

  // One-shot faults of the target frame: one nibble shown wrong on the wire, CRC digits
  // that do not match, other length digits (the bytes sent stay as the frame has them),
  // another code (a well-formed frame with a code the PC may not know), a well-formed frame
  // that carries only the first `bytes` of its payload, or a frame never offered (the device
  // answers nothing until the PC's next poll).
  void CorruptNibble(size_t frameByte, bool highNibble, FrameTarget target = kNextFrame);
  void CorruptCrc(FrameTarget target = kNextFrame);
  void WrongLength(uint16_t lengthField, FrameTarget target = kNextFrame);
  void ReplaceCode(uint8_t code, FrameTarget target = kNextFrame);
  void ShortPayload(uint32_t bytes, FrameTarget target = kNextFrame);
  void StallFrame(FrameTarget target = kNextFrame);

  void Clear();

  // The device's side: what holds the answer it is about to show, and what to do to the
  // frame it is about to send (`transferFrame` is its place in a transfer, none for a command).
  AnswerHold TakeAnswerHold(WirePoint point);
  FrameFaults TakeFrameFaults(std::optional<uint32_t> transferFrame);

 private:
  struct Planned {
    WirePoint point;
    uint32_t skip;
    AnswerHold hold;
  };
  struct PlannedFrame {
    FrameTarget target;
    FrameFaults faults;
  };
  FrameFaults& PlanFrame(FrameTarget target);

  std::vector<Planned> answers_;
  std::vector<PlannedFrame> frames_;
};

}  // namespace programmer
