#include "buffer/ProgressWin.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QProgressBar>
#include <QWindow>
#include <chrono>
#include <thread>

#include "buffer/DialogPlacement.h"

TProgressWindow::TProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("ProgressWindow");
  setWindowTitle("Progress..");
  setFixedSize(240, 30);
  aaa_ = new QFrame(this);
  aaa_->setObjectName("aaa");
  aaa_->setGeometry(0, 0, 241, 33);
  progress_ = new QProgressBar(aaa_);
  progress_->setObjectName("Progress");
  progress_->setGeometry(8, 8, 225, 17);
  progress_->setRange(buffer::ProgressBarModel::kMin, buffer::ProgressBarModel::kMax);
  progress_->setTextVisible(false);
  ShowPosition();
  buffer::CentreOnDesktop(this);
}

void TProgressWindow::SetCaption(const std::string& caption) {
  setWindowTitle(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
}

void TProgressWindow::Show() {
  show();
  // A window manager maps a new window a few round trips after the request: wait briefly
  // until it is on screen, so the bar is seen from the first step on.
  constexpr int kExposeWaitMs = 250;
  QElapsedTimer waited;
  waited.start();
  LetPaint();
  while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < kExposeWaitMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    LetPaint();
  }
}

void TProgressWindow::SetPosition(int position) {
  bar_.SetPosition(position);
  ShowPosition();
}

void TProgressWindow::StepIt() {
  bar_.StepIt();
  ShowPosition();
}

void TProgressWindow::Finish() {
  bar_.Finish();
  ShowPosition();
  if (finishPauseMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(finishPauseMs_));
}

void TProgressWindow::Close() { close(); }

int TProgressWindow::Position() const { return bar_.Position(); }

void TProgressWindow::ShowPosition() {
  if (progress_->value() == bar_.Position()) return;
  progress_->setValue(bar_.Position());
  if (isVisible()) LetPaint();
}

void TProgressWindow::LetPaint() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                  QEventLoop::X11ExcludeTimers);
}

void TProgressWindow::showEvent(QShowEvent* event) {
  shown_ = 1;
  QWidget::showEvent(event);
}

void TProgressWindow::closeEvent(QCloseEvent* event) {
  // The window has no close box: only the running operation closes it.
  if (event->spontaneous()) {
    event->ignore();
    return;
  }
  shown_ = 0;
  QWidget::closeEvent(event);
}
