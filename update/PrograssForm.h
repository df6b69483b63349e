#pragma once
// The two small forms of the update run: the init form shown during the pause before the
// port is found, and the update form with its action text, gauge and Stop button. The Stop
// button has no handler of its own: the long wait sees the press on a window whose text is
// "Stop" (StopProbe.h).
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include "platform/winapi/qt/CGauge.h"

namespace update {

class TInitForm : public QDialog {
  Q_OBJECT

 public:
  explicit TInitForm(QWidget* parent = nullptr);
  QLabel* Label1;
};

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
