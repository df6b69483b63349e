#include "console/FlyOverMenuSpdBtn.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <qdrawutil.h>

namespace {

QFont MenuFont() { return QApplication::font("QMenu"); }

QColor MenuColour() { return QApplication::palette("QMenu").color(QPalette::Window); }

// An item as menus draw it: the caption 8 pixels in, its "&" underlining the next
// character, highlighted when under the pointer; a separator is an etched line.
void DrawMenuItem(QPainter& painter, const QRect& place, const QAction& item, bool hovered) {
  const QPalette colours = QApplication::palette("QMenu");
  if (item.isSeparator()) {
    const int middle = place.center().y();
    painter.setPen(colours.color(QPalette::Dark));
    painter.drawLine(place.left() + 1, middle, place.right() - 1, middle);
    painter.setPen(colours.color(QPalette::Light));
    painter.drawLine(place.left() + 1, middle + 1, place.right() - 1, middle + 1);
    return;
  }
  if (hovered) painter.fillRect(place, colours.color(QPalette::Highlight));
  painter.setPen(colours.color(hovered ? QPalette::HighlightedText : QPalette::WindowText));
  painter.drawText(place.adjusted(8, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                   item.text());
}

}  // namespace

// A top-most window of its own that takes no focus and grabs nothing, so the pointer's
// enter and leave reach both it and the button.
TFlyOverMenu::TFlyOverMenu(TFlyOverMenuSpdBtn* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      owner_(owner),
      menuFont_(MenuFont()),
      metrics_(menuFont_),
      layout_({}, metrics_) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setFont(menuFont_);
}

int TFlyOverMenu::TotalMenuItemCount() const {
  return owner_->PopupMenu != nullptr ? static_cast<int>(owner_->PopupMenu->actions().size()) : 0;
}

std::vector<std::string> TFlyOverMenu::Captions() const {
  std::vector<std::string> captions;
  if (owner_->PopupMenu == nullptr) return captions;
  for (QAction* item : owner_->PopupMenu->actions())
    captions.push_back(item->isSeparator() ? "-" : item->text().toLatin1().toStdString());
  return captions;
}

void TFlyOverMenu::ActivateAtPoint(int x, int y) {
  if (owner_->PopupMenu != nullptr) emit owner_->PopupMenu->aboutToShow();
  lastHoveredIndex_ = -1;
  hoveredIndex_ = -1;
  layout_ = console::FlyOverLayout(Captions(), metrics_);
  if (layout_.Count() == 0) {
    hide();
    return;
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize desktop = screen != nullptr ? screen->geometry().size() : QSize(1 << 16, 1 << 16);
  const console::Rect place =
      console::PlaceFlyOver(layout_.MenuRect(), {x, y}, {owner_->width(), owner_->height()},
                            {desktop.width(), desktop.height()});
  setGeometry(place.left, place.top, place.Width(), place.Height());
  show();
  raise();
  update();
}

void TFlyOverMenu::enterEvent(QEnterEvent*) { CMMouseEnter(); }

void TFlyOverMenu::leaveEvent(QEvent*) { CMMouseLeave(); }

void TFlyOverMenu::CMMouseEnter() { mouseInside_ = true; }

void TFlyOverMenu::CMMouseLeave() {
  mouseInside_ = false;
  hide();
}

void TFlyOverMenu::hideEvent(QHideEvent*) { mouseInside_ = false; }

void TFlyOverMenu::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  hoveredIndex_ = layout_.MenuIndexAtPoint({at.x(), at.y()});
  if (hoveredIndex_ == lastHoveredIndex_) return;
  lastHoveredIndex_ = hoveredIndex_;
  update();
}

// Any button: the window goes first, then the item runs, whether enabled or not.
void TFlyOverMenu::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  hoveredIndex_ = layout_.MenuIndexAtPoint({at.x(), at.y()});
  if (hoveredIndex_ < 0 || hoveredIndex_ >= TotalMenuItemCount()) return;
  QAction* item = owner_->PopupMenu->actions()[hoveredIndex_];
  hide();
  if (!item->isSeparator()) emit item->triggered(item->isChecked());
}

void TFlyOverMenu::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), MenuColour());
  if (layout_.Count() == 0 || !MenuExists()) return;
  qDrawWinPanel(&painter, rect(), palette(), false);
  painter.setFont(menuFont_);
  const QList<QAction*> items = owner_->PopupMenu->actions();
  for (int i = 0; i < layout_.Count() && i < items.size(); ++i) {
    const console::Rect place = layout_.MenuItemRect(i);
    DrawMenuItem(painter, QRect(place.left, place.top, place.Width(), place.Height()), *items[i],
                 i == hoveredIndex_);
  }
}

TFlyOverMenuSpdBtn::TFlyOverMenuSpdBtn(QWidget* parent, const console::TickTimerFactory& timers)
    : QToolButton(parent), flyOver_(new TFlyOverMenu(this)), leaveTimer_(timers([this] { TimerEvent(); })) {}

TFlyOverMenuSpdBtn::~TFlyOverMenuSpdBtn() { StopTimer(); }

void TFlyOverMenuSpdBtn::enterEvent(QEnterEvent* event) {
  QToolButton::enterEvent(event);
  CMMouseEnter();
}

void TFlyOverMenuSpdBtn::leaveEvent(QEvent* event) {
  QToolButton::leaveEvent(event);
  CMMouseLeave();
}

void TFlyOverMenuSpdBtn::CMMouseEnter() {
  if (!isEnabled()) return;
  // Back within the grace: the old leave must not close the window shown now.
  StopTimer();
  const QPoint corner = mapToGlobal(QPoint(0, height()));
  flyOver_->ActivateAtPoint(corner.x(), corner.y());
}

void TFlyOverMenuSpdBtn::CMMouseLeave() {
  if (isEnabled()) StartTimer(kLeaveGraceMs);
}

void TFlyOverMenuSpdBtn::StartTimer(int ms) {
  StopTimer();
  leaveTimer_->Start(ms);
}

void TFlyOverMenuSpdBtn::StopTimer() { leaveTimer_->Stop(); }

void TFlyOverMenuSpdBtn::TimerEvent() {
  StopTimer();
  if (!flyOver_->MouseInside()) flyOver_->hide();
}

void TFlyOverMenuSpdBtn::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) QToolButton::mousePressEvent(event);
  else event->accept();
}

void TFlyOverMenuSpdBtn::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  const bool click = rect().contains(event->position().toPoint());
  QToolButton::mouseReleaseEvent(event);
  if (click) flyOver_->hide();
}

void TFlyOverMenuSpdBtn::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }
