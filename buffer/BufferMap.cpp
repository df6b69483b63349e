#include "buffer/BufferMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace buffer {
namespace {

constexpr int kOffscreenHeight = 1000;
constexpr int kFrame = 4;       // two frame pixels on each side
constexpr int kCellOrigin = 3;  // first cell pixel, inside the frame

bool InCells(std::int32_t row, std::int32_t column) {
  return row >= 0 && row < TBufferMap::kMaxCells && column >= 0 &&
         column < TBufferMap::kMaxCells;
}

}  // namespace

TBufferMap::TBufferMap(QWidget* parent) : QWidget(parent) {
  resize(40, 40);
  setMouseTracking(true);
}

void TBufferMap::SetDataPictur(const QPixmap& picture) {
  pictureData_ = picture;
  DrawAll();
}

void TBufferMap::SetBitLowPictur(const QPixmap& picture) {
  pictureBitLow_ = picture;
  DrawAll();
}

void TBufferMap::SetBitHeigh(const QPixmap& picture) {
  pictureBitHeigh_ = picture;
  DrawAll();
}

void TBufferMap::SetWColls(std::int32_t columns) {
  // Fewer than one column would leave a map of no cells at all.
  if (columns < 1 || columns >= kMaxCells) return;
  collsW_ = columns;
  DrawAll();
}

void TBufferMap::SetHColls(std::int32_t rows) {
  if (rows < 1 || rows >= kMaxCells) return;
  collsH_ = rows;
  DrawAll();
}

void TBufferMap::SetArrValue(std::int32_t row, std::int32_t column, std::int32_t value) {
  if (value < 0 || value > 3 || !InCells(row, column)) return;
  cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = value;
}

std::int32_t TBufferMap::ReadArrValue(std::int32_t row, std::int32_t column) const {
  if (!InCells(row, column)) return 0;
  return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void TBufferMap::DrawAll() {
  setFixedSize(pictureData_.width() * collsW_ + kFrame,
               pictureData_.height() * collsH_ + kFrame);
  RenderOffscreen();
  update();
}

const QPixmap* TBufferMap::PictureOf(std::int32_t value) const {
  switch (value) {
    case 2: return &pictureData_;
    case 1: return &pictureBitHeigh_;
    case 0: return &pictureBitLow_;
    default: return nullptr;
  }
}

void TBufferMap::RenderOffscreen() {
  const int w = pictureData_.width();
  const int h = pictureData_.height();
  const int right = width() - 1;
  const int bottom = height() - 1;
  // Taller maps than the usual image get an image as tall as they are.
  const QSize size(w * collsW_ + kFrame, std::max(kOffscreenHeight, height()));
  if (offscreen_.size() != size) offscreen_ = QPixmap(size);
  QPainter painter(&offscreen_);
  painter.setPen(Qt::black);
  painter.setBrush(QColor(0xC0, 0xC0, 0xC0));
  painter.drawRect(0, 0, right, bottom);
  // Each line stops one pixel short of its end point, as a pen moved from point to point does.
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawLine(right - 1, 1, 2, 1);
  painter.drawLine(1, 1, 1, bottom - 2);
  painter.setPen(Qt::white);
  painter.drawLine(right - 1, 1, right - 1, bottom - 2);
  painter.drawLine(right - 1, bottom - 1, 2, bottom - 1);
  for (std::int32_t i = 0; i < collsH_; ++i) {
    for (std::int32_t j = 0; j < collsW_; ++j) {
      const QPixmap* picture = PictureOf(ReadArrValue(i, j));
      if (!picture) continue;
      const int p = picture->width();
      const int q = picture->height();
      painter.drawPixmap(QRect(kCellOrigin + j * p, kCellOrigin + i * q, p, q), *picture,
                         QRect(0, 0, w, h));
    }
  }
}

void TBufferMap::Paint() {
  RenderOffscreen();
  QPainter painter(this);
  painter.drawPixmap(0, 0, offscreen_, 0, 0, width(), height());
}

void TBufferMap::paintEvent(QPaintEvent*) { Paint(); }

void TBufferMap::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseMove(at.x(), at.y());
}

}  // namespace buffer
