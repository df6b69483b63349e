#pragma once
// The programs' message-box host: real Qt boxes, and the system beep.
#include "platform/winapi/MessageBox.h"

namespace winapi {

class QtMessageBoxes : public MessageBoxHost {
 public:
  int Show(Owner owner, const std::string& text, const std::string& caption,
           unsigned flags) override;
  void Beep(unsigned type) override;
};

}  // namespace winapi
