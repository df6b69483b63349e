#pragma once
// The programmer's 4 x 20 character LCD on screen: each character a 9 x 13 cell cut from a
// glyph sheet, the cursor cell inverted, everything drawn off screen and shown in one piece.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <span>

#include "console/core/LcdText.h"

class TLcdPainBox : public QWidget {
  Q_OBJECT

 public:
  explicit TLcdPainBox(QWidget* owner = nullptr);

  // Copies the 81 significant bytes of the caller's block (the caller keeps it) and redraws.
  // A shorter block fills only the bytes it has. Returns 1.
  int SetText(std::span<const uint8_t> block);
  // Redraws the off-screen image from the text block and puts it on the screen.
  void DrawAll();

  const QImage& Picture_Data() const { return glyphHolder_; }
  void SetDataPictur(const QImage& picture);

  // Background colour parts; a new value shows at the next draw, which keeps only its
  // remainder modulo 256.
  int32_t RED = 145;
  int32_t GREEN = 138;
  int32_t BLUE = 142;

  const console::LcdTextBlock& TextBlock() const { return textBlock_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void RenderOffscreen();
  void CopyCell(int code, const QRect& target, bool inverted);

  QImage glyphHolder_;
  QImage offscreen_;
  int columns_ = console::kLcdColumns;
  int rows_ = console::kLcdRows;
  int cellWidth_ = 9;
  int cellHeight_ = 13;
  int horizontalGap_ = 1;
  int verticalGap_ = 1;
  console::LcdTextBlock textBlock_{};
};
