#pragma once
// TFillDataDialog: the modal "Fill Data" dialog. It asks for a byte range (offered twice,
// as byte and word addresses kept in step) and a kind of fill, or the user's own byte, and
// hands them back through [FillDataDlg] of the settings file.
#include <memory>

#include "buffer/SettingsDialog.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/EditProfile.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace buffer {

class RangeEdits;
class TRadioGroup;
class TwinAddressEdits;

class TFillDataDialog : public SettingsDialog {
  Q_OBJECT

 public:
  explicit TFillDataDialog(const EditProfile& profile = ConsoleProfile(),
                           QWidget* parent = nullptr);
  ~TFillDataDialog() override;

  void UserCheckBoxClick();
  void MaxRangeBtnClick();
  void FileRangeBtnClick();
  void FillICSizeBBClick();
  void FillBtnClick();
  void CancelBtnClick();

  const BufferInfo& Info() const { return info_; }

  QLineEdit* SAddEdit8;
  QLineEdit* EAddEdit8;
  QLineEdit* SAddEdit16;
  QLineEdit* EAddEdit16;
  QPushButton* MaxRangeBtn;
  QPushButton* FileRangeBtn;
  QPushButton* FillICSizeBB;
  TRadioGroup* FillDataGroup;
  QCheckBox* UserCheckBox;
  QLineEdit* UserDefineEdit;
  QPushButton* FillBtn;
  QPushButton* CancelBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  void FormCreate();

  const EditProfile& profile_;
  TwinAddressEdits* twins_;
  std::unique_ptr<RangeEdits> range_;
  BufferInfo info_;
};

}  // namespace buffer
