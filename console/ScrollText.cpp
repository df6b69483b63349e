#include "console/ScrollText.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QFont DefaultFont() {
  QFont font("Arial");
  font.setPointSize(10);
  return font;
}

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

}  // namespace

TCustomScrollText::TCustomScrollText(QWidget* parent, const console::TickTimerFactory& timers)
    : QWidget(parent), font_(DefaultFont()), metrics_(font_), model_(metrics_, timers) {
  resize(200, 20);
  model_.PaintNow = [this] { repaint(); };
  model_.Invalidate = [this] { update(); };
}

void TCustomScrollText::SetItems(const QStringList& items) {
  std::vector<std::string> lines;
  for (const QString& item : items) lines.push_back(item.toLatin1().toStdString());
  model_.SetItems(lines);
}

void TCustomScrollText::SetFont(const QFont& font) {
  font_ = font;
  metrics_.SetFont(font_);
  model_.FontChanged();
}

void TCustomScrollText::resizeEvent(QResizeEvent*) { model_.SetSize(width(), height()); }

void TCustomScrollText::mousePressEvent(QMouseEvent* event) { event->accept(); }
void TCustomScrollText::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

QColor TCustomScrollText::Resolved(uint32_t color) const {
  if (color == console::clBtnFace) return palette().color(QPalette::Button);
  if (color == console::clWindow) return palette().color(QPalette::Base);
  // Anything else is a plain 0x00BBGGRR colour.
  return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void TCustomScrollText::DoTextOut(QPainter& painter, int x, int y, const QString& line) const {
  const int X = x + model_.LineOffset(painter.fontMetrics().horizontalAdvance(line));
  const int d = model_.Depth();
  const int baseline = painter.fontMetrics().ascent();
  const QColor highlight = palette().color(QPalette::Light);
  const QColor shadow = palette().color(QPalette::Dark);
  auto copy = [&](const QColor& colour, int atX, int atY) {
    painter.setPen(colour);
    painter.drawText(atX, atY + baseline, line);
  };
  switch (model_.TextStyle()) {
    case console::TTextStyle::tsRaised:
      copy(highlight, X - d, y - d);
      copy(shadow, X + d, y + d);
      break;
    case console::TTextStyle::tsLowered:
      copy(shadow, X - d, y - d);
      copy(highlight, X + d, y + d);
      break;
    case console::TTextStyle::tsShaddow: copy(shadow, X + d, y + d); break;
    case console::TTextStyle::tsNormal: break;
  }
  copy(palette().color(QPalette::WindowText), X, y);
}

QImage TCustomScrollText::Picture() const {
  QImage picture(size(), QImage::Format_RGB32);
  picture.fill(Resolved(model_.Color()));
  QPainter painter(&picture);
  painter.setFont(font_);
  const console::Point start = model_.StartPosition();
  for (size_t i = 0; i < model_.Items().size(); ++i)
    DoTextOut(painter, start.x, start.y + int(i) * model_.LineHeightPx(), Latin1(model_.Items()[i]));
  return picture;
}

void TCustomScrollText::paintEvent(QPaintEvent*) {
  model_.SetSizeParams();
  QPainter(this).drawImage(0, 0, Picture());
}
