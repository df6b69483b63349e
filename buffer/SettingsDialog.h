#pragma once
// The base of every dialog that answers its caller through the settings file: it writes
// OK = "0" into its section when it is created, so that closing it by the title bar or Esc
// counts as refused, and it opens centred on the desktop.
#include <QDialog>
#include <string>

namespace buffer {

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // `section` is the dialog's own section of the settings file (buffer::SettingsPath()).
  SettingsDialog(std::string section, QWidget* parent = nullptr);

  const std::string& Section() const { return section_; }

 protected:
  // The accept button, after its checks passed and its keys are written: OK = "1", close.
  void CloseConfirmed();
  // The Cancel or Exit button: OK = "0", close.
  void CloseRefused();

  void showEvent(QShowEvent* event) override;

 private:
  std::string section_;
  bool placed_ = false;
};

}  // namespace buffer
