#include "buffer/BlockDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>
#include <optional>

#include "buffer/DialogWidgets.h"
#include "buffer/DumpEdit.h"
#include "buffer/HexEntry.h"
#include "buffer/RadioGroup.h"
#include "buffer/RangeEdits.h"
#include "buffer/core/BlockOps.h"
#include "buffer/core/HexText.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

constexpr int kMaskDigits = 4;

QString Hex6(std::int64_t value) {
  return QString::fromLatin1(FormatHex6(static_cast<std::int32_t>(value)).c_str());
}

std::string TextOf(const QLineEdit* edit) { return edit->text().toLatin1().toStdString(); }

}  // namespace

TBlockDialog::TBlockDialog(const EditProfile& profile, QWidget* parent)
    : SettingsDialog(kBlockSection, parent), profile_(profile) {
  setObjectName("BlockDialog");
  setWindowTitle("Block Dialog");
  // Minimize and maximize icons and no close box: the dialog ends by its buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinMaxButtonsHint);
  BuildLayout();
  FormCreate();
}

TBlockDialog::~TBlockDialog() = default;

QLayout* TBlockDialog::BuildAddressPanel() {
  auto* source = new QGroupBox("Source Range :");
  auto* grid = new QGridLayout(source);
  grid->addWidget(new QLabel("Start Address :"), 0, 1);
  grid->addWidget(new QLabel("End Address :"), 0, 2);
  grid->addWidget(new QLabel("8 Bit :"), 1, 0);
  grid->addWidget(StardAddEdit, 1, 1);
  grid->addWidget(EndAddEdit, 1, 2);
  grid->addWidget(new QLabel("16 Bit :"), 2, 0);
  grid->addWidget(StartAddEdit16, 2, 1);
  grid->addWidget(EndStartAdd16, 2, 2);

  auto* destination = new QGroupBox(Swaps() ? "Disnataion :" : "Destination :");
  destination->setToolTip("Disnataion.");
  auto* target = new QGridLayout(destination);
  target->addWidget(new QLabel("8 Bit :"), 0, 0);
  target->addWidget(DistSAdd8, 0, 1);
  target->addWidget(new QLabel("-"), 0, 2);
  target->addWidget(DistSAddLabel, 0, 3);
  target->addWidget(new QLabel("16 Bit :"), 1, 0);
  target->addWidget(DistSAdd16, 1, 1);
  target->addWidget(new QLabel("-"), 1, 2);
  target->addWidget(DistSAdd16Label, 1, 3);

  auto* panel = new QHBoxLayout;
  panel->addWidget(source);
  panel->addWidget(destination);
  return panel;
}

QLayout* TBlockDialog::BuildActionPanel() {
  ActionGroup = new TRadioGroup("Action", {"Copy", "Move", Swaps() ? "Swap" : "Mask"}, this);
  ActionGroup->setObjectName("ActionGroup");
  ActionGroup->setToolTip("Action.");
  auto* action = new QHBoxLayout;
  action->addWidget(ActionGroup);
  if (Swaps()) return action;
  MaskDataEdit = MakeEdit("MaskDataEdit");
  MaskDataEdit->setText("FFFF");
  MaskDataEdit->setEnabled(false);
  auto* mask = new QVBoxLayout;
  mask->addWidget(new QLabel("Mask :"));
  mask->addWidget(MaskDataEdit);
  mask->addStretch();
  action->addLayout(mask);
  connect(MaskDataEdit, &QLineEdit::textChanged, this, &TBlockDialog::MaskDataEditChange);
  connect(ActionGroup, &TRadioGroup::Click, this, &TBlockDialog::ActionGroupClick);
  return action;
}

QLayout* TBlockDialog::BuildResizeDialogPanel() {
  ResizeBtn = MakeButton("ResizeBtn", "Resize", "Resize of Buffer.");
  auto* box = new QGroupBox;
  auto* row = new QHBoxLayout(box);
  row->addWidget(new QLabel("Buffer Size :"));
  row->addWidget(BufferSizeLabel);
  row->addWidget(new QLabel("(Bytes)"));
  row->addStretch();
  row->addWidget(ResizeBtn);
  auto* panel = new QVBoxLayout;
  panel->addWidget(box);
  return panel;
}

QLayout* TBlockDialog::BuildResizePanel() {
  NewBufferSizeLabel = MakeLabel("NewBufferSizeLabel");
  BufferSizeTrackBar = new QSlider(Qt::Horizontal);
  BufferSizeTrackBar->setObjectName("BufferSizeTrackBar");
  BufferSizeTrackBar->setRange(0, kTrackBarPositions);
  BufferSizeTrackBar->setPageStep(1);
  BufferSizeTrackBar->setTickInterval(1);
  BufferSizeTrackBar->setTickPosition(QSlider::TicksBelow);
  ResizeBtn = MakeButton("ResizeBtn", "Resizing", "Resize of Buffer.");
  connect(BufferSizeTrackBar, &QSlider::valueChanged, this,
          &TBlockDialog::BufferSizeTrackBarChange);
  auto* box = new QGroupBox;
  auto* grid = new QGridLayout(box);
  grid->addWidget(new QLabel("Now Buffer Size : 0x"), 0, 0);
  grid->addWidget(BufferSizeLabel, 0, 1);
  grid->addWidget(new QLabel("( Bytes )"), 0, 2);
  grid->addWidget(BufferSizeTrackBar, 1, 0, 1, 4);
  grid->addWidget(new QLabel("New Buffer Size : 0x"), 2, 0);
  grid->addWidget(NewBufferSizeLabel, 2, 1);
  grid->addWidget(new QLabel("[ Bytes ]"), 2, 2);
  grid->addWidget(ResizeBtn, 2, 3);
  auto* panel = new QVBoxLayout;
  panel->addWidget(box);
  return panel;
}

void TBlockDialog::BuildLayout() {
  StardAddEdit = MakeEdit("StardAddEdit", "Enter Start Address..");
  EndAddEdit = MakeEdit("EndAddEdit", "Enter End Address..");
  StartAddEdit16 = MakeEdit("StartAddEdit16");
  EndStartAdd16 = MakeEdit("EndStartAdd16");
  DistSAdd8 = MakeEdit("DistSAdd8");
  DistSAdd16 = MakeEdit("DistSAdd16");
  DistSAddLabel = MakeLabel("DistSAddLabel");
  DistSAdd16Label = MakeLabel("DistSAdd16Label");
  // The twins stand for the edits' own handlers: StardAddEditChange, StardAddEditEnter,
  // StardAddEditExit, EndAddEditChange, EndAddEditEnter, EndAddEditExit,
  // StartAddEdit16Change, StartAddEdit16Enter, StartAddEdit16Exit, EndStartAdd16Change,
  // EndStartAdd16Enter, EndStartAdd16Exit, DistSAdd8Change, DistSAdd8Enter, DistSAdd8Exit,
  // DistSAdd16Change, DistSAdd16Enter, DistSAdd16Exit, StardAddEditKeyPress and
  // EndAddEditKeyPress.
  twins_ = new TwinAddressEdits(this, profile_.hexKeyRule);
  twins_->AddPair(StardAddEdit, StartAddEdit16);
  twins_->AddPair(EndAddEdit, EndStartAdd16);
  twins_->AddPair(DistSAdd8, DistSAdd16);
  range_ = std::make_unique<RangeEdits>(twins_, StardAddEdit, EndAddEdit, StartAddEdit16,
                                        EndStartAdd16);
  // After each change (and its twin's update) the destination end is shown again.
  for (QLineEdit* edit : {StardAddEdit, EndAddEdit, DistSAdd8}) {
    connect(edit, &QLineEdit::textChanged, this,
            [this] { ShowBlockEnd(DistSAdd8, StardAddEdit, EndAddEdit, DistSAddLabel); });
  }
  for (QLineEdit* edit : {StartAddEdit16, EndStartAdd16, DistSAdd16}) {
    connect(edit, &QLineEdit::textChanged, this,
            [this] { ShowBlockEnd(DistSAdd16, StartAddEdit16, EndStartAdd16, DistSAdd16Label); });
  }

  FillMaxRange = MakeButton("FillMaxRange", "Max", "Fill Max Range.");
  FillFileRange = MakeButton("FillFileRange", "File ", "Fill File Range");
  FillICSizeBB = MakeButton("FillICSizeBB", "IC", "Fill File Range");
  LayOutIcButton(FillICSizeBB, profile_);
  auto* ranges = new QHBoxLayout;
  for (QPushButton* button : {FillMaxRange, FillFileRange, FillICSizeBB}) ranges->addWidget(button);
  ranges->addStretch();

  GetSumBtn = MakeButton("GetSumBtn", "Action", "Block Process.");
  ExitBtn = MakeButton("ExitBtn", "Exit", "Exit !");
  auto* answers = new QHBoxLayout;
  answers->addStretch();
  answers->addWidget(GetSumBtn);
  answers->addWidget(ExitBtn);

  BufferSizeLabel = MakeLabel("BufferSizeLabel");

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(BuildAddressPanel());
  layout->addLayout(ranges);
  layout->addLayout(BuildActionPanel());
  layout->addLayout(answers);
  layout->addLayout(Swaps() ? BuildResizeDialogPanel() : BuildResizePanel());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ResizeBtn, &QPushButton::clicked, this, &TBlockDialog::ResizeBtnClick);
  connect(FillMaxRange, &QPushButton::clicked, this, &TBlockDialog::FillMaxRangeClick);
  connect(FillFileRange, &QPushButton::clicked, this, &TBlockDialog::FillFileRangeClick);
  connect(FillICSizeBB, &QPushButton::clicked, this, &TBlockDialog::FillICSizeBBClick);
  connect(GetSumBtn, &QPushButton::clicked, this, &TBlockDialog::GetSumBtnClick);
  connect(ExitBtn, &QPushButton::clicked, this, &TBlockDialog::ExitBtnClick);
}

void TBlockDialog::FormCreate() {
  TIniFile ini(SettingsPath());
  const std::int32_t start = ini.ReadInteger(kBlockSection, "StartAdd", 0);
  const std::int32_t end = ini.ReadInteger(kBlockSection, "EndAdd", 0);
  const std::int32_t destination = ini.ReadInteger(kBlockSection, "DistSAdd", 0);
  twins_->SetPairAddress(0, start);
  twins_->SetPairAddress(1, end);
  twins_->SetPairAddress(2, destination);
  const std::int64_t destinationEnd = std::int64_t{destination} + end - start;
  DistSAddLabel->setText(Hex6(destinationEnd));
  DistSAdd16Label->setText(Hex6(destinationEnd / 2));
  ActionGroup->SetItemIndex(ini.ReadInteger(kBlockSection, "Action", 0));
  info_ = ReadBufferInfo();
  ShowSizes();
  if (BufferSizeTrackBar) BufferSizeTrackBar->setValue(TrackBarPositionFor(info_.BufSize));
}

void TBlockDialog::ShowSizes() {
  BufferSizeLabel->setText(Hex6(info_.BufSize));
  if (NewBufferSizeLabel) NewBufferSizeLabel->setText(Hex6(info_.BufSize));
}

void TBlockDialog::showEvent(QShowEvent* event) {
  SettingsDialog::showEvent(event);
  // The console's source always opens as the whole buffer; destination and action stay.
  if (!event->spontaneous() && profile_.rangeDialogsOpenOnWholeBuffer) FillMaxRangeClick();
}

void TBlockDialog::MaskDataEditChange() {
  const QString upper = MaskDataEdit->text().toUpper();
  if (upper != MaskDataEdit->text()) {
    const int caret = MaskDataEdit->cursorPosition();
    MaskDataEdit->setText(upper);
    MaskDataEdit->setCursorPosition(caret);
  }
  TruncateEditText(MaskDataEdit, kMaskDigits);
  FilterHexEdit(MaskDataEdit);
}

void TBlockDialog::ActionGroupClick() {
  if (!MaskDataEdit) return;
  MaskDataEdit->setEnabled(ActionGroup->ItemIndex() == static_cast<int>(BlockAction::Mask));
}

void TBlockDialog::BufferSizeTrackBarChange() {
  if (!BufferSizeTrackBar) return;
  NewBufferSizeLabel->setText(Hex6(TrackBarSize(BufferSizeTrackBar->value())));
}

void TBlockDialog::ResizeBtnClick() {
  if (Swaps()) {
    ResizeThroughDialog();
  } else {
    ResizeToTrackBar();
  }
}

// The dialog stays open and shows the new size; source, destination and action stay too.
void TBlockDialog::ResizeThroughDialog() {
  if (!editor_ || !resizeDialog_) return;
  if (resizeDialog_(*editor_)) info_ = ReadBufferInfo();
  // The buffer's own size, also when [BufInf] could not be told of a resize.
  editor_->QueryBufferSize(info_.BufSize);
  ShowSizes();
}

void TBlockDialog::ResizeToTrackBar() {
  const std::int32_t size = ResizeTarget(NewBufferSizeLabel->text().toLatin1().toStdString());
  if (editor_) {
    editor_->ResizeBuffer(static_cast<std::uint32_t>(size));
    editor_->WriteBufferInfo();
  }
  info_ = ReadBufferInfo();
  ShowSizes();
  // A resize runs no block action.
  CloseRefused();
}

void TBlockDialog::FillMaxRangeClick() { range_->Write(MaxRangeTexts(info_, kBlockRangeLayout)); }

void TBlockDialog::FillFileRangeClick() {
  range_->Write(FileRangeTexts(info_, kBlockRangeLayout));
}

void TBlockDialog::FillICSizeBBClick() { range_->Write(IcRangeTexts(kBlockRangeLayout)); }

void TBlockDialog::GetSumBtnClick() {
  const auto range = CheckRange(range_->Texts(), info_.BufSize, kBlockRangeLayout);
  if (!range) return;
  // The destination end inside the buffer keeps its start there too.
  if (!CheckHexBelow(DistSAddLabel->text().toLatin1().toStdString(), info_.BufSize, true)) return;
  std::optional<std::int32_t> mask;
  if (MaskDataEdit) {
    mask = CheckHexBelow(TextOf(MaskDataEdit), 0x10000, true);
    if (!mask) return;
  }
  TIniFile ini(SettingsPath());
  ini.WriteInteger(kBlockSection, "StartAdd", range->start);
  ini.WriteInteger(kBlockSection, "EndAdd", range->end);
  ini.WriteInteger(kBlockSection, "Action", ActionGroup->ItemIndex());
  ini.WriteInteger(kBlockSection, "DistSAdd", HexTextToInt(TextOf(DistSAdd8)));
  if (mask) ini.WriteInteger(kBlockSection, "MaskData", *mask);
  CloseConfirmed();
}

void TBlockDialog::ExitBtnClick() { CloseRefused(); }

}  // namespace buffer
