#include "platform/winapi/qt/CGauge.h"

#include <algorithm>

TCGauge::TCGauge(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
  ApplyForeColor();
}

void TCGauge::SetForeColor(winapi::Rgb colour) {
  // A style sheet costs a re-polish: only a new colour is worth one.
  if (colour == foreColor_) return;
  foreColor_ = colour;
  ApplyForeColor();
}

void TCGauge::ApplyForeColor() {
  setStyleSheet(QString("QProgressBar { background: palette(window); border: 1px solid gray; }"
                        "QProgressBar::chunk { background: rgb(%1, %2, %3); }")
                    .arg(foreColor_.red)
                    .arg(foreColor_.green)
                    .arg(foreColor_.blue));
}

void TCGauge::SetProgress(int progress) {
  const int clamped = std::clamp(progress, minimum(), maximum());
  if (clamped == value()) return;
  // A plain bar skips painting a change it finds too small to see, and its window may be
  // taking no messages (a transfer): every new value is painted here, once.
  setUpdatesEnabled(false);
  setValue(clamped);
  setUpdatesEnabled(true);
  repaint();
}
