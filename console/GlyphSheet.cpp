#include "console/GlyphSheet.h"

#include <QFont>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int kCellWidth = 9;
constexpr int kCellHeight = 13;

QRect CellRect(int code) {
  return QRect((code % 16) * kCellWidth, (code / 16) * kCellHeight, kCellWidth, kCellHeight);
}

QFont LcdFont() {
  QFont font("DejaVu Sans Mono");
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

void DrawCharacters(QPainter& painter) {
  painter.setFont(LcdFont());
  painter.setPen(kLcdInk);
  for (int code = 0x21; code <= 0x7E; ++code) {
    painter.setClipRect(CellRect(code));
    painter.drawText(CellRect(code), Qt::AlignCenter, QString(QChar(code)));
  }
  painter.setClipping(false);
}

// 0x7F, the left arrow of the display's own character set.
void DrawLeftArrow(QPainter& painter, const QRect& cell) {
  int middle = cell.top() + 6;
  painter.drawLine(cell.left() + 1, middle, cell.left() + 7, middle);
  painter.drawLine(cell.left() + 1, middle, cell.left() + 4, middle - 3);
  painter.drawLine(cell.left() + 1, middle, cell.left() + 4, middle + 3);
}

void DrawSymbols(QPainter& painter) {
  painter.setPen(kLcdInk);
  painter.setBrush(kLcdInk);
  // 0x01: a filled pointer towards the selected line's text.
  QRect pointer = CellRect(0x01);
  painter.drawPolygon(QPolygon({QPoint(pointer.left() + 2, pointer.top() + 2),
                                QPoint(pointer.left() + 6, pointer.top() + 6),
                                QPoint(pointer.left() + 2, pointer.top() + 10)}));
  // 0x05: an arrow to the right.
  QRect arrow = CellRect(0x05);
  int middle = arrow.top() + 6;
  painter.drawLine(arrow.left() + 1, middle, arrow.left() + 7, middle);
  painter.drawLine(arrow.left() + 7, middle, arrow.left() + 4, middle - 3);
  painter.drawLine(arrow.left() + 7, middle, arrow.left() + 4, middle + 3);
  // 0x10: a block one pixel short of the cell on every side.
  painter.fillRect(CellRect(0x10).adjusted(1, 1, -1, -1), kLcdInk);
  DrawLeftArrow(painter, CellRect(0x7F));
}

}  // namespace

QImage MakeLcdGlyphSheet() {
  QImage sheet(300, 400, QImage::Format_RGB32);
  sheet.fill(kLcdBackground);
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::Antialiasing, false);
  DrawCharacters(painter);
  DrawSymbols(painter);
  return sheet;
}
