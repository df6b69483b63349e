#pragma once
// A message-box host for tests: records every box and beep, and answers each box from a
// queue of scripted answers (the box's default button once the queue is empty). While it
// lives it is the installed host; the previous host comes back when it is destroyed.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/winapi/MessageBox.h"

namespace winapi {

struct ShownBox {
  Owner owner;
  std::string text;
  std::string caption;
  unsigned flags;
  int answer;
};

class ScriptedMessageBoxes : public MessageBoxHost {
 public:
  ScriptedMessageBoxes();
  ~ScriptedMessageBoxes() override;
  ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
  ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

  void Answer(int id) { answers_.push_back(id); }
  // Runs while each box is open, as the events a real box's own loop takes would.
  void WhileShown(std::function<void(const ShownBox&)> hook) { whileShown_ = std::move(hook); }
  const std::vector<ShownBox>& boxes() const { return boxes_; }
  const std::vector<unsigned>& beeps() const { return beeps_; }
  void Clear();

  int Show(Owner owner, const std::string& text, const std::string& caption,
           unsigned flags) override;
  void Beep(unsigned type) override { beeps_.push_back(type); }

 private:
  MessageBoxHost* previous_;
  std::deque<int> answers_;
  std::function<void(const ShownBox&)> whileShown_;
  std::vector<ShownBox> boxes_;
  std::vector<unsigned> beeps_;
};

}  // namespace winapi
