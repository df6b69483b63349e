#pragma once
// "Connecting Port Setup": which parallel port the link uses. OK stores the typed text as
// the DataPort setting and makes its value the port base at once; Cancel changes nothing.
#include <QDialog>
#include <array>
#include <string>

#include "console/core/LinkState.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TPortSetupForm : public QDialog {
  Q_OBJECT

 public:
  // The form changes `lptBase` and the settings file at `settingsPath`; it lists `table`.
  TPortSetupForm(uint32_t& lptBase, const std::array<uint32_t, console::kLptTableSize>& table,
                 std::string settingsPath, QWidget* parent = nullptr);

  void FormCreate();
  void PortListBoxClick(int row);
  void BitBtn1Click();

  QLabel* Label1;
  QLineEdit* PortEdit;
  QLabel* Label2;
  QListWidget* PortListBox;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;

 private:
  uint32_t& lptBase_;
  const std::array<uint32_t, console::kLptTableSize>& table_;
  std::string settingsPath_;
};
