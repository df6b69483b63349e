#pragma once
// Faults the virtual programmer can be told to make on the wire, for tests: answers held back
// for some reads or for the rest of the exchange, damaged frames, bytes from the PC taken
// wrong or missed, and status lines stuck at a level.
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

// One byte of a frame shown wrong: `bits` of one of its nibbles (as the status lines carry a
// nibble, in bits 7..4) flipped, or the whole byte never shown. A byte past the frame's end
// counts on from its start again.
struct NibbleFault {
  size_t frameByte;
  bool highNibble;
  uint8_t bits = 0x10;
  bool dropByte = false;
};

// A byte of the PC's next byte-pair sends that the device takes wrong: with `bits` flipped,
// or not at all. `byte` counts within the send (taken modulo its length).
struct TakenFault {
  size_t byte;
  uint8_t bits;
  bool drop;
};

// Status lines held at a level for some reads, whatever the device shows.
struct StuckLines {
  uint8_t mask = 0;
  uint8_t level = 0;
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
  // One bit (0..7) of one frame byte shown flipped, or the byte left out of the frame once
  // (a retry of the same handshake shows it whole).
  void FlipBit(size_t frameByte, int bit, FrameTarget target = kNextFrame);
  void DropByte(size_t frameByte, FrameTarget target = kNextFrame);
  // The device takes byte `byte` of the PC's byte-pair send with `bits` flipped, or misses
  // it; `skip` sends pass first. One-shot.
  void DamageTaken(size_t byte, uint8_t bits, uint32_t skip = 0);
  void DropTaken(size_t byte, uint32_t skip = 0);
  // The status lines in `mask` read as `level` for `reads` status reads, after `after` reads.
  void StickLines(uint8_t mask, uint8_t level, uint32_t reads, uint32_t after = 0);
  void CorruptCrc(FrameTarget target = kNextFrame);
  void WrongLength(uint16_t lengthField, FrameTarget target = kNextFrame);
  void ReplaceCode(uint8_t code, FrameTarget target = kNextFrame);
  void ShortPayload(uint32_t bytes, FrameTarget target = kNextFrame);
  void StallFrame(FrameTarget target = kNextFrame);

  void Clear();
  // Whether a planned fault has not happened yet.
  bool Pending() const { return !answers_.empty() || !frames_.empty() || taken_ || stuckReads_ > 0; }

  // The device's side: what holds the answer it is about to show, and what to do to the
  // frame it is about to send (`transferFrame` is its place in a transfer, none for a command).
  AnswerHold TakeAnswerHold(WirePoint point);
  FrameFaults TakeFrameFaults(std::optional<uint32_t> transferFrame);
  // At the end of each byte-pair send the device took.
  std::optional<TakenFault> TakeTakenFault();
  // At each status read: the lines held this time.
  StuckLines OnStatusRead() {
    if (stuckReads_ == 0) return {};
    if (stuckAfter_ > 0) {
      --stuckAfter_;
      return {};
    }
    --stuckReads_;
    return stuck_;
  }

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
  std::optional<TakenFault> taken_;
  uint32_t takenSkip_ = 0;
  StuckLines stuck_;
  uint32_t stuckReads_ = 0;
  uint32_t stuckAfter_ = 0;
};

}  // namespace programmer
