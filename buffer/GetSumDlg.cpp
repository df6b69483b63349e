#include "buffer/GetSumDlg.h"

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
#include "buffer/RangeEdits.h"
#include "buffer/core/HexText.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
TGetSumDialog::TGetSumDialog(const EditProfile& profile, QWidget* parent)
    : SettingsDialog(kGetSumSection, parent) {
  setObjectName("GetSumDialog");
  setWindowTitle("Get Check Sum");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  BuildLayout(profile);
  FormCreate();
}

TGetSumDialog::~TGetSumDialog() = default;

void TGetSumDialog::BuildLayout(const EditProfile& profile) {
  StardAddEdit = MakeEdit("StardAddEdit", "Enter Start Address..");
  EndAddEdit = MakeEdit("EndAddEdit", "Enter End Address..");
  StartAddEdit16 = MakeEdit("StartAddEdit16", "");
  EndStartAdd16 = MakeEdit("EndStartAdd16", "");
  // The twins stand for the edits' own handlers: StardAddEditChange, StardAddEditEnter,
  // StardAddEditExit, EndAddEditChange, EndAddEditEnter, EndAddEditExit,
  // StartAddEdit16Change, StartAddEdit16Enter, StartAddEdit16Exit, EndStartAdd16Change,
  // EndStartAdd16Enter, EndStartAdd16Exit and StardAddEditKeyPress.
  twins_ = new TwinAddressEdits(this, profile.hexKeyRule);
  twins_->AddPair(StardAddEdit, StartAddEdit16);
  twins_->AddPair(EndAddEdit, EndStartAdd16);
  range_ = std::make_unique<RangeEdits>(twins_, StardAddEdit, EndAddEdit, StartAddEdit16,
                                        EndStartAdd16);

  auto* panel = new QGroupBox;
  auto* grid = new QGridLayout(panel);
  grid->addWidget(new QLabel("Start Address :"), 0, 1);
  grid->addWidget(new QLabel("End Address :"), 0, 2);
  grid->addWidget(new QLabel("8 Bit :"), 1, 0);
  grid->addWidget(StardAddEdit, 1, 1);
  grid->addWidget(EndAddEdit, 1, 2);
  grid->addWidget(new QLabel("16 Bit :"), 2, 0);
  grid->addWidget(StartAddEdit16, 2, 1);
  grid->addWidget(EndStartAdd16, 2, 2);

  FillMaxRange = MakeButton("FillMaxRange", "Max", "Fill Max Range.");
  FillFileRange = MakeButton("FillFileRange", "File ", "Fill File Range");
  FillICSizeBB = MakeButton("FillICSizeBB", "IC", "Fill File Range");
  LayOutIcButton(FillICSizeBB, profile);
  auto* ranges = new QHBoxLayout;
  ranges->addWidget(new QLabel("Range :"));
  for (QPushButton* button : {FillMaxRange, FillFileRange, FillICSizeBB}) ranges->addWidget(button);
  ranges->addStretch();

  GetSumBtn = MakeButton("GetSumBtn", "Get", "Get Check Sum Now !");
  ExitBtn = MakeButton("ExitBtn", "Exit", "Exit !");
  auto* answers = new QHBoxLayout;
  answers->addStretch();
  answers->addWidget(GetSumBtn);
  answers->addWidget(ExitBtn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addLayout(ranges);
  layout->addLayout(answers);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(FillMaxRange, &QPushButton::clicked, this, &TGetSumDialog::FillMaxRangeClick);
  connect(FillFileRange, &QPushButton::clicked, this, &TGetSumDialog::FillFileRangeClick);
  connect(FillICSizeBB, &QPushButton::clicked, this, &TGetSumDialog::FillICSizeBBClick);
  connect(GetSumBtn, &QPushButton::clicked, this, &TGetSumDialog::GetSumBtnClick);
  connect(ExitBtn, &QPushButton::clicked, this, &TGetSumDialog::ExitBtnClick);
}

void TGetSumDialog::FormCreate() {
  TIniFile ini(SettingsPath());
  const std::int32_t start = ini.ReadInteger(kGetSumSection, "StartAdd", 0);
  const std::int32_t end = ini.ReadInteger(kGetSumSection, "EndAdd", 0);
  twins_->SetPairAddress(0, start);
  twins_->SetPairAddress(1, end);
  info_ = ReadBufferInfo();
}

void TGetSumDialog::showEvent(QShowEvent* event) {
  SettingsDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// The dialog always opens on the whole buffer.
void TGetSumDialog::FormShow() { FillMaxRangeClick(); }

void TGetSumDialog::FillMaxRangeClick() { range_->Write(MaxRangeTexts(info_, kGetSumRangeLayout)); }

void TGetSumDialog::FillFileRangeClick() {
  range_->Write(FileRangeTexts(info_, kGetSumRangeLayout));
}

void TGetSumDialog::FillICSizeBBClick() { range_->Write(IcRangeTexts(kGetSumRangeLayout)); }

void TGetSumDialog::GetSumBtnClick() {
  const auto range = CheckRange(range_->Texts(), info_.BufSize, kGetSumRangeLayout);
  if (!range) return;
  TIniFile ini(SettingsPath());
  ini.WriteInteger(kGetSumSection, "StartAdd", range->start);
  ini.WriteInteger(kGetSumSection, "EndAdd", range->end);
  CloseConfirmed();
}

void TGetSumDialog::ExitBtnClick() { CloseRefused(); }

}  // namespace buffer
