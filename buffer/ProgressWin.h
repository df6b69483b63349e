#pragma once
// TProgressWindow: the one small modeless window long buffer operations show while they
// run. Each program creates one at start-up and installs it with buffer::SetProgress, so
// the Qt-free operations reach it as buffer::Progress().
//
// The operations run on the GUI thread. So that the window really appears on a display
// server and the bar is drawn there, the window lets the window system's events run when it
// is shown and when the bar's position changes, and only then: user input and timers wait
// until the operation has returned to the event loop.
#include <QWidget>

#include "buffer/core/Progress.h"

class QFrame;
class QProgressBar;

class TProgressWindow : public QWidget, public buffer::ProgressSink {
  Q_OBJECT

 public:
  explicit TProgressWindow(QWidget* parent = nullptr);

  void SetCaption(const std::string& caption) override;
  void Show() override;
  void SetPosition(int position) override;
  void StepIt() override;
  void Finish() override;
  void Close() override;
  int Position() const override;

  // 1 while shown, 0 after creation and closing; informational.
  int Shown() const { return shown_; }
  // The pause Finish makes so the full bar is seen (100 ms; tests set 0).
  void SetFinishPauseMs(int ms) { finishPauseMs_ = ms; }

  QProgressBar* Bar() const { return progress_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowPosition();
  // Processes pending window-system and paint events, user input and timers excluded.
  static void LetPaint();

  QFrame* aaa_;
  QProgressBar* progress_;
  buffer::ProgressBarModel bar_;
  int shown_ = 0;
  int finishPauseMs_ = 100;
};
