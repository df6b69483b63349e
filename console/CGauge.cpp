#include "console/CGauge.h"

#include <algorithm>

TCGauge::TCGauge(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
  // Forces the first style sheet.
  foreColor_ = console::kBlue;
  SetForeColor(console::kTeal);
}

void TCGauge::SetForeColor(console::Rgb colour) {
  // A style sheet costs a re-polish: only a new colour is worth one.
  if (colour == foreColor_) return;
  foreColor_ = colour;
  setStyleSheet(QString("QProgressBar { background: palette(window); border: 1px solid gray; }"
                        "QProgressBar::chunk { background: rgb(%1, %2, %3); }")
                    .arg(colour.red)
                    .arg(colour.green)
                    .arg(colour.blue));
}

void TCGauge::SetProgress(int progress) { setValue(std::clamp(progress, minimum(), maximum())); }
