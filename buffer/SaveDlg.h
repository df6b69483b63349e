#pragma once
// TLoadSaveDlg: the modal "Save File" dialog. It asks for the file name (with the history of
// saved names), the format and the byte range to save, checks them, and hands them back
// through [SaveDlg] of the settings file; the formats and their limits are in
// buffer/formats/SaveDispatch.h.
#include <memory>

#include "buffer/SettingsDialog.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/HexText.h"

class QFileDialog;
class QLineEdit;
class QPushButton;

namespace buffer {

class RangeEdits;
class THistoryComboBox;
class TRadioGroup;

inline constexpr const char* kSaveHistorySection = "BinSaveFileHistory";
inline constexpr int kSaveHistoryLength = 10;

class TLoadSaveDlg : public SettingsDialog {
  Q_OBJECT

 public:
  // `rule`: what the address edits' key filter does with backspace.
  explicit TLoadSaveDlg(HexKeyRule rule = HexKeyRule::KeepBackspace, QWidget* parent = nullptr);
  ~TLoadSaveDlg() override;

  // The file dialog Browse opens, set up with the dialog's filter and options.
  static std::unique_ptr<QFileDialog> BrowseFile(QWidget* parent);

  void BitBtn1Click();
  void FillMaxBtnClick();
  void FillFileBtnClick();
  void BitBtn2Click();
  void BitBtn3Click();

  const BufferInfo& Info() const { return info_; }

  THistoryComboBox* NameEdit;
  QPushButton* BitBtn1;  // Browse
  TRadioGroup* FormatGroup;
  QLineEdit* SourceSAdd;
  QLineEdit* SourceEAdd;
  QPushButton* FillFileBtn;
  QPushButton* FillMaxBtn;
  QPushButton* BitBtn2;  // Save
  QPushButton* BitBtn3;  // Cancel

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout(HexKeyRule rule);
  void FormCreate();
  void FormShow();

  std::unique_ptr<RangeEdits> range_;
  BufferInfo info_;
};

}  // namespace buffer
