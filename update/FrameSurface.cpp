#include "update/FrameSurface.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QDeadlineTimer>
#include <QThread>
#include <QWindow>

#include "buffer/DumpEdit.h"
#include "update/Main.h"

namespace update {
namespace {

constexpr int kExposeLimitMs = 500;
constexpr unsigned long kExposePollMs = 5;

// A form shown in the middle of the run must really appear before the busy work starts: the
// window system's events run (the user's input waits) until the window is on screen, for at
// most half a second.
void LetPaint(QWidget& form) {
  constexpr auto flags = QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
  const QWindow* window = form.windowHandle();
  const QDeadlineTimer limit(kExposeLimitMs);
  QCoreApplication::processEvents(flags);
  while (window && !window->isExposed() && !limit.hasExpired()) {
    QThread::msleep(kExposePollMs);
    QCoreApplication::processEvents(flags);
  }
}

}  // namespace

FrameSurface::~FrameSurface() {
  InitForm = nullptr;
  UpDateForm = nullptr;
}

winapi::Owner FrameSurface::Frame() { return &frame_; }

buffer::DumpEditCore* FrameSurface::ActiveChild() {
  buffer::TMainEdit* edit = frame_.ActiveDumpEdit();
  return edit ? &edit->Core() : nullptr;
}

void FrameSurface::SetUpdateEnabled(bool enabled) { frame_.Menu_Update1->setEnabled(enabled); }

void FrameSurface::ShowDeviceLabels(const std::string& idText, const std::string& modelText) {
  frame_.DeviceIDLabel->setText(QString::fromLatin1(idText.c_str()));
  frame_.DeviceModelLabel->setText(QString::fromLatin1(modelText.c_str()));
  frame_.DevicePanel->repaint();
}

void FrameSurface::ShowInitForm() {
  initForm_ = std::make_unique<TInitForm>();
  InitForm = initForm_.get();
  initForm_->show();
  LetPaint(*initForm_);
  initForm_->repaint();
}

void FrameSurface::CloseInitForm() {
  InitForm = nullptr;
  initForm_.reset();
}

void FrameSurface::ShowUpdateForm(const std::string& action) {
  upDateForm_ = std::make_unique<TUpDateForm>();
  UpDateForm = upDateForm_.get();
  upDateForm_->Label1->setText(QString::fromLatin1(action.c_str()));
  upDateForm_->show();
  LetPaint(*upDateForm_);
  upDateForm_->repaint();
}

void FrameSurface::CloseUpdateForm() {
  UpDateForm = nullptr;
  upDateForm_.reset();
}

void FrameSurface::SetMaximum(std::int32_t maximum) {
  if (upDateForm_) upDateForm_->ProgressGauge->setMaximum(maximum);
}

void FrameSurface::SetProgress(std::int32_t progress) {
  if (upDateForm_) upDateForm_->ProgressGauge->SetProgress(progress);
}

}  // namespace update
