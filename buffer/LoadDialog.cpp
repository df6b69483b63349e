#include "buffer/LoadDialog.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "buffer/FileDialogParts.h"
#include "buffer/HexEntry.h"
#include "buffer/core/FileChecks.h"
#include "buffer/core/LoadDialogRules.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/qt/FileNames.h"
#include "platform/winapi/qt/SelectOnFocus.h"

namespace buffer {
namespace {

std::function<void(const std::string&)>& LoadedFileReporter() {
  static std::function<void(const std::string&)> reporter;
  return reporter;
}

QStringList FormatItems(const LoadDialogProfile& profile) {
  QStringList items;
  for (const char* item : profile.formatItems) items << QString::fromLatin1(item);
  return items;
}

std::string TextOf(const QLineEdit* edit) { return edit->text().toLatin1().toStdString(); }

}  // namespace

void SetLoadedFileReporter(std::function<void(const std::string& name)> reporter) {
  LoadedFileReporter() = std::move(reporter);
}

void ReportLoadedFile(const std::string& name) {
  if (LoadedFileReporter()) LoadedFileReporter()(name);
}

TLoadDlg::TLoadDlg(const LoadDialogProfile& profile, QWidget* parent)
    : SettingsDialog(kLoadDlgSection, parent), profile_(profile) {
  setObjectName("LoadDlg");
  setWindowTitle("Load File");
  setToolTip("Load File.");
  BuildLayout();
  FormCreate();
}

void TLoadDlg::BuildLayout() {
  NameEdit = MakeNameEdit(this, kLoadHistorySection, kLoadHistoryLength);
  BitBtn1 = MakeDialogButton(this, "BitBtn1", "Browse", "Browse File.");

  FormatGroup = new TRadioGroup("Format", FormatItems(profile_), this);
  FormatGroup->setObjectName("FormatGroup");
  FormatGroup->setToolTip("Select Format.");
  FormatGroup->SetItemIndex(profile_.designFormat);

  // The hex edits' own rules stand for SourceSAddChange, SourceEAddChange and
  // DistSAddChange, and their key filter (also UserFill's) for SourceSAddKeyPress.
  const HexKeyRule rule = profile_.keyRule;
  auto* source = new QGroupBox(profile_.sourceTitle, this);
  source->setObjectName("Panel1");
  source->setToolTip("Source Range.");
  SourceSAdd = MakeAddressEdit(source, "SourceSAdd", "Source Start Address.",
                               profile_.sourceDigits, rule);
  SourceEAdd = MakeAddressEdit(source, "SourceEAdd", "Source End Address.",
                               profile_.sourceDigits, rule);
  auto* sourceForm = new QFormLayout(source);
  sourceForm->addRow("Start Address :", SourceSAdd);
  sourceForm->addRow("End Address :", SourceEAdd);

  auto* destination = new QGroupBox(profile_.destinationTitle, this);
  destination->setObjectName("Panel2");
  if (profile_.destinationHint) destination->setToolTip(profile_.destinationHint);
  DistSAdd = MakeAddressEdit(destination, "DistSAdd", "Distination Start Address .",
                             kAddressDigits, rule);
  UnuserFillCheck = new QCheckBox(profile_.fillCheckCaption, destination);
  UnuserFillCheck->setObjectName("UnuserFillCheck");
  UnuserFillCheck->setChecked(true);
  UserFill = new QLineEdit(destination);
  UserFill->setObjectName("UserFill");
  UserFill->setToolTip("Unuser Fill.");
  UserFill->setMaximumWidth(UserFill->fontMetrics().horizontalAdvance("WWWW"));
  InstallHexKeyFilter(UserFill, rule);
  winapi::SelectAllOnFocus(UserFill);
  auto* destinationForm = new QFormLayout(destination);
  destinationForm->addRow("Start Address :", DistSAdd);
  if (profile_.fillLabel) {
    destinationForm->addRow(UnuserFillCheck);
    destinationForm->addRow(profile_.fillLabel, UserFill);
  } else {
    destinationForm->addRow(UnuserFillCheck, UserFill);
  }
  if (!profile_.choicesEnabled) {
    for (QWidget* choice : {static_cast<QWidget*>(FormatGroup), static_cast<QWidget*>(source),
                            static_cast<QWidget*>(destination)})
      choice->setEnabled(false);
  }

  BitBtn2 = MakeDialogButton(this, "BitBtn2", "Load", "Load File.");
  BitBtn2->setDefault(true);
  BitBtn3 = MakeDialogButton(this, "BitBtn3", "Cancel", "Cancel");

  auto* middle = new QVBoxLayout;
  middle->addWidget(source);
  middle->addWidget(destination);
  if (profile_.splitGroups) middle->addWidget(BuildSplitGroups());
  middle->addStretch(1);
  LayOutFileDialog(this, NameEdit, BitBtn1, FormatGroup, middle, BitBtn2, BitBtn3);

  connect(BitBtn1, &QPushButton::clicked, this, &TLoadDlg::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TLoadDlg::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TLoadDlg::BitBtn3Click);
  connect(NameEdit, &QComboBox::editTextChanged, this, &TLoadDlg::NameEditChange);
  connect(UserFill, &QLineEdit::textChanged, this, &TLoadDlg::UserFillChange);
  connect(FormatGroup, &TRadioGroup::Click, this, &TLoadDlg::FormatGroupClick);
  connect(UnuserFillCheck, &QCheckBox::toggled, this, &TLoadDlg::UnuserFillCheckClick);
}

QWidget* TLoadDlg::BuildSplitGroups() {
  EvenOddRadioGroup = new TRadioGroup("Even / Odd", {"Normal", "Even", "Odd"}, this);
  EvenOddRadioGroup->setObjectName("EvenOddRadioGroup");
  EvenOddRadioGroup->SetItemIndex(0);
  ByteWordRadioGroup = new TRadioGroup("Byte / Word", {"Byte", "Word"}, this);
  ByteWordRadioGroup->setObjectName("ByteWordRadioGroup");
  ByteWordRadioGroup->SetItemIndex(0);
  ByteWordRadioGroup->setEnabled(false);
  connect(EvenOddRadioGroup, &TRadioGroup::Click, this, &TLoadDlg::EvenOddRadioGroupClick);
  auto* split = new QWidget(this);
  auto* row = new QHBoxLayout(split);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(EvenOddRadioGroup);
  row->addWidget(ByteWordRadioGroup);
  return split;
}

void TLoadDlg::FormCreate() {
  NameEdit->ReadIniFile();
  LoadDialogSeed seed = ReadLoadDialogSeed();
  if (CheckFileExists(seed.Name, false)) {
    NameEdit->SetText(seed.Name);
    ShowSourceRange(seed.Name);
  } else {
    NameEdit->SetText(kNoFileName);
    SourceSAdd->setText("000000");
    SourceEAdd->setText("000000");
  }
  DistSAdd->setText("000000");
  FormatGroup->SetItemIndex(seed.Format);
  UserFill->setText(QString::fromStdString(FormatHex(static_cast<uint32_t>(seed.UserFill), 2)));
  UnuserFillCheck->setChecked(seed.UnuserFillCheck);
  if (!profile_.consoleRules) return;  // the stored format stays chosen
  FormatGroup->SetItemIndex(kFormatAutoDetect);
  DistSAdd->setEnabled(false);
}

// The range shown is that of the file the load will read: the name as it will be stored.
void TLoadDlg::ShowSourceRange(const std::string& name) {
  ShowFileRange(winapi::StoredName(name), SourceSAdd, SourceEAdd, profile_.sourceDigits);
}

void TLoadDlg::NameEditChange() { ShowSourceRange(NameEdit->Text()); }

void TLoadDlg::UserFillChange() {
  if (!profile_.consoleRules || FormatGroup->ItemIndex() != kFormatJedec) {
    TruncateEditText(UserFill, kByteDigits);
    FilterHexEdit(UserFill);
    return;
  }
  TruncateEditText(UserFill, 1);
  QString fuse = QString::fromStdString(JedecFillText(TextOf(UserFill)));
  if (UserFill->text() != fuse) UserFill->setText(fuse);
}

void TLoadDlg::FormatGroupClick(int index) {
  FormatControls controls = ControlsForFormat(index);
  SourceSAdd->setEnabled(controls.sourceRangeEnabled);
  SourceEAdd->setEnabled(controls.sourceRangeEnabled);
  if (!profile_.consoleRules) return;
  EvenOddRadioGroup->setEnabled(controls.evenOddEnabled);
  if (controls.fillSwitchedOn) {
    UnuserFillCheck->setChecked(true);
    UserFill->setEnabled(true);
  }
  DistSAdd->setEnabled(controls.destinationEnabled);
  UserFill->setText(controls.userFill);
  EvenOddRadioGroupClick();
  SetLastLoadFormat(index);
}

void TLoadDlg::UnuserFillCheckClick() {
  if (profile_.consoleRules) UserFill->setEnabled(UnuserFillCheck->isChecked());
}

void TLoadDlg::EvenOddRadioGroupClick() {
  ByteWordRadioGroup->setEnabled(
      ByteWordEnabled(EvenOddRadioGroup->isEnabled(), EvenOddRadioGroup->ItemIndex()));
}

std::unique_ptr<QFileDialog> TLoadDlg::BrowseFile(QWidget* parent,
                                                  const LoadDialogProfile& profile) {
  return MakeBrowseDialog(parent, profile.fileFilter, QFileDialog::ExistingFile);
}

void TLoadDlg::BitBtn1Click() {
  std::unique_ptr<QFileDialog> browse = BrowseFile(this, profile_);
  if (browse->exec() != QDialog::Accepted || browse->selectedFiles().isEmpty()) return;
  std::string name = winapi::NameBytes(browse->selectedFiles().front());
  NameEdit->SetText(name);
  ShowSourceRange(name);
}

void TLoadDlg::BitBtn2Click() {
  LoadDialogEntries entries{TakeStoredName(*NameEdit),
                            TextOf(SourceSAdd),
                            TextOf(SourceEAdd),
                            TextOf(DistSAdd),
                            TextOf(UserFill),
                            FormatGroup->ItemIndex(),
                            EvenOddRadioGroup ? EvenOddRadioGroup->ItemIndex() : 0,
                            ByteWordRadioGroup ? ByteWordRadioGroup->ItemIndex() : 0,
                            UnuserFillCheck->isChecked()};
  std::optional<LoadDialogKeys> keys = CheckLoadEntries(entries);
  if (!keys) return;
  // A load that will not run (its keys unwritten) names no file in the status bar or the
  // history. A history that cannot be stored (the program's folder may be read-only) is no
  // reason to refuse the load.
  const bool loads = WriteLoadDialogKeys(*keys, profile_.splitGroups);
  if (loads) NameEdit->WriteIniFile();
  if (profile_.consoleRules) {
    SetLastLoadFormat(FormatGroup->ItemIndex());
    if (loads) ReportLoadedFile(NameEdit->Text());
  }
  accept();
}

void TLoadDlg::BitBtn3Click() { CloseRefused(); }

}  // namespace buffer
