#include "buffer/SaveDlg.h"

// Before the range rules: its FileRangeTexts type shares a name with their File button.
#include "buffer/core/FileChecks.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "buffer/FileDialogParts.h"
#include "buffer/Hstcbo.h"
#include "buffer/RadioGroup.h"
#include "buffer/RangeEdits.h"
#include "buffer/core/HexText.h"
#include "buffer/formats/SaveDispatch.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/MessageBox.h"
#include "platform/winapi/qt/FileNames.h"

namespace buffer {
namespace {

// Save has no word twins; Max and File write the end, then the start, and File starts at 0.
inline constexpr RangeDialogLayout kSaveRangeLayout{
    .wordTwins = false,
    .buttonOrder = {RangeEdit::ByteEnd, RangeEdit::WordEnd, RangeEdit::WordStart,
                    RangeEdit::ByteStart},
    .fileOrder = {RangeEdit::ByteEnd, RangeEdit::WordEnd, RangeEdit::ByteStart,
                  RangeEdit::WordStart},
    .fileStartsAtZero = true,
};

constexpr const char* kSaveFileFilter =
    "All File (*.*)|*.*|Binary (*.bin)|*.bin|Hex (*.hex)|*.hex|MS-DOS fn.com|*.com|"
    "MS-DOS fn.exe|*.exe|POF|*.pof";

constexpr Message kOverwriteQuestion{"File is Exist ! Are sure to save ?", "Save File",
                                     winapi::MB_OKCANCEL};

QStringList FormatItems() {
  QStringList items;
  for (const formats::SaveFormatRow& row : formats::SaveFormats())
    items << QString::fromLatin1(row.item);
  return items;
}

}  // namespace

TLoadSaveDlg::TLoadSaveDlg(HexKeyRule rule, QWidget* parent)
    : SettingsDialog(formats::kSaveDlgSection, parent) {
  setObjectName("LoadSaveDlg");
  setWindowTitle("Save File");
  BuildLayout(rule);
  FormCreate();
}

TLoadSaveDlg::~TLoadSaveDlg() = default;

void TLoadSaveDlg::BuildLayout(HexKeyRule rule) {
  NameEdit = MakeNameEdit(this, kSaveHistorySection, kSaveHistoryLength);
  BitBtn1 = MakeDialogButton(this, "BitBtn1", "Browse", "Browse File.");

  FormatGroup = new TRadioGroup("Format", FormatItems(), this);
  FormatGroup->setObjectName("FormatGroup");
  FormatGroup->setToolTip("Select Format.");

  auto* source = new QGroupBox("Save Range  :", this);
  source->setToolTip("Source Range.");
  // The hex edits' own rules stand for SourceSAddChange, SourceEAddChange and
  // SourceSAddKeyPress.
  SourceSAdd =
      MakeAddressEdit(source, "SourceSAdd", "Source Start Address.", kAddressDigits, rule);
  SourceEAdd = MakeAddressEdit(source, "SourceEAdd", "Source End Address.", kAddressDigits, rule);
  range_ = std::make_unique<RangeEdits>(nullptr, SourceSAdd, SourceEAdd);
  FillFileBtn = MakeDialogButton(source, "FillFileBtn", "File", "Fill File Range.");
  FillMaxBtn = MakeDialogButton(source, "FillMaxBtn", "Max", "Fill Max Range..");
  auto* sourceForm = new QFormLayout;
  sourceForm->addRow("Start Address :", SourceSAdd);
  sourceForm->addRow("End Address :", SourceEAdd);
  auto* rangeButtons = new QHBoxLayout;
  rangeButtons->addWidget(FillFileBtn);
  rangeButtons->addWidget(FillMaxBtn);
  auto* sourceLayout = new QVBoxLayout(source);
  sourceLayout->addLayout(sourceForm);
  sourceLayout->addLayout(rangeButtons);

  BitBtn2 = MakeDialogButton(this, "BitBtn2", "Save", "Save File.");
  BitBtn2->setDefault(true);
  BitBtn3 = MakeDialogButton(this, "BitBtn3", "Cancel", "Cancel");

  auto* middle = new QVBoxLayout;
  middle->addWidget(source);
  middle->addStretch(1);
  LayOutFileDialog(this, NameEdit, BitBtn1, FormatGroup, middle, BitBtn2, BitBtn3);

  connect(BitBtn1, &QPushButton::clicked, this, &TLoadSaveDlg::BitBtn1Click);
  connect(FillFileBtn, &QPushButton::clicked, this, &TLoadSaveDlg::FillFileBtnClick);
  connect(FillMaxBtn, &QPushButton::clicked, this, &TLoadSaveDlg::FillMaxBtnClick);
  connect(BitBtn2, &QPushButton::clicked, this, &TLoadSaveDlg::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TLoadSaveDlg::BitBtn3Click);
}

void TLoadSaveDlg::FormCreate() {
  NameEdit->ReadIniFile();
  // The last loaded file is proposed, whether or not it still exists.
  NameEdit->SetText(TIniFile(SettingsPath()).ReadString("LoadDlg", "Name", "None"));
  SourceSAdd->setText("000000");
  SourceEAdd->setText("000000");
  FormatGroup->SetItemIndex(
      TIniFile(SettingsPath()).ReadInteger(formats::kSaveDlgSection, "Format", 0));
  info_ = ReadBufferInfo();
}

void TLoadSaveDlg::showEvent(QShowEvent* event) {
  SettingsDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// The dialog opens on the whole buffer.
void TLoadSaveDlg::FormShow() { FillMaxBtnClick(); }

void TLoadSaveDlg::FillMaxBtnClick() { range_->Write(MaxRangeTexts(info_, kSaveRangeLayout)); }

void TLoadSaveDlg::FillFileBtnClick() { range_->Write(FileRangeTexts(info_, kSaveRangeLayout)); }

std::unique_ptr<QFileDialog> TLoadSaveDlg::BrowseFile(QWidget* parent) {
  // A new name may be typed in an existing folder; the Save button asks before replacing.
  auto dialog = MakeBrowseDialog(parent, kSaveFileFilter, QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  return dialog;
}

void TLoadSaveDlg::BitBtn1Click() {
  std::unique_ptr<QFileDialog> browse = BrowseFile(this);
  if (browse->exec() != QDialog::Accepted || browse->selectedFiles().isEmpty()) return;
  const QFileInfo picked(browse->selectedFiles().front());
  // No read-only file is taken as a target.
  if (picked.exists() && !picked.isWritable()) return;
  NameEdit->SetText(winapi::NameBytes(picked.absoluteFilePath()));
}

void TLoadSaveDlg::BitBtn2Click() {
  const std::string name = TakeStoredName(*NameEdit);
  if (CheckFileExists(name, false) && ShowMessage(kOverwriteQuestion) != winapi::IDOK) return;
  const auto range = CheckRange(range_->Texts(), info_.BufSize, kSaveRangeLayout);
  if (!range) return;
  const int32_t format = FormatGroup->ItemIndex();
  if (!formats::CheckSaveSize(format, range->start, range->end)) return;
  TIniFile ini(SettingsPath());
  const bool written = ini.WriteInteger(formats::kSaveDlgSection, "SourceSAdd", range->start) &&
                       ini.WriteInteger(formats::kSaveDlgSection, "SourceEAdd", range->end) &&
                       ini.WriteInteger(formats::kSaveDlgSection, "Format", format) &&
                       ini.WriteString(formats::kSaveDlgSection, "Name", name);
  // A history that cannot be stored (the program's folder may be read-only) is no reason
  // to refuse the save; a save that will not run (its keys unwritten) adds no name to it.
  if (written) NameEdit->WriteIniFile();
  CloseConfirmed();
}

void TLoadSaveDlg::BitBtn3Click() { CloseRefused(); }

}  // namespace buffer
