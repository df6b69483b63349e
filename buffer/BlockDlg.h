#pragma once
// TBlockDialog: the modal "Block Dialog". It asks for a source range (byte and word
// addresses kept in step), a destination and an action (copy, move, mask) with its mask,
// and hands them back through [BlockDlg] of the settings file. Its resize panel resizes the
// attached Dump Edit's buffer at once and closes without an action.
#include <memory>

#include "buffer/SettingsDialog.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/EditProfile.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace buffer {

class RangeEdits;
class TMainEdit;
class TRadioGroup;
class TwinAddressEdits;

class TBlockDialog : public SettingsDialog {
  Q_OBJECT

 public:
  explicit TBlockDialog(const EditProfile& profile = ConsoleProfile(), QWidget* parent = nullptr);
  ~TBlockDialog() override;

  // The Dump Edit whose buffer Resizing resizes; not owned.
  void AttachEditor(TMainEdit* editor) { editor_ = editor; }

  void MaskDataEditChange();
  void ActionGroupClick();
  void BufferSizeTrackBarChange();
  void ResizeBtnClick();
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
  QLineEdit* DistSAdd8;
  QLineEdit* DistSAdd16;
  QLabel* DistSAddLabel;
  QLabel* DistSAdd16Label;
  QPushButton* FillMaxRange;
  QPushButton* FillFileRange;
  QPushButton* FillICSizeBB;
  TRadioGroup* ActionGroup;
  QLineEdit* MaskDataEdit;
  QPushButton* GetSumBtn;
  QPushButton* ExitBtn;
  QLabel* BufferSizeLabel;
  QSlider* BufferSizeTrackBar;
  QLabel* NewBufferSizeLabel;
  QPushButton* ResizeBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout(const EditProfile& profile);
  QLayout* BuildAddressPanel();
  QLayout* BuildResizePanel();
  void FormCreate();
  void ShowSizes();

  TwinAddressEdits* twins_;
  std::unique_ptr<RangeEdits> range_;
  BufferInfo info_;
  TMainEdit* editor_ = nullptr;
};

}  // namespace buffer
