#pragma once
// TGetSumDialog: the modal "Get Check Sum" dialog. It asks for the byte range whose sum the
// Dump Edit reports, offered twice (byte and word addresses, kept in step while the user
// types), with buttons for the whole buffer, the loaded file and the selected IC, and hands
// the byte range back through [GetSumDlg] of the settings file.
#include <memory>

#include "buffer/SettingsDialog.h"
#include "buffer/core/Checksum.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/EditProfile.h"

class QLineEdit;
class QPushButton;

namespace buffer {

class RangeEdits;
class TwinAddressEdits;

class TGetSumDialog : public SettingsDialog {
  Q_OBJECT

 public:
  explicit TGetSumDialog(const EditProfile& profile = ConsoleProfile(), QWidget* parent = nullptr);
  ~TGetSumDialog() override;

  void FillMaxRangeClick();
  void FillFileRangeClick();
  void FillICSizeBBClick();
  void GetSumBtnClick();
  void ExitBtnClick();

  const BufferInfo& Info() const { return info_; }
  TwinAddressEdits& Twins() const { return *twins_; }

  QLineEdit* StardAddEdit;
  QLineEdit* EndAddEdit;
  QLineEdit* StartAddEdit16;
  QLineEdit* EndStartAdd16;
  QPushButton* FillMaxRange;
  QPushButton* FillFileRange;
  QPushButton* FillICSizeBB;
  QPushButton* GetSumBtn;
  QPushButton* ExitBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout(const EditProfile& profile);
  void FormCreate();
  void FormShow();

  TwinAddressEdits* twins_;
  std::unique_ptr<RangeEdits> range_;
  BufferInfo info_;
};

}  // namespace buffer
