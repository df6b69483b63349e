#pragma once
// The framework's gauge: a bar whose fore colour is set by the code, and whose progress stays
// within its range however far the caller pushes it.
#include <QProgressBar>

#include "platform/winapi/Colours.h"

class TCGauge : public QProgressBar {
  Q_OBJECT

 public:
  explicit TCGauge(QWidget* parent = nullptr);

  winapi::Rgb ForeColor() const { return foreColor_; }
  void SetForeColor(winapi::Rgb colour);
  int Progress() const { return value(); }
  // Clamped to the range, where a plain progress bar would ignore the value; a new value is
  // painted at once, an unchanged one not at all.
  void SetProgress(int progress);

 private:
  void ApplyForeColor();

  winapi::Rgb foreColor_ = winapi::kTeal;
};
