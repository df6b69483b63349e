#pragma once
// The buffer map widget: a sunken frame with a grid of cells, each drawn from one of three
// pictures by its value (2 data, 1 all bits 1, 0 all bits 0; anything else leaves the
// background). Drawing goes through an off-screen image, so a repaint copies one rectangle.
#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstdint>

namespace buffer {

class TBufferMap : public QWidget {
  Q_OBJECT

 public:
  static constexpr std::int32_t kMaxCells = 100;

  explicit TBufferMap(QWidget* parent = nullptr);

  // The three cell pictures; each setter copies the picture and redraws.
  const QPixmap& Picture_Data() const { return pictureData_; }
  const QPixmap& Picture_BitLow() const { return pictureBitLow_; }
  const QPixmap& Picture_BitHeigh() const { return pictureBitHeigh_; }
  void SetDataPictur(const QPixmap& picture);
  void SetBitLowPictur(const QPixmap& picture);
  void SetBitHeigh(const QPixmap& picture);

  // Columns and rows in use: values from 1 to kMaxCells - 1 are taken (and redraw), others
  // ignored.
  std::int32_t Colls_W() const { return collsW_; }
  std::int32_t Colls_H() const { return collsH_; }
  void SetWColls(std::int32_t columns);
  void SetHColls(std::int32_t rows);

  // A cell's value: stored only for 0..3 inside the 100 x 100 cells; read as 0 outside them.
  // Neither redraws.
  void SetArrValue(std::int32_t row, std::int32_t column, std::int32_t value);
  std::int32_t ReadArrValue(std::int32_t row, std::int32_t column) const;

  // Fits the widget to the cells and redraws them all.
  void DrawAll();

 signals:
  void MouseMove(int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void Paint();
  void RenderOffscreen();
  const QPixmap* PictureOf(std::int32_t value) const;

  QPixmap pictureData_;
  QPixmap pictureBitLow_;
  QPixmap pictureBitHeigh_;
  QPixmap offscreen_;
  std::int32_t collsH_ = 6;
  std::int32_t collsW_ = 10;
  std::array<std::array<std::int32_t, kMaxCells>, kMaxCells> cells_{};
};

}  // namespace buffer
