#pragma once
// The status register as the device drives it. Each answer has meaningful bits; the others
// read as junk that changes from read to read, so the PC's masks are exercised. An answer may
// be held back by a fault, in which case the previous status goes on showing.
#include <cstdint>

#include "programmer/WireFaults.h"

namespace programmer {

class StatusLines {
 public:
  explicit StatusLines(WireFaults& faults) : faults_(faults) {}

  // Shows `value` (its `meaningful` bits; the rest junk) unless a fault holds it back.
  void Answer(WirePoint point, uint8_t value, uint8_t meaningful = 0xF8);
  // Shows a status that no wait of the PC looks for, at once. It never counts as an answer.
  void Silence();
  // Holds back every answer from now on, until EndStall.
  void Stall() { stalled_ = true; }
  // Lets held-back answers through again (a new poll starts).
  void EndStall() { stalled_ = false; }

  // One status read by the PC.
  uint8_t Read();
  // Whether the PC has read the current answer at least once since it was given.
  bool AnswerSeen() const { return seen_; }

 private:
  uint8_t Junk();

  WireFaults& faults_;
  uint8_t shownValue_ = 0x00;
  uint8_t shownMeaningful_ = 0xF8;
  uint8_t answerValue_ = 0x00;
  uint8_t answerMeaningful_ = 0xF8;
  uint32_t delay_ = 0;
  bool stalled_ = false;
  bool seen_ = false;
  bool isAnswer_ = false;
  uint32_t junkState_ = 0x2545F491;
};

}  // namespace programmer
