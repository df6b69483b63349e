#pragma once
// The update form of the update run, with its action text, gauge and Stop button. The Stop
// button has no handler of its own: the long wait sees the press on a window whose text is
// "Stop" (StopProbe.h).
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/winapi/qt/CGauge.h"

namespace update {

class TUpDateForm : public QDialog {
  Q_OBJECT

 public:
  explicit TUpDateForm(QWidget* parent = nullptr);
  void BitBtn1Click() {}

  QLabel* Label1;
  TCGauge* ProgressGauge;
  QPushButton* BitBtn1;
};

}  // namespace update
