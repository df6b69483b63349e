#include "buffer/core/Messages.h"

namespace buffer {

int ShowMessage(const Message& message, winapi::Owner owner) {
  return winapi::MessageBox(owner, message.text, message.caption, message.flags);
}

int ShowMessage(const Message& message, const std::string& argument, winapi::Owner owner) {
  std::string text = message.text;
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, argument);
  return winapi::MessageBox(owner, text, message.caption, message.flags);
}

}  // namespace buffer
