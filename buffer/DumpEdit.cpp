#include "buffer/DumpEdit.h"

#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <exception>

#include "buffer/BufferMap.h"
#include "buffer/DumpGrid.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/Progress.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

struct ToolSlot {
  DialogFactory dialog;
  ToolAction action;
};

std::array<ToolSlot, kToolCommandCount>& ToolSlots() {
  static std::array<ToolSlot, kToolCommandCount> table;
  return table;
}

ToolSlot& SlotOf(ToolCommand command) { return ToolSlots()[static_cast<int>(command)]; }

TMainEdit* g_mainEdit = nullptr;

CommandErrorBox& ErrorBox() {
  static CommandErrorBox box;
  return box;
}

// The Load, Save, Get Check Sum and Fill commands: an error on the way frees the dialog as
// it unwinds, the progress window closes (whichever step had shown it) and the application's
// box shows the error; the program carries on.
template <class Command>
void RunShowingErrors(Command&& command) {
  try {
    command();
  } catch (const std::exception& error) {
    if (!ErrorBox()) throw;
    Progress().Close();
    ErrorBox()(error.what());
  }
}

// The seven buttons of each grid page, in their order on the page.
struct ToolButtonSpec {
  const char* name8;
  const char* text;
  const char* hint;
  QStyle::StandardPixmap icon;
};
constexpr std::array<ToolButtonSpec, 7> kToolButtons{{
    {"LoadFileB", "Load", "Load File Into Buffer.", QStyle::SP_DialogOpenButton},
    {"SaveFileB", "Save", "Save File.", QStyle::SP_DialogSaveButton},
    {"GetSumSpeed", "Sum", "Get Check Sum.", QStyle::SP_FileDialogInfoView},
    {"FillDataSeep", "Fill", "Fill Data To Buffer.", QStyle::SP_FileDialogDetailedView},
    {"BlockSpeed", "Block", "Block process.", QStyle::SP_FileDialogListView},
    {"SearchSpeed", "Search", "Search data", QStyle::SP_FileDialogContentsView},
    {"SearchNextSpeed", "Next", "Search Next..", QStyle::SP_ArrowForward},
}};

constexpr const char* kGridNames[kGridCount] = {"AddressGB8bit",  "HexCodeSG8bit",
                                                "ASCIICode8bitSG", "AddressSG16Bit",
                                                "HexCodeSG16Bit", "ASCIICode16BisSG"};
// Cell widths in digits: an address digit, a byte, a character, a word.
int CellDigits(GridId grid) {
  switch (grid) {
    case GridId::Hex8: return 2;
    case GridId::Hex16: return 4;
    default: return 1;
  }
}

ScrollCode ScrollCodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineUp;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineDown;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageUp;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageDown;
    // Top and bottom leave the thumb at an end of the bar, and the end of that scroll puts
    // the view where the thumb is.
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum: return ScrollCode::EndScroll;
    default: return ScrollCode::Other;
  }
}

// A view bar has 0x8000 places on a few hundred pixels: most rows leave its thumb where it was,
// and drawing the bar costs more than the grids' new row. It is drawn again only when the
// thumb moves or reaches or leaves an end of the bar (where some styles grey an arrow).
class ViewScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void sliderChange(SliderChange change) override {
    if (change == SliderValueChange && Look() == painted_) return;
    QScrollBar::sliderChange(change);
  }
  void paintEvent(QPaintEvent* event) override {
    painted_ = Look();
    QScrollBar::paintEvent(event);
  }

 private:
  struct ThumbLook {
    QRect thumb;
    bool atMinimum = false;
    bool atMaximum = false;
    bool operator==(const ThumbLook&) const = default;
  };
  ThumbLook Look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    return {thumb, value() == minimum(), value() == maximum()};
  }

  ThumbLook painted_;
};

}  // namespace

void InstallToolDialog(ToolCommand command, DialogFactory factory) {
  SlotOf(command).dialog = std::move(factory);
}

void InstallToolAction(ToolCommand command, ToolAction action) {
  SlotOf(command).action = std::move(action);
}

void SetCommandErrorBox(CommandErrorBox box) { ErrorBox() = std::move(box); }

TMainEdit* MainEditForm() { return g_mainEdit; }
void SetMainEditForm(TMainEdit* form) { g_mainEdit = form; }

TMainEdit::TMainEdit(const EditProfile& profile, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      core_(profile) {
  setObjectName("MainEdit");
  setWindowTitle("Dump Edit");
  setToolTip("Dump Edit");
  setAttribute(Qt::WA_DeleteOnClose, profile.closeFreesForm);
  BuildLayout();
  FormCreate();
}

// FormDestroy: the buffer goes with the form's core.
TMainEdit::~TMainEdit() {
  if (g_mainEdit == this) g_mainEdit = nullptr;
  // The pages go while the buffer and the editor the grids show still exist: a grid that
  // loses the focus on its way out reports to the editor, and no signal of the pages (a
  // page change as the sheets go, a focus report) reaches this half-destroyed form.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
  delete pages_;
}

void TMainEdit::FormCreate() {
  core_.Create();
  ShowState();
}

void TMainEdit::BuildLayout() {
  pages_ = new QTabWidget(this);
  pages_->setObjectName("MainEditPage");
  pages_->addTab(BuildGridSheet(ScrollBarId::Bits8, buttons8_), "8 Bits");
  pages_->addTab(BuildGridSheet(ScrollBarId::Bits16, buttons16_), "16 Bits");
  auto* info = new QWidget;
  info->setObjectName("BufInfSheet");
  info->setToolTip("Buffer Information.");
  pages_->addTab(info, "Buffer Information");
  auto* map = new QWidget;
  map->setObjectName("BufMapTabSheet");
  pages_->addTab(map, "Buffer Map");
  info_.Build(info, map);
  ConnectMapPage();
  pages_->widget(0)->setObjectName("Edit8BitSheet");
  pages_->widget(1)->setObjectName("Edit16BitSheet");
  // Hidden sheets take no room either.
  for (int tab = 1; tab < pages_->count() && Profile().onlyByteSheet; ++tab) {
    pages_->setTabVisible(tab, false);
    pages_->widget(tab)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  }
  connect(pages_, &QTabWidget::currentChanged, this, &TMainEdit::MainEditPageChange);

  auto* swaps = new QHBoxLayout;
  const std::array<std::pair<const char*, const char*>, 3> swapButtons{
      {{"ByteSwapBitBtn", "Byte Swap"}, {"WordSwapBitBtn", "Word Swap"},
       {"DWordSwapBitBt", "DWord Swap"}}};
  const std::array<void (TMainEdit::*)(), 3> swapHandlers{&TMainEdit::ByteSwapBitBtnClick,
                                                          &TMainEdit::WordSwapBitBtnClick,
                                                          &TMainEdit::DWordSwapBitBtClick};
  swaps->addStretch();
  for (std::size_t i = 0; i < swapButtons.size(); ++i) {
    auto* button = new QPushButton(swapButtons[i].second);
    button->setObjectName(swapButtons[i].first);
    connect(button, &QPushButton::clicked, this, swapHandlers[i]);
    swaps->addWidget(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(swaps);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* TMainEdit::BuildGridSheet(ScrollBarId page, std::array<QToolButton*, 7>& buttons) {
  auto* sheet = new QWidget;
  auto* layout = new QVBoxLayout(sheet);
  layout->addLayout(BuildToolRow(page, buttons));
  layout->addLayout(BuildGridRow(page));
  layout->addStretch();
  return sheet;
}

QHBoxLayout* TMainEdit::BuildToolRow(ScrollBarId page, std::array<QToolButton*, 7>& buttons) {
  const std::array<void (TMainEdit::*)(), 7> handlers{
      &TMainEdit::LoadFileBClick,   &TMainEdit::SaveFileBClick,  nullptr,
      &TMainEdit::FillDataSeepClick, &TMainEdit::BlockSpeedClick, &TMainEdit::SearchSpeedClick,
      &TMainEdit::SearchNextSpeedClick};
  auto* tools = new QHBoxLayout;
  for (std::size_t i = 0; i < kToolButtons.size(); ++i) {
    auto* button = new QToolButton;
    // The 16-bit page's SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5,
    // SpeedButton6 and SpeedButton7 stand in the 8-bit page's order.
    button->setObjectName(page == ScrollBarId::Bits8 ? kToolButtons[i].name8
                                                     : QString("SpeedButton%1").arg(i + 1));
    button->setText(kToolButtons[i].text);
    button->setToolTip(kToolButtons[i].hint);
    button->setIcon(style()->standardIcon(kToolButtons[i].icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    if (handlers[i]) connect(button, &QToolButton::clicked, this, handlers[i]);
    else connect(button, &QToolButton::clicked, this, [this] { GetSumSpeedClick(); });
    tools->addWidget(button);
    buttons[i] = button;
  }
  tools->addStretch();
  return tools;
}

QHBoxLayout* TMainEdit::BuildGridRow(ScrollBarId page) {
  auto* grids = new QHBoxLayout;
  grids->setSpacing(4);
  const int first = page == ScrollBarId::Bits8 ? 0 : 3;
  for (int g = first; g < first + 3; ++g) {
    auto* grid = new DumpGrid(core_.grids(), GridId(g), CellDigits(GridId(g)));
    grid->setObjectName(kGridNames[g]);
    connect(grid, &DumpGrid::Changed, this, &TMainEdit::ShowState);
    connect(grid, &DumpGrid::Clicked, this, [this] {
      if (!Profile().pressRaisesForm) return;
      raise();
      activateWindow();
    });
    grids_[static_cast<std::size_t>(g)] = grid;
    grids->addWidget(grid, 0, Qt::AlignTop);
  }
  grids->addWidget(BuildScrollBar(page, grids_[static_cast<std::size_t>(first)]->height()), 0,
                   Qt::AlignTop);
  return grids;
}

QScrollBar* TMainEdit::BuildScrollBar(ScrollBarId page, int height) {
  auto* bar = new ViewScrollBar(Qt::Vertical);
  const bool bits8 = page == ScrollBarId::Bits8;
  bar->setObjectName(bits8 ? "Edit8BitScrollBar" : "Edit16BitScrollBar");
  bar->setSingleStep(1);
  bar->setPageStep(1);
  bar->setFixedHeight(height);
  bar->installEventFilter(this);
  if (bits8) bar->setEnabled(Profile().byteBarEnabled);
  connect(bar, &QScrollBar::actionTriggered, this,
          bits8 ? &TMainEdit::Edit8BitScrollBarScroll : &TMainEdit::Edit16BitScrollBarScroll);
  connect(bar, &QScrollBar::sliderReleased, this, [this, page] { ScrollBarThumbPlaced(page); });
  // "Scroll here" of the bar's menu moves the thumb without a scroll action.
  connect(bar, &QScrollBar::valueChanged, this, [this, page] {
    if (!ScrollBar(page)->isSliderDown()) ScrollBarThumbPlaced(page);
  });
  bars_[static_cast<std::size_t>(page)] = bar;
  return bar;
}

void TMainEdit::ShowForm() {
  if (!placed_) {
    placed_ = true;
    adjustSize();
    if (const QScreen* screen = this->screen()) {
      const QRect desk = screen->availableGeometry();
      move(desk.left() + (desk.width() - width()) / 2, desk.top() + (desk.height() - height()) / 2);
    }
  }
  show();
  raise();
  activateWindow();
}

void TMainEdit::SetChangedDataReporter(std::function<void(const std::string&)> reporter) {
  changedDataReporter_ = std::move(reporter);
}

bool TMainEdit::ShowsWordSheet() const {
  return pages_->currentWidget()->objectName() == "Edit16BitSheet";
}

std::int32_t TMainEdit::CursorAddress8() const {
  return static_cast<std::int32_t>(core_.grids().CursorAddress8());
}

std::int32_t TMainEdit::CursorAddress16() const {
  return static_cast<std::int32_t>(core_.grids().CursorAddress16());
}

bool TMainEdit::ResizeBuffer(std::uint32_t n) {
  const bool resized = core_.ResizeBuffer(n);
  ShowState();
  return resized;
}

void TMainEdit::RefreshGrids() {
  core_.grids().RefreshGrids();
  ShowState();
}

void TMainEdit::ShowState() {
  for (DumpGrid* grid : grids_) grid->ShowEditor();
  const DumpView& view = core_.view();
  for (int b = 0; b < 2; ++b) {
    QScrollBar* bar = bars_[static_cast<std::size_t>(b)];
    // A dragged thumb stays where the mouse holds it until it is released.
    if (bar->isSliderDown()) continue;
    const QSignalBlocker quiet(bar);
    bar->setMaximum(view.BarMaximum());
    bar->setValue(view.BarPosition(ScrollBarId(b)));
  }
}

// ---- scroll bars ----

void TMainEdit::Edit8BitScrollBarScroll(int action) { ScrollBarScroll(ScrollBarId::Bits8, action); }

void TMainEdit::Edit16BitScrollBarScroll(int action) {
  ScrollBarScroll(ScrollBarId::Bits16, action);
}

void TMainEdit::ScrollBarScroll(ScrollBarId bar, int action) {
  QScrollBar* scrollBar = ScrollBar(bar);
  core_.grids().Scroll(bar, ScrollCodeOf(action), scrollBar->sliderPosition());
  if (ScrollCodeOf(action) != ScrollCode::Other) {
    // The position the view ended at replaces the one the bar computed.
    scrollBar->setSliderPosition(core_.view().BarPosition(bar));
  }
  ShowState();
}

bool TMainEdit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return QWidget::eventFilter(watched, event);
  for (int b = 0; b < 2; ++b) {
    if (watched != bars_[static_cast<std::size_t>(b)]) continue;
    core_.grids().WheelRows(barWheels_[static_cast<std::size_t>(b)].Take(
        *static_cast<QWheelEvent*>(event)));
    ShowState();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TMainEdit::ScrollBarThumbPlaced(ScrollBarId bar) {
  QScrollBar* scrollBar = ScrollBar(bar);
  core_.grids().Scroll(bar, ScrollCode::EndScroll, scrollBar->sliderPosition());
  ShowState();
}

// ---- pages ----

void TMainEdit::MainEditPageChange(int index) {
  if (Profile().onlyByteSheet && index != 0) {
    pages_->setCurrentIndex(0);
    return;
  }
  const bool gridPage = index == 0 || index == 1;
  for (QToolButton* button : buttons8_) button->setEnabled(gridPage);
  // Entering a grid sheet (Edit8BitSheetEnter, Edit16BitSheetEnter) redraws its grids.
  if (gridPage) RefreshGrids();
  else ShowBufferFigures();
}

// ---- information page and buffer map ----

void TMainEdit::ConnectMapPage() {
  QScrollBar* bar = info_.BufMapScrollBar;
  connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) {
    BufMapScrollBarScroll(ScrollCodeOf(action), bar->sliderPosition());
  });
  connect(bar, &QScrollBar::sliderReleased, this,
          [this, bar] { BufMapScrollBarScroll(ScrollCode::EndScroll, bar->sliderPosition()); });
  // "Scroll here" of the bar's menu moves the thumb without a scroll action.
  connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) {
    if (bar->isSliderDown()) return;
    if (MapOffsetAt(value, info_.InfBufferMap->Colls_W()) == Fields().MapOffset) return;
    BufMapScrollBarScroll(ScrollCode::EndScroll, value);
  });
  connect(info_.InfBufferMap, &TBufferMap::MouseMove, this, &TMainEdit::InfBufferMapMouseMove);
}

void TMainEdit::ShowBufferInfo() {
  ShowBufferFigures();
  info_.ShowLoadedFile(ReadLoadedFileTexts());
}

void TMainEdit::ShowBufferFigures() {
  const std::int32_t bufSize = core_.buffer().BufSize();
  info_.ShowFigures(BufferInfoTextsOf(Fields(), bufSize));
  Fields().MapOffset = 0;
  const TBufferMap* map = info_.InfBufferMap;
  info_.ShowMapScroll(MapScrollRangeOf(bufSize, map->Colls_W(), map->Colls_H()));
  DrawBufferMap();
}

void TMainEdit::DrawBufferMap() {
  TBufferMap* map = info_.InfBufferMap;
  const std::int32_t rows = map->Colls_H();
  const std::int32_t columns = map->Colls_W();
  info_.ShowRowAddresses(Fields().MapOffset);
  std::vector<MapCell> cells;
  {
    BufferLock lock(Buffer());
    cells = ClassifyMap(lock.data(), lock.size(), Fields().MapOffset, rows, columns);
  }
  for (std::int32_t k = 0; k < rows; ++k) {
    for (std::int32_t l = 0; l < columns; ++l) {
      map->SetArrValue(k, l, cells[static_cast<std::size_t>(k * columns + l)]);
    }
  }
  map->DrawAll();
}

void TMainEdit::BufMapScrollBarScroll(ScrollCode code, std::int32_t position) {
  if (code == ScrollCode::Other) return;
  {
    const QSignalBlocker quiet(info_.BufMapScrollBar);
    info_.BufMapScrollBar->setValue(position);
  }
  Fields().MapOffset = MapOffsetAt(position, info_.InfBufferMap->Colls_W());
  DrawBufferMap();
}

void TMainEdit::InfBufferMapMouseMove(int x, int y) {
  const TBufferMap* map = info_.InfBufferMap;
  info_.ShowMapCursor(MapAddressAt(x, y, map->width(), map->height(), map->Colls_W(),
                                   map->Colls_H(), Fields().MapOffset));
}

// ---- tool buttons ----

void TMainEdit::RunTool(ToolCommand command, const char* section, bool describeBuffer,
                        const char* hiddenControl) {
  const ToolSlot& slot = SlotOf(command);
  // A write that did not happen leaves the file as the last command left it: acting on it
  // would run that command again, or this one on another file.
  const IniWriteWatch writes(SettingsPath());
  if (describeBuffer) WriteBufferInfo();
  if (!SettingsWritten(writes)) return;
  if (slot.dialog) {
    std::unique_ptr<QDialog> dialog = slot.dialog(*this);
    // Without its opening OK = "0" the dialog could not be refused.
    if (!SettingsWritten(writes)) return;
    QWidget* hidden = hiddenControl ? dialog->findChild<QWidget*>(hiddenControl) : nullptr;
    if (hidden) hidden->hide();
    dialog->exec();
    if (hidden) hidden->show();
  }
  if (section && (!SettingsWritten(writes) || ReadDialogOk(section) == 0)) return;
  if (slot.action) slot.action(*this);
}

void TMainEdit::LoadFileBClick() {
  RunShowingErrors([this] { RunTool(ToolCommand::Load, "LoadDlg"); });
}

void TMainEdit::SaveFileBClick() {
  RunShowingErrors([this] { RunTool(ToolCommand::Save, "SaveDlg", true); });
}

void TMainEdit::GetSumSpeedClick(bool fromButton) {
  RunShowingErrors([this, fromButton] {
    // After a load the user must confirm a range: the dialog offers only Get.
    RunTool(ToolCommand::GetSum, "GetSumDlg", fromButton, fromButton ? nullptr : "ExitBtn");
  });
}

void TMainEdit::FillDataSeepClick() {
  RunShowingErrors([this] { RunTool(ToolCommand::Fill, "FillDataDlg", true); });
}

void TMainEdit::BlockSpeedClick() { RunTool(ToolCommand::Block, "BlockDlg", true); }

// The search dialog answers through the form's own search fields, not the settings file.
void TMainEdit::SearchSpeedClick() {
  WriteBufferInfo();
  SetSearchMode(0);
  const ToolSlot& slot = SlotOf(ToolCommand::Search);
  if (slot.dialog) slot.dialog(*this)->exec();
  if (Fields().SearchRequested && slot.action) slot.action(*this);
}

void TMainEdit::SearchNextSpeedClick() { RunTool(ToolCommand::SearchNext, nullptr); }
void TMainEdit::ByteSwapBitBtnClick() { RunTool(ToolCommand::ByteSwap, nullptr); }
void TMainEdit::WordSwapBitBtnClick() { RunTool(ToolCommand::WordSwap, nullptr); }
void TMainEdit::DWordSwapBitBtClick() { RunTool(ToolCommand::DWordSwap, nullptr); }

// ---- closing ----

bool TMainEdit::FormCloseQuery() { return core_.CanClose(this); }

void TMainEdit::FormClose() {
  if (core_.CheckEditsOnClose() && changedDataReporter_) changedDataReporter_(kDataChangedNote);
  hide();
}

void TMainEdit::closeEvent(QCloseEvent* event) {
  // The console's form only hides, its buffer living until the program ends; the update
  // tool's child is freed with its buffer.
  event->setAccepted(false);
  if (!FormCloseQuery()) return;
  FormClose();
  event->setAccepted(Profile().closeFreesForm);
}

}  // namespace buffer
