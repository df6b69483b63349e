#include "platform/winapi/ScriptedMessageBoxes.h"

namespace winapi {

ScriptedMessageBoxes::ScriptedMessageBoxes() : previous_(SetMessageBoxHost(this)) {}

ScriptedMessageBoxes::~ScriptedMessageBoxes() { SetMessageBoxHost(previous_); }

void ScriptedMessageBoxes::Clear() {
  answers_.clear();
  boxes_.clear();
  beeps_.clear();
}

int ScriptedMessageBoxes::Show(Owner owner, const std::string& text,
                               const std::string& caption, unsigned flags) {
  int answer = DefaultButton(flags);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back({owner, text, caption, flags, answer});
  if (whileShown_) whileShown_(boxes_.back());
  return answer;
}

}  // namespace winapi
