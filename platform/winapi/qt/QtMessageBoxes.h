#pragma once
// The programs' message-box host: real Qt boxes, and the system beep.
#include <memory>

#include "platform/winapi/MessageBox.h"

class QMessageBox;

namespace winapi {

// The box Show runs, made and not yet shown.
std::unique_ptr<QMessageBox> MakeMessageBox(Owner owner, const std::string& text, const std::string& caption,
                                            unsigned flags);

class QtMessageBoxes : public MessageBoxHost {
 public:
  int Show(Owner owner, const std::string& text, const std::string& caption,
           unsigned flags) override;
  void Beep(unsigned type) override;
};

}  // namespace winapi
