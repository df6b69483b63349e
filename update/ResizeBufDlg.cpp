#include "update/ResizeBufDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "buffer/DialogWidgets.h"
#include "buffer/DumpEdit.h"
#include "buffer/HexEntry.h"
#include "buffer/core/EditProfile.h"
#include "buffer/core/HexText.h"
#include "buffer/core/DialogSettings.h"
#include "platform/winapi/ApplicationErrors.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/qt/TitleWidth.h"
#include "update/Main.h"
#include "update/core/UpdateImage.h"

namespace update {

TResizeBufDialog::TResizeBufDialog(QWidget* parent) : SettingsDialog(kResizeSection, parent) {
  setObjectName("ResizeBufDialog");
  setWindowTitle("Buffer Resize.");
  // No border icons: the dialog ends by its buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  BufSizeEdit = buffer::MakeEdit("BufSizeEdit");
  // The hex edit's own rules stand for BufSizeEditChange and BufSizeEditKeyPress.
  buffer::MakeHexEdit(BufSizeEdit, buffer::kAddressDigits, buffer::UpdateToolProfile().hexKeyRule);
  Label3 = buffer::MakeLabel("Label3", "[ 10000H <--->FFFFFF]");
  OKBtn = buffer::MakeButton("OKBtn", "Resize", "Buffer Resize .");
  ExitBtn = buffer::MakeButton("ExitBtn", "Exit", "Exit");

  auto* size = new QHBoxLayout;
  size->addWidget(new QLabel("Buffer Size :"));
  size->addWidget(BufSizeEdit);
  size->addWidget(new QLabel("Bytes"));
  auto* answers = new QHBoxLayout;
  answers->addStretch();
  answers->addWidget(OKBtn);
  answers->addWidget(ExitBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(size);
  layout->addWidget(Label3, 0, Qt::AlignHCenter);
  layout->addLayout(answers);
  layout->addItem(new QSpacerItem(winapi::TitleBarWidth(*this), 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(OKBtn, &QPushButton::clicked, this, &TResizeBufDialog::OKBtnClick);
  connect(ExitBtn, &QPushButton::clicked, this, &TResizeBufDialog::ExitBtnClick);
  FormCreate();
}

void TResizeBufDialog::FormCreate() {
  info_ = buffer::ReadBufferInfo();
  // Six digits at most: a larger buffer shows the largest size the dialog takes, never its
  // first six digits (which would offer to cut it to a sixteenth).
  const std::int32_t shown = std::clamp(info_.BufSize, 0, kBufferSizeLimit - 1);
  BufSizeEdit->setText(QString::fromLatin1(buffer::FormatHex6(shown).c_str()));
}

void TResizeBufDialog::OKBtnClick() {
  const std::string text = BufSizeEdit->text().toLatin1().toStdString();
  if (!buffer::CheckHexBelow(text, kBufferSizeLimit, true)) return;
  const auto size = buffer::ParseHexAtLeast(text, kSmallestBufferSize, true);
  if (!size) return;
  // The resize waits for its confirmation to be stored: one that cannot be written changes
  // nothing, and the check after the dialog says why.
  if (!buffer::WriteDialogOk(Section(), true)) {
    reject();
    return;
  }
  // A failed resize has shown its own box; the buffer keeps its size, which [BufInf] says.
  if (editor_) {
    editor_->ResizeBuffer(static_cast<std::uint32_t>(*size));
    // The frame's labels must not go on showing an image that Update now refuses.
    if (WithdrawCutImage(editor_->Core()) && MainForm) MainForm->ShowFileLabels(kNoImageLabels);
    editor_->WriteBufferInfo();
  }
  accept();
}

void TResizeBufDialog::ExitBtnClick() { CloseRefused(); }

bool ShowResizeDialog(buffer::TMainEdit& editor) {
  try {
    const IniWriteWatch writes(buffer::SettingsPath());
    {
      TResizeBufDialog dialog;
      // Without its opening OK = "0" the dialog could not be refused.
      if (!buffer::SettingsWritten(writes)) return false;
      dialog.AttachEditor(&editor);
      dialog.exec();
    }
    return buffer::SettingsWritten(writes) && buffer::ReadDialogOk(kResizeSection) != 0;
  } catch (const std::exception& error) {
    winapi::ShowApplicationException(error.what(), kApplicationTitle);
    return false;
  }
}

}  // namespace update
