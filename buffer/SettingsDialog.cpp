#include "buffer/SettingsDialog.h"

#include "buffer/DialogPlacement.h"
#include "buffer/core/DialogSettings.h"

namespace buffer {

SettingsDialog::SettingsDialog(std::string section, QWidget* parent)
    : QDialog(parent), section_(std::move(section)) {
  MarkDialogOpened(section_);
}

void SettingsDialog::CloseConfirmed() {
  WriteDialogOk(section_, true);
  accept();
}

void SettingsDialog::CloseRefused() {
  WriteDialogOk(section_, false);
  reject();
}

void SettingsDialog::showEvent(QShowEvent* event) {
  // Centred once, when the dialog's own layout has given it its size.
  if (!placed_) {
    CentreOnDesktop(this);
    placed_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace buffer
