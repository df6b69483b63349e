#pragma once
// The device's half of the attention poll. The PC writes data, then control, and waits for
// the answer; the device answers each step on the control write.
#include <cstdint>
#include <functional>

#include "programmer/StatusLines.h"

namespace programmer {

class PollResponder {
 public:
  enum class Outcome { Going, Idle, Command, Lost };

  // `onPollCode` hears the PC's poll code before the device says whether it has a command;
  // `hasCommand` is asked right after.
  PollResponder(StatusLines& lines, std::function<void(uint8_t)> onPollCode, std::function<bool()> hasCommand)
      : lines_(lines), onPollCode_(std::move(onPollCode)), hasCommand_(std::move(hasCommand)) {}

  // The PC has written the poll's first step (data 0x00, control 0x0A).
  void Start();
  Outcome OnControl(uint8_t data, uint8_t control);

 private:
  StatusLines& lines_;
  std::function<void(uint8_t)> onPollCode_;
  std::function<bool()> hasCommand_;
  int step_ = 0;
  bool answeredCommand_ = false;
};

}  // namespace programmer
