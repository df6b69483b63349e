#include "buffer/FillDataDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "buffer/DialogWidgets.h"
#include "buffer/HexEntry.h"
#include "buffer/LoadDialog.h"
#include "buffer/RadioGroup.h"
#include "buffer/RangeEdits.h"
#include "buffer/core/FillData.h"
#include "buffer/core/HexText.h"
#include "platform/winapi/IniFile.h"

namespace buffer {

TFillDataDialog::TFillDataDialog(const EditProfile& profile, QWidget* parent)
    : SettingsDialog(kFillDataSection, parent), profile_(profile) {
  setObjectName("FillDataDialog");
  setWindowTitle("Fill Data");
  setToolTip("Max Range .");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  BuildLayout();
  FormCreate();
}

TFillDataDialog::~TFillDataDialog() = default;

void TFillDataDialog::BuildLayout() {
  SAddEdit8 = MakeEdit("SAddEdit8");
  EAddEdit8 = MakeEdit("EAddEdit8");
  SAddEdit16 = MakeEdit("SAddEdit16");
  EAddEdit16 = MakeEdit("EAddEdit16");
  // The twins stand for the edits' own handlers: SAddEdit8Change, SAddEdit8Enter,
  // SAddEdit8Exit, SAddEdit16Change, SAddEdit16Enter, SAddEdit16Exit, EAddEdit8Change,
  // EAddEdit8Enter, EAddEdit8Exit, EAddEdit16Change, EAddEdit16Enter, EAddEdit16Exit and
  // SAddEdit8KeyPress.
  twins_ = new TwinAddressEdits(this, profile_.hexKeyRule);
  twins_->AddPair(SAddEdit8, SAddEdit16);
  twins_->AddPair(EAddEdit8, EAddEdit16);
  range_ = std::make_unique<RangeEdits>(twins_, SAddEdit8, EAddEdit8, SAddEdit16, EAddEdit16);

  auto* addresses = new QGroupBox;
  auto* grid = new QGridLayout(addresses);
  grid->addWidget(new QLabel("8 Bit"), 0, 1);
  grid->addWidget(new QLabel("16 Bit"), 0, 2);
  grid->addWidget(new QLabel("Start Address :"), 1, 0);
  grid->addWidget(SAddEdit8, 1, 1);
  grid->addWidget(SAddEdit16, 1, 2);
  grid->addWidget(new QLabel("End Address :"), 2, 0);
  grid->addWidget(EAddEdit8, 2, 1);
  grid->addWidget(EAddEdit16, 2, 2);

  const bool hints = profile_.fillRangeButtonHints;
  MaxRangeBtn = MakeButton("MaxRangeBtn", "Max", hints ? "Fill Max Range." : "");
  FileRangeBtn = MakeButton("FileRangeBtn", "File", hints ? "Fill File Range." : "");
  FillICSizeBB = MakeButton("FillICSizeBB", "IC", "Fill File Range");
  LayOutIcButton(FillICSizeBB, profile_);
  auto* ranges = new QHBoxLayout;
  for (QPushButton* button : {MaxRangeBtn, FileRangeBtn, FillICSizeBB}) ranges->addWidget(button);
  ranges->addStretch();

  // Parented by the layout like every other control, so that it takes its place in the tab
  // order there: after the range buttons, not before the address edits.
  FillDataGroup = new TRadioGroup(
      "Fill Data Select",
      {"All Bit 1", "All Bit 0", "Random Data", "Sequential Byte", "Sequential Word"}, nullptr, 2);
  FillDataGroup->setObjectName("FillDataGroup");
  UserCheckBox = new QCheckBox("User define :");
  UserCheckBox->setObjectName("UserCheckBox");
  UserDefineEdit = MakeEdit("UserDefineEdit");
  // The hex edit's own rules stand for UserDefineEditChange and its SAddEdit8KeyPress.
  MakeHexEdit(UserDefineEdit, kByteDigits, profile_.hexKeyRule);
  auto* user = new QHBoxLayout;
  user->addWidget(UserCheckBox);
  user->addWidget(UserDefineEdit);
  user->addStretch();

  FillBtn = MakeButton("FillBtn", "Fill", "Fill ");
  CancelBtn = MakeButton("CancelBtn", "Cancel", "Cancel And Return.");
  auto* answers = new QHBoxLayout;
  answers->addStretch();
  answers->addWidget(FillBtn);
  answers->addWidget(CancelBtn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(addresses);
  layout->addLayout(ranges);
  layout->addWidget(FillDataGroup);
  layout->addLayout(user);
  layout->addLayout(answers);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(MaxRangeBtn, &QPushButton::clicked, this, &TFillDataDialog::MaxRangeBtnClick);
  connect(FileRangeBtn, &QPushButton::clicked, this, &TFillDataDialog::FileRangeBtnClick);
  connect(FillICSizeBB, &QPushButton::clicked, this, &TFillDataDialog::FillICSizeBBClick);
  // Checked from code as well as by the user, as the dialog's creation relies on.
  connect(UserCheckBox, &QCheckBox::toggled, this, &TFillDataDialog::UserCheckBoxClick);
  connect(FillBtn, &QPushButton::clicked, this, &TFillDataDialog::FillBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TFillDataDialog::CancelBtnClick);
}

void TFillDataDialog::FormCreate() {
  TIniFile ini(SettingsPath());
  const std::int32_t start = ini.ReadInteger(kFillDataSection, "StartAdd", 0);
  const std::int32_t end = ini.ReadInteger(kFillDataSection, "EndAdd", 0);
  twins_->SetPairAddress(0, start);
  twins_->SetPairAddress(1, end);
  FillDataGroup->SetItemIndex(ini.ReadInteger(kFillDataSection, "Select", 0));
  UserDefineEdit->setText(QString::fromLatin1(
      FormatHex(static_cast<std::uint32_t>(ini.ReadInteger(kFillDataSection, "UserData", 255)), 2)
          .c_str()));
  const bool userCheck = ini.ReadInteger(kFillDataSection, "UserCheck", 0) == 1;
  UserCheckBox->setChecked(userCheck);
  UserCheckBoxClick();
  info_ = ReadBufferInfo();
}

void TFillDataDialog::showEvent(QShowEvent* event) {
  SettingsDialog::showEvent(event);
  // The console's dialog always opens on the whole buffer.
  if (!event->spontaneous() && profile_.rangeDialogsOpenOnWholeBuffer) MaxRangeBtnClick();
}

void TFillDataDialog::UserCheckBoxClick() {
  const bool checked = UserCheckBox->isChecked();
  UserDefineEdit->setEnabled(checked);
  FillDataGroup->setEnabled(!checked);
}

void TFillDataDialog::MaxRangeBtnClick() { range_->Write(MaxRangeTexts(info_, kFillRangeLayout)); }

void TFillDataDialog::FileRangeBtnClick() {
  range_->Write(FileRangeTexts(info_, kFillRangeLayout));
}

void TFillDataDialog::FillICSizeBBClick() { range_->Write(IcRangeTexts(kFillRangeLayout)); }

void TFillDataDialog::FillBtnClick() {
  const auto range = CheckRange(range_->Texts(), info_.BufSize, kFillRangeLayout);
  if (!range) return;
  const auto userData =
      CheckHexBelow(UserDefineEdit->text().toLatin1().toStdString(), 256, true);
  if (!userData) return;
  TIniFile ini(SettingsPath());
  const char* section = kFillDataSection;
  const bool written = ini.WriteInteger(section, "StartAdd", range->start) &&
                       ini.WriteInteger(section, "EndAdd", range->end) &&
                       ini.WriteInteger(section, "UserCheck", UserCheckBox->isChecked() ? 1 : 0) &&
                       ini.WriteInteger(section, "Select", FillDataGroup->ItemIndex()) &&
                       ini.WriteInteger(section, "UserData", *userData);
  CloseConfirmed();
  // The buffer no longer holds just the file the status bar names; a fill that will not run
  // (its keys unwritten) leaves it so.
  if (profile_.fillForgetsLoadedFile && written) ReportLoadedFile("");
}

void TFillDataDialog::CancelBtnClick() { CloseRefused(); }

}  // namespace buffer
