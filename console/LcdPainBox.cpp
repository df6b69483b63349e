#include "console/LcdPainBox.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

TLcdPainBox::TLcdPainBox(QWidget* owner) : QWidget(owner) {
  resize(202, rows_ * cellHeight_ + (rows_ + 2) * verticalGap_);
  offscreen_ = QImage(width() + 100, height() + 100, QImage::Format_RGB32);
  offscreen_.fill(Qt::black);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLcdPainBox::SetDataPictur(const QImage& picture) {
  glyphHolder_ = picture.convertToFormat(QImage::Format_RGB32);
}

int TLcdPainBox::SetText(std::span<const uint8_t> block) {
  size_t count = std::min<size_t>(block.size(), console::kLcdSignificantBytes);
  std::memcpy(textBlock_.data(), block.data(), count);
  DrawAll();
  return 1;
}

void TLcdPainBox::DrawAll() {
  RenderOffscreen();
  // At once, not at the next pass of the event loop: a link tick may keep it busy a while.
  repaint();
}

void TLcdPainBox::RenderOffscreen() {
  // The remainder keeps the dividend's sign: -1 stays -1 and is drawn with the low byte 0xFF.
  RED %= 256;
  GREEN %= 256;
  BLUE %= 256;
  QColor background(RED & 0xFF, GREEN & 0xFF, BLUE & 0xFF);
  if (offscreen_.width() < width() + 100 || offscreen_.height() < height() + 100)
    offscreen_ = QImage(width() + 100, height() + 100, QImage::Format_RGB32);
  {
    QPainter painter(&offscreen_);
    painter.setPen(Qt::black);
    painter.setBrush(background);
    painter.drawRect(0, 0, width() - 1, height() - 1);
  }
  if (glyphHolder_.width() <= 0 || glyphHolder_.height() <= 0) return;
  int cursor = textBlock_[console::kLcdCursorByte];
  for (int line = 0; line < rows_; ++line) {
    for (int column = 0; column < columns_; ++column) {
      int cell = line * columns_ + column;
      QRect target(horizontalGap_ + column * (cellWidth_ + horizontalGap_),
                   verticalGap_ + line * (cellHeight_ + verticalGap_), cellWidth_, cellHeight_);
      CopyCell(textBlock_[cell], target, cell == cursor);
    }
  }
}

// Copies glyph `code` into the off-screen cell; the cursor cell gets glyph XOR background,
// so it shows in the inverse of the background. Sheet pixels that do not exist change
// nothing.
void TLcdPainBox::CopyCell(int code, const QRect& target, bool inverted) {
  int sourceLeft = (code % 16) * cellWidth_;
  int sourceTop = (code / 16) * cellHeight_;
  for (int y = 0; y < cellHeight_; ++y) {
    int sy = sourceTop + y;
    int ty = target.top() + y;
    if (sy >= glyphHolder_.height() || ty >= offscreen_.height()) break;
    const QRgb* source = reinterpret_cast<const QRgb*>(glyphHolder_.constScanLine(sy));
    QRgb* destination = reinterpret_cast<QRgb*>(offscreen_.scanLine(ty));
    for (int x = 0; x < cellWidth_; ++x) {
      int sx = sourceLeft + x;
      int tx = target.left() + x;
      if (sx >= glyphHolder_.width() || tx >= offscreen_.width()) break;
      QRgb pixel = source[sx] & 0xFFFFFF;
      if (inverted) pixel ^= destination[tx] & 0xFFFFFF;
      destination[tx] = 0xFF000000u | pixel;
    }
  }
}

void TLcdPainBox::paintEvent(QPaintEvent*) {
  RenderOffscreen();
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), offscreen_, QRect(0, 0, width(), height()));
}
