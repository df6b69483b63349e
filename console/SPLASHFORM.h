#pragma once
// The caption-less picture window: the start-up splash, closing itself after two seconds,
// and the "About" window, staying until clicked. A click on the picture or the form closes
// it; the scrolling text on it takes its own presses.
#include <QDialog>
#include <memory>

#include "console/QtTickTimer.h"
#include "console/ScrollText.h"

class QLabel;

class THeadForm : public QDialog {
  Q_OBJECT

 public:
  explicit THeadForm(QWidget* parent = nullptr,
                     const console::TickTimerFactory& timers = console::QtTickTimers());

  void Timer1Timer();
  void FormClick();
  void FormClose();

  QLabel* Image1;
  TScrollText* ScrollText1;
  std::unique_ptr<console::TickTimer> Timer1;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void done(int result) override;
};

// The splash's own picture, 448 x 320.
QImage MakeHeadPicture();

// Flag 1: the start-up splash, closing itself after two seconds; flag 0: stays until
// clicked. Returns when the window has closed.
void ShowHeadForm(int flag, const console::TickTimerFactory& timers = console::QtTickTimers());
