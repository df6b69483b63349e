#pragma once
// TBlockDialog: the modal "Block Dialog". It asks for a source range (byte and word
// addresses kept in step), a destination and an action, and hands them back through
// [BlockDlg] of the settings file. The console's build copies, moves or masks (with its mask),
// and its resize panel resizes the attached Dump Edit's buffer to a track bar's size at once
// and closes without an action. The update tool's build copies, moves or swaps, and its resize
// panel opens a resize dialog of the program's own, after which the Block dialog stays open.
#include <functional>
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
  // The update tool's resize dialog for the editor, shown modally: true when it resized.
  using ResizeDialog = std::function<bool(TMainEdit& editor)>;
  void SetResizeDialog(ResizeDialog show) { resizeDialog_ = std::move(show); }

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
  // Not present in the update tool's build (nullptr).
  QLineEdit* MaskDataEdit = nullptr;
  QPushButton* GetSumBtn;
  QPushButton* ExitBtn;
  QLabel* BufferSizeLabel;
  // Not present in the update tool's build (nullptr).
  QSlider* BufferSizeTrackBar = nullptr;
  QLabel* NewBufferSizeLabel = nullptr;
  QPushButton* ResizeBtn;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool Swaps() const { return profile_.blockDialog == BlockDialogBuild::SwapAndResizeDialog; }
  void BuildLayout();
  QLayout* BuildAddressPanel();
  QLayout* BuildActionPanel();
  QLayout* BuildResizePanel();
  QLayout* BuildResizeDialogPanel();
  void FormCreate();
  void ShowSizes();
  void ResizeToTrackBar();
  void ResizeThroughDialog();

  const EditProfile& profile_;
  ResizeDialog resizeDialog_;
  TwinAddressEdits* twins_;
  std::unique_ptr<RangeEdits> range_;
  BufferInfo info_;
  TMainEdit* editor_ = nullptr;
};

}  // namespace buffer
