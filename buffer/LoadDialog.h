#pragma once
// The "Load File" dialog: file name (with its history), format, source range in the file,
// destination in the buffer, fill byte and even/odd split. It answers through [LoadDlg]
// and sets the program-wide LastLoadFormat; the rules are in buffer/core/LoadDialogRules.h.
// The update tool's build (its profile there) offers only the file name.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>

#include "buffer/Hstcbo.h"
#include "buffer/RadioGroup.h"
#include "buffer/SettingsDialog.h"
#include "buffer/core/LoadDialogRules.h"

class QFileDialog;

namespace buffer {

// Where a confirmed file name is shown (the console's status bar). Process-wide, like the
// one Load dialog of a program.
void SetLoadedFileReporter(std::function<void(const std::string& name)> reporter);
// Shows the name there; an empty name clears it (the Fill command does, since a fill
// replaces what the file put into the buffer).
void ReportLoadedFile(const std::string& name);

class TLoadDlg : public SettingsDialog {
  Q_OBJECT

 public:
  explicit TLoadDlg(const LoadDialogProfile& profile = ConsoleLoadDialog(),
                    QWidget* parent = nullptr);

  // The file dialog Browse opens, set up with the profile's filter and options (the caller
  // owns it).
  static std::unique_ptr<QFileDialog> BrowseFile(
      QWidget* parent, const LoadDialogProfile& profile = ConsoleLoadDialog());

  THistoryComboBox* NameEdit;
  QPushButton* BitBtn1;  // Browse
  TRadioGroup* FormatGroup;
  QLineEdit* SourceSAdd;
  QLineEdit* SourceEAdd;
  QLineEdit* DistSAdd;
  QCheckBox* UnuserFillCheck;
  QLineEdit* UserFill;
  TRadioGroup* EvenOddRadioGroup = nullptr;   // absent in the update tool
  TRadioGroup* ByteWordRadioGroup = nullptr;
  QPushButton* BitBtn2;  // Load
  QPushButton* BitBtn3;  // Cancel

  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();

 private:
  void BuildLayout();
  void FormCreate();
  void NameEditChange();
  void UserFillChange();
  void FormatGroupClick(int index);
  void UnuserFillCheckClick();
  void EvenOddRadioGroupClick();
  void ShowSourceRange(const std::string& name);
  QWidget* BuildSplitGroups();

  const LoadDialogProfile& profile_;
};

}  // namespace buffer
