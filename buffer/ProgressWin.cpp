#include "buffer/ProgressWin.h"

#include <QCloseEvent>
#include <QFrame>
#include <QProgressBar>
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
  repaint();
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
  progress_->setValue(bar_.Position());
  if (isVisible()) progress_->repaint();
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
