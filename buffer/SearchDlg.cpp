#include "buffer/SearchDlg.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "buffer/DialogPlacement.h"
#include "buffer/DialogWidgets.h"
#include "buffer/DumpEdit.h"
#include "buffer/HexEntry.h"
#include "buffer/RadioGroup.h"
#include "buffer/core/HexText.h"
#include "buffer/core/Messages.h"

namespace buffer {
namespace {

constexpr Message kNoTargetMessage{"Not Found Any Data of Target !", "Input Error",
                                   winapi::MB_OK};

constexpr int kCellWidth = 28;
constexpr int kRowHeight = 22;

GridKey KeyOf(int key) {
  switch (key) {
    case Qt::Key_Left: return GridKey::Left;
    case Qt::Key_Right: return GridKey::Right;
    case Qt::Key_Home: return GridKey::Home;
    case Qt::Key_End: return GridKey::End;
    default: return GridKey::Other;
  }
}

// A message box or a menu over the dialog leaves the grid the one the user is in.
bool MovedByTheUser(const QFocusEvent& event) {
  return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

// The dialog's handlers that one grid's events go to.
struct SearchGridEvents {
  void (SearchCells::*enter)();
  void (SearchCells::*exit)();
  void (SearchCells::*mouseDown)(int column);
  void (SearchCells::*keyDown)(GridKey key);
  void (SearchCells::*keyPress)(char& key);  // none for the ASCII grid
};

const SearchGridEvents& EventsOf(SearchGrid grid) {
  static constexpr SearchGridEvents kAscii{&SearchCells::AsciiSGEnter, &SearchCells::AsciiSGExit,
                                           &SearchCells::AsciiSGMouseDown,
                                           &SearchCells::AsciiSGKeyDown, nullptr};
  static constexpr SearchGridEvents kBinary{&SearchCells::BinSGEnter, &SearchCells::BinSGExit,
                                            &SearchCells::BinSGMouseDown,
                                            &SearchCells::BinSGKeyDown,
                                            &SearchCells::BinSGKeyPress};
  return grid == SearchGrid::Ascii ? kAscii : kBinary;
}

QString Hex6(std::int32_t value) { return QString::fromLatin1(FormatHex6(value).c_str()); }

}  // namespace

SearchGridView::SearchGridView(SearchCells& cells, SearchGrid grid, QWidget* parent)
    : QTableWidget(1, SearchCells::kColumns, parent), cells_(cells), grid_(grid) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabKeyNavigation(false);
  horizontalHeader()->hide();
  verticalHeader()->hide();
  horizontalHeader()->setMinimumSectionSize(4);
  verticalHeader()->setMinimumSectionSize(4);
  for (int c = 0; c < columnCount(); ++c) {
    setColumnWidth(c, kCellWidth);
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    setItem(0, c, item);
  }
  setRowHeight(0, kRowHeight);
  setFixedSize(kCellWidth * columnCount() + 2 * frameWidth(), kRowHeight + 2 * frameWidth());
  ShowCells();
}

void SearchGridView::ShowCells() {
  for (int c = 0; c < columnCount(); ++c) {
    const std::string& text = cells_.Cell(grid_, c);
    const QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    if (item(0, c)->text() != shown) item(0, c)->setText(shown);
  }
  if (currentColumn() != cells_.Column(grid_)) {
    const QSignalBlocker quiet(this);
    setCurrentCell(0, cells_.Column(grid_));
  }
}

void SearchGridView::focusInEvent(QFocusEvent* event) {
  QTableWidget::focusInEvent(event);
  if (!MovedByTheUser(*event)) return;
  (cells_.*EventsOf(grid_).enter)();
  emit Changed();
}

void SearchGridView::focusOutEvent(QFocusEvent* event) {
  QTableWidget::focusOutEvent(event);
  if (!MovedByTheUser(*event)) return;
  (cells_.*EventsOf(grid_).exit)();
  emit Changed();
}

void SearchGridView::mousePressEvent(QMouseEvent* event) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  cells_.SetColumn(grid_, index.column());
  (cells_.*EventsOf(grid_).mouseDown)(index.column());
  emit Changed();
}

void SearchGridView::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape ||
      key == Qt::Key_Return || key == Qt::Key_Enter) {
    QWidget::keyPressEvent(event);
    return;
  }
  const SearchGridEvents& events = EventsOf(grid_);
  (cells_.*events.keyDown)(KeyOf(key));
  cells_.MoveCursor(grid_, KeyOf(key));
  char typed = TypedCharacter(*event);
  if (typed != 0 && events.keyPress) (cells_.*events.keyPress)(typed);
  if (typed != 0) cells_.TypeChar(grid_, typed);
  emit Changed();
}

TSearchDialog::TSearchDialog(HexKeyRule hexKeyRule, QWidget* parent)
    : QDialog(parent), cells_(hexKeyRule) {
  setObjectName("SearchDialog");
  setWindowTitle("Search Data");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  NowCurLabel = MakeLabel("NowCurLabel");
  BufSizeLabel = MakeLabel("BufSizeLabel");
  auto* info = new QGroupBox("Buffer information :");
  auto* figures = new QGridLayout(info);
  figures->addWidget(new QLabel("Now cursor position :"), 0, 0);
  figures->addWidget(NowCurLabel, 0, 1);
  figures->addWidget(new QLabel("Buffer size: "), 1, 0);
  figures->addWidget(BufSizeLabel, 1, 1);

  AsciiSG = new SearchGridView(cells_, SearchGrid::Ascii);
  AsciiSG->setObjectName("AsciiSG");
  QFont terminal("Terminal");
  terminal.setStyleHint(QFont::TypeWriter);
  terminal.setPixelSize(12);
  AsciiSG->setFont(terminal);
  BinSG = new SearchGridView(cells_, SearchGrid::Binary);
  BinSG->setObjectName("BinSG");
  ClearBtn = MakeButton("ClearBtn", "Clear", "Clear Target Data.");
  auto* target = new QGroupBox("Target :");
  auto* cells = new QGridLayout(target);
  cells->addWidget(new QLabel("ASCII-Code :"), 0, 0);
  cells->addWidget(AsciiSG, 0, 1);
  cells->addWidget(new QLabel("Binary-Code :"), 1, 0);
  cells->addWidget(BinSG, 1, 1);
  cells->addWidget(ClearBtn, 1, 2);

  RadioGroup1 = new TRadioGroup("Action", {"Forward", "Backward"}, this);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetItemIndex(0);
  SearchBtn = MakeButton("SearchBtn", "Search", "Search Data.");
  CancelBtn = MakeButton("CancelBtn", "Exit", "");
  CancelBtn->setToolTip(QString());
  auto* answers = new QVBoxLayout;
  answers->addWidget(SearchBtn);
  answers->addWidget(CancelBtn);
  answers->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(RadioGroup1);
  bottom->addStretch();
  bottom->addLayout(answers);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(info);
  layout->addWidget(target);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  SetFocusOrder();

  for (SearchGridView* grid : {AsciiSG, BinSG}) {
    connect(grid, &SearchGridView::Changed, this, &TSearchDialog::ShowCells);
  }
  connect(ClearBtn, &QPushButton::clicked, this, &TSearchDialog::ClearBtnClick);
  connect(SearchBtn, &QPushButton::clicked, this, &TSearchDialog::SearchBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TSearchDialog::CancelBtnClick);
}

// The pattern's first byte is what the user types first: the dialog opens in the binary
// grid, entered as a click would enter it, on its first cell. Tab runs down the byte cells,
// the characters, the direction, then the buttons.
void TSearchDialog::SetFocusOrder() {
  QWidget* const order[] = {BinSG, AsciiSG, RadioGroup1->Button(0), RadioGroup1->Button(1),
                            ClearBtn, SearchBtn, CancelBtn};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
  BinSG->setFocus(Qt::OtherFocusReason);
  cells_.BinSGEnter();
}

void TSearchDialog::showEvent(QShowEvent* event) {
  if (!initialised_) {
    initialised_ = true;
    CentreOnDesktop(this);
    InitFromEditor();
  }
  QDialog::showEvent(event);
}

void TSearchDialog::InitFromEditor() {
  if (!Editor) return;
  std::int32_t size = 0;
  Editor->QueryBufferSize(size);
  const bool words = Editor->ShowsWordSheet();
  NowCurLabel->setText(Hex6(words ? Editor->CursorAddress16() / 2 : Editor->CursorAddress8()));
  BufSizeLabel->setText(Hex6(words ? size / 2 : size));
  cells_.ShowPattern(Editor->GetSearchPattern());
  RadioGroup1->SetItemIndex(Editor->GetSearchDirection());
  ShowCells();
}

void TSearchDialog::ShowCells() {
  AsciiSG->ShowCells();
  BinSG->ShowCells();
}

void TSearchDialog::ClearBtnClick() {
  cells_.Clear();
  ShowCells();
}

bool TSearchDialog::ReadPattern() {
  const std::optional<std::string> pattern = cells_.ReadPattern();
  if (!pattern) {
    ShowMessage(kNoTargetMessage);
    return false;
  }
  if (Editor) Editor->SetSearchPattern(*pattern);
  return true;
}

void TSearchDialog::SearchBtnClick() {
  if (!ReadPattern()) return;
  if (Editor) {
    Editor->SetSearchMode(1);
    Editor->SetSearchDirection(RadioGroup1->ItemIndex());
  }
  accept();
}

void TSearchDialog::CancelBtnClick() {
  if (Editor) Editor->SetSearchMode(0);
  reject();
}

}  // namespace buffer
