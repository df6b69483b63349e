#pragma once
// TResizeBufDialog: the update tool's "Buffer Resize." dialog, opened from the Block dialog's
// resize panel. The new size is typed in hex; an accepted size resizes the attached Dump
// Edit's buffer and [BufInf] before the dialog closes, and [ResizeDlg] OK tells the Block
// dialog to show it.
#include <cstdint>

#include "buffer/SettingsDialog.h"
#include "buffer/core/DialogSettings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace buffer {
class TMainEdit;
}

namespace update {

inline constexpr const char* kResizeSection = "ResizeDlg";
// The sizes the dialog takes, as its range label shows them: 10000H to FFFFFF.
inline constexpr std::int32_t kSmallestBufferSize = 0x10000;
inline constexpr std::int32_t kBufferSizeLimit = 0x1000000;

class TResizeBufDialog : public buffer::SettingsDialog {
  Q_OBJECT

 public:
  explicit TResizeBufDialog(QWidget* parent = nullptr);

  // The Dump Edit whose buffer is resized; not owned.
  void AttachEditor(buffer::TMainEdit* editor) { editor_ = editor; }

  void OKBtnClick();
  void ExitBtnClick();

  const buffer::BufferInfo& Info() const { return info_; }

  QLineEdit* BufSizeEdit;
  QLabel* Label3;
  QPushButton* OKBtn;
  QPushButton* ExitBtn;

 private:
  void FormCreate();

  buffer::BufferInfo info_;
  buffer::TMainEdit* editor_ = nullptr;
};

// The Block dialog's resize: the dialog for the editor, shown modally and freed; true when
// it resized. An exception on the way is shown as the program shows any other.
bool ShowResizeDialog(buffer::TMainEdit& editor);

}  // namespace update
