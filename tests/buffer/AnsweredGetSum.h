#pragma once
// The real Get Check Sum dialog, answered by its Get button once it is on screen; it notes
// whether its Exit button was shown.
#include <QPushButton>

#include "buffer/GetSumDlg.h"

namespace buffer {

class AnsweredGetSum : public TGetSumDialog {
 public:
  AnsweredGetSum(const EditProfile& profile, bool& exitShown)
      : TGetSumDialog(profile), exitShown_(exitShown) {}
  int exec() override {
    show();
    exitShown_ = ExitBtn->isVisible();
    GetSumBtn->click();
    return result();
  }

 private:
  bool& exitShown_;
};

}  // namespace buffer
