#include "buffer/DumpGrid.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "buffer/HexEntry.h"
#include "buffer/core/GridRepaint.h"

namespace buffer {
namespace {

constexpr int kRowHeight = 18;

GridKey KeyOf(int key) {
  switch (key) {
    case Qt::Key_PageUp: return GridKey::PageUp;
    case Qt::Key_PageDown: return GridKey::PageDown;
    case Qt::Key_Up: return GridKey::Up;
    case Qt::Key_Down: return GridKey::Down;
    case Qt::Key_Home: return GridKey::Home;
    case Qt::Key_End: return GridKey::End;
    case Qt::Key_Left: return GridKey::Left;
    case Qt::Key_Right: return GridKey::Right;
    default: return GridKey::Other;
  }
}

// Draws a cell as its text on the cursor's highlight or the plain base: a grid page repaints
// hundreds of cells on every scroll, and the styled delegate's per-cell set-up dominates that.
class CellPainter : public QAbstractItemDelegate {
 public:
  using QAbstractItemDelegate::QAbstractItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool current = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    if (current) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->setPen(option.palette.color(group, current ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect, Qt::AlignCenter, index.data().toString());
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return option.rect.size();
  }
};

}  // namespace

DumpGrid::DumpGrid(GridEditor& editor, GridId grid, int cellDigits, QWidget* parent)
    : QTableWidget(editor.Rows(), ColumnCount(grid), parent), editor_(editor), grid_(grid) {
  setObjectName("DumpGrid");
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setItemDelegate(new CellPainter(this));
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  setFont(fixed);
  const int width = fontMetrics().horizontalAdvance(QString(cellDigits, QChar('0'))) + 8;
  SetUpHeaders(width);
  CreateCells();
  setFixedSize(width * columnCount() + 2 * frameWidth(),
               kRowHeight * (rowCount() + 1) + 2 * frameWidth());
  ShowEditor();
}

void DumpGrid::SetUpHeaders(int columnWidth) {
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // The style's minimum follows the font and would otherwise push rows off the grid.
  verticalHeader()->setMinimumSectionSize(kRowHeight);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  horizontalHeader()->setMinimumSectionSize(4);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, columnWidth);
  horizontalHeader()->setFixedHeight(kRowHeight);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  // Row 0 of the editor is the header row.
  QStringList headers;
  for (int c = 0; c < columnCount(); ++c) {
    headers << QString::fromLatin1(editor_.Text(grid_, c, 0).c_str());
  }
  setHorizontalHeaderLabels(headers);
}

void DumpGrid::CreateCells() {
  for (int c = 0; c < columnCount(); ++c) {
    for (int r = 0; r < rowCount(); ++r) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      setItem(r, c, item);
    }
  }
}

std::vector<std::string> DumpGrid::EditorTexts() const {
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(rowCount() * columnCount()));
  for (int r = 0; r < rowCount(); ++r) {
    for (int c = 0; c < columnCount(); ++c) texts.push_back(editor_.Text(grid_, c, r + 1));
  }
  return texts;
}

void DumpGrid::ShowEditor() {
  std::vector<std::string> next = EditorTexts();
  // A hidden grid draws nothing; it is drawn whole when it shows.
  if (isVisible()) Repaint(next);
  {
    // The repaint is ours: no notification per cell.
    const QSignalBlocker quiet(model());
    const int columns = columnCount();
    for (std::size_t i = 0; i < next.size(); ++i) {
      if (i < shown_.size() && shown_[i] == next[i]) continue;
      item(static_cast<int>(i) / columns, static_cast<int>(i) % columns)
          ->setText(QString::fromLatin1(next[i].data(), static_cast<qsizetype>(next[i].size())));
    }
  }
  shown_ = std::move(next);
  const GridCell cursor = editor_.Cursor(grid_);
  if (currentRow() != cursor.row - 1 || currentColumn() != cursor.column) {
    const QSignalBlocker quiet(this);
    setCurrentCell(cursor.row - 1, cursor.column);
  }
}

void DumpGrid::Repaint(const std::vector<std::string>& next) {
  const GridRepaint plan = PlanRepaint(shown_, next, columnCount());
  if (plan.cells.size() == next.size()) {
    viewport()->update();
    return;
  }
  if (plan.shift != 0) {
    viewport()->scroll(0, -plan.shift * rowHeight(0), viewport()->rect());
    // The cursor's highlight moved with the pixels, off the cursor cell.
    UpdateCell(currentRow() - plan.shift, currentColumn());
    UpdateCell(currentRow(), currentColumn());
  }
  const int columns = columnCount();
  for (const int cell : plan.cells) UpdateCell(cell / columns, cell % columns);
}

void DumpGrid::UpdateCell(int row, int column) {
  viewport()->update(visualRect(model()->index(row, column)));
}

void DumpGrid::focusInEvent(QFocusEvent* event) {
  QTableWidget::focusInEvent(event);
  editor_.FocusIn(grid_);
  // The character and address grids open their in-place editor on focus, and the editor
  // reports its cell's text once; the editor skips that report.
  if (grid_ != GridId::Hex8 && grid_ != GridId::Hex16) editor_.EditorOpened(grid_);
  emit Changed();
}

void DumpGrid::focusOutEvent(QFocusEvent* event) {
  QTableWidget::focusOutEvent(event);
  editor_.FocusOut(grid_);
  emit Changed();
}

void DumpGrid::mousePressEvent(QMouseEvent* event) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid()) return;
  editor_.MouseDown(grid_, index.column(), index.row() + 1);
  emit Changed();
  emit Clicked();
}

// Dragging selects nothing: the cursor is the editor's.
void DumpGrid::mouseMoveEvent(QMouseEvent*) {}

void DumpGrid::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    QWidget::keyPressEvent(event);
    return;
  }
  editor_.KeyDown(grid_, KeyOf(key));
  const char typed = TypedCharacter(*event);
  if (typed == kBackspace) editor_.EraseChar(grid_);
  else if (typed != 0) editor_.TypeChar(grid_, static_cast<std::uint8_t>(typed));
  emit Changed();
}

int WheelRows::Take(const QWheelEvent& event) {
  constexpr int kNotch = QWheelEvent::DefaultDeltasPerStep;
  pending_ += event.angleDelta().y();
  const int notches = pending_ / kNotch;
  pending_ -= notches * kNotch;
  return -notches;
}

// The grid shows a fixed window of rows: the wheel moves the view under it.
void DumpGrid::wheelEvent(QWheelEvent* event) {
  editor_.WheelRows(wheel_.Take(*event));
  event->accept();
  emit Changed();
}

}  // namespace buffer
