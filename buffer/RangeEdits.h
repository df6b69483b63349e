#pragma once
// A range dialog's address edits under the shared range rules (buffer/core/RangeDialogRules.h):
// the range buttons' texts written in their order with the twins not driving, and the texts
// the accept checks read.
#include <array>

#include "buffer/core/RangeDialogRules.h"

class QLineEdit;

namespace buffer {

class TwinAddressEdits;

class RangeEdits {
 public:
  // A dialog without word twins (Save) passes no twins and no word edits.
  RangeEdits(TwinAddressEdits* twins, QLineEdit* byteStart, QLineEdit* byteEnd,
             QLineEdit* wordStart = nullptr, QLineEdit* wordEnd = nullptr);

  QLineEdit* Edit(RangeEdit edit) const { return edits_[static_cast<int>(edit)]; }
  // A range button: the twins stop driving, then the texts are written in their order.
  void Write(const RangeEditTexts& texts) const;
  RangeTexts Texts() const;

 private:
  TwinAddressEdits* twins_;
  std::array<QLineEdit*, 4> edits_;
};

}  // namespace buffer
