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

// Damage planned for the next frame the device sends.
struct FrameFaults {
  std::optional<NibbleFault> nibble;
  bool corruptCrc = false;
  std::optional<uint16_t> lengthField;
  std::optional<uint8_t> code;
};

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

  // One-shot faults of the next frame sent: one nibble shown wrong on the wire, CRC digits
  // that do not match, other length digits (the bytes sent stay as the frame has them), or
  // another code (a well-formed frame with a code the PC may not know).
  void CorruptNibble(size_t frameByte, bool highNibble);
  void CorruptCrc();
  void WrongLength(uint16_t lengthField);
  void ReplaceCode(uint8_t code);

  void Clear();

  // The device's side: what holds the answer it is about to show, and what to do to its frame.
  AnswerHold TakeAnswerHold(WirePoint point);
  FrameFaults TakeFrameFaults();

 private:
  struct Planned {
    WirePoint point;
    uint32_t skip;
    AnswerHold hold;
  };
  std::vector<Planned> answers_;
  FrameFaults frame_;
};

}  // namespace programmer
