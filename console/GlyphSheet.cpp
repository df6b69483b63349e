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

void DrawCharacter(QPainter& painter, int code, char16_t character) {
  painter.setClipRect(CellRect(code));
  painter.drawText(CellRect(code), Qt::AlignCenter, QString(QChar(character)));
}

void DrawCharacters(QPainter& painter) {
  painter.setFont(LcdFont());
  painter.setPen(kLcdInk);
  for (int code = 0x21; code <= 0x7E; ++code) DrawCharacter(painter, code, static_cast<char16_t>(code));
  // The few letters the display's own character set has above 0x7F.
  static const struct {
    int code;
    char16_t character;
  } kHighLetters[] = {{0xE4, u'\u03BC'}, {0xE6, u'\u03C1'}, {0xE7, u'g'},      {0xF4, u'\u03A9'},
                      {0xF5, u'\u00FC'}, {0xF6, u'\u03A3'}, {0xF7, u'\u03C0'}};
  for (const auto& letter : kHighLetters) DrawCharacter(painter, letter.code, letter.character);
  painter.setClipping(false);
}

// 0x7F, the left arrow of the display's own character set.
void DrawLeftArrow(QPainter& painter, const QRect& cell) {
  int middle = cell.top() + 6;
  painter.drawLine(cell.left() + 1, middle, cell.left() + 7, middle);
  painter.drawLine(cell.left() + 1, middle, cell.left() + 4, middle - 3);
  painter.drawLine(cell.left() + 1, middle, cell.left() + 4, middle + 3);
}

// A filled triangle through three points given relative to the cell's top left corner.
void DrawTriangle(QPainter& painter, int code, QPoint a, QPoint b, QPoint c) {
  const QPoint corner = CellRect(code).topLeft();
  painter.drawPolygon(QPolygon({corner + a, corner + b, corner + c}));
}

// 0x08..0x0F: a bar rising from the cell's foot in eight steps, one short of the 0x10 block.
void DrawBarLevels(QPainter& painter) {
  constexpr int kFullHeight = kCellHeight - 2;
  for (int level = 1; level <= 8; ++level) {
    const QRect cell = CellRect(0x07 + level);
    const int height = level * (kFullHeight - 1) / 8;
    painter.fillRect(cell.left() + 1, cell.bottom() - height, kCellWidth - 2, height, kLcdInk);
  }
}

void DrawSymbols(QPainter& painter) {
  painter.setPen(kLcdInk);
  painter.setBrush(Qt::NoBrush);
  // 0x00: an empty box.
  painter.drawRect(CellRect(0x00).adjusted(1, 1, -2, -2));
  // 0x06: a tick, 0x07: a cross.
  const QRect tick = CellRect(0x06);
  painter.drawLine(tick.left() + 1, tick.top() + 6, tick.left() + 3, tick.top() + 9);
  painter.drawLine(tick.left() + 3, tick.top() + 9, tick.left() + 7, tick.top() + 2);
  const QRect cross = CellRect(0x07);
  painter.drawLine(cross.left() + 1, cross.top() + 2, cross.left() + 7, cross.top() + 10);
  painter.drawLine(cross.left() + 7, cross.top() + 2, cross.left() + 1, cross.top() + 10);
  painter.setBrush(kLcdInk);
  // 0x01: a filled pointer towards the selected line's text; 0x02..0x04 point up, down, left.
  DrawTriangle(painter, 0x01, {2, 2}, {6, 6}, {2, 10});
  DrawTriangle(painter, 0x02, {1, 8}, {4, 3}, {7, 8});
  DrawTriangle(painter, 0x03, {1, 4}, {4, 9}, {7, 4});
  DrawTriangle(painter, 0x04, {6, 2}, {2, 6}, {6, 10});
  DrawBarLevels(painter);
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
