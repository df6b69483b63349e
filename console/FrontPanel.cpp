#include "console/FrontPanel.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "console/core/LinkState.h"

namespace {

constexpr int kKeyWidth = 48;
constexpr int kKeyHeight = 40;
constexpr int kKeyGap = 14;
constexpr int kKeysLeft = (kFrontPanelWidth - (4 * kKeyWidth + 3 * kKeyGap)) / 2;
constexpr int kKeysTop = 146;

std::vector<KeyCap> LayOutKeyCaps() {
  static const int kRows[4][4] = {
      {0xC, 0xD, 0xE, 0xF}, {0x8, 0x9, 0xA, 0xB}, {0x4, 0x5, 0x6, 0x7}, {0x0, 0x1, 0x2, 0x3}};
  std::vector<KeyCap> caps;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      int digit = kRows[row][column];
      QRect rect(kKeysLeft + column * (kKeyWidth + kKeyGap),
                 kKeysTop + row * (kKeyHeight + kKeyGap), kKeyWidth, kKeyHeight);
      caps.push_back({QString::number(digit, 16).toUpper(), console::kHexKey0 + digit, rect});
    }
  }
  int bottom = kKeysTop + 4 * (kKeyHeight + kKeyGap);
  int wide = 2 * kKeyWidth + kKeyGap;
  caps.push_back({"ESC", console::kEscKey, QRect(kKeysLeft, bottom, wide, kKeyHeight)});
  caps.push_back({"ENTER", console::kEnterKey,
                  QRect(kKeysLeft + wide + kKeyGap, bottom, wide, kKeyHeight)});
  return caps;
}

void DrawBezel(QPainter& painter) {
  painter.fillRect(0, 0, kFrontPanelWidth, kFrontPanelHeight, QColor(212, 208, 200));
  QLinearGradient face(0, 0, 0, kFrontPanelHeight);
  face.setColorAt(0, QColor(92, 98, 108));
  face.setColorAt(1, QColor(52, 56, 64));
  QPainterPath outline;
  outline.addRoundedRect(QRectF(2.5, 2.5, kFrontPanelWidth - 5, kFrontPanelHeight - 5), 14, 14);
  painter.setPen(QPen(QColor(24, 26, 30), 2));
  painter.setBrush(face);
  painter.drawPath(outline);
}

void DrawLcdWindow(QPainter& painter) {
  QRect window = kLcdPlace.adjusted(-10, -10, 10, 10);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(18, 20, 24));
  painter.drawRoundedRect(window, 5, 5);
  painter.setBrush(QColor(40, 110, 118));
  painter.drawRect(kLcdPlace.adjusted(-3, -3, 3, 3));
}

void DrawNamePlate(QPainter& painter) {
  QFont font("DejaVu Sans");
  font.setPixelSize(15);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(236, 236, 228));
  painter.drawText(QRect(0, 104, kFrontPanelWidth, 22), Qt::AlignCenter, "GANG PROGRAMMER");
  // The power lamp beside the display.
  painter.setPen(QColor(20, 60, 20));
  painter.setBrush(QColor(70, 220, 90));
  painter.drawEllipse(QPoint(266, 44), 6, 6);
  font.setPixelSize(9);
  font.setBold(false);
  painter.setFont(font);
  painter.setPen(QColor(220, 220, 210));
  painter.drawText(QRect(246, 54, 40, 12), Qt::AlignCenter, "POWER");
}

void DrawKeyCap(QPainter& painter, const KeyCap& cap) {
  bool command = cap.code == console::kEscKey || cap.code == console::kEnterKey;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 22, 26));
  painter.drawRoundedRect(cap.rect.translated(2, 3), 6, 6);
  QLinearGradient top(cap.rect.topLeft(), cap.rect.bottomLeft());
  top.setColorAt(0, command ? QColor(236, 120, 96) : QColor(246, 246, 240));
  top.setColorAt(1, command ? QColor(180, 64, 48) : QColor(196, 198, 196));
  painter.setPen(QPen(QColor(30, 30, 30), 1));
  painter.setBrush(top);
  painter.drawRoundedRect(QRectF(cap.rect).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
  QFont font("DejaVu Sans");
  font.setPixelSize(command ? 14 : 18);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(command ? QColor(255, 255, 255) : QColor(32, 32, 40));
  painter.drawText(cap.rect, Qt::AlignCenter, cap.label);
}

}  // namespace

const std::vector<KeyCap>& FrontPanelKeyCaps() {
  static const std::vector<KeyCap> caps = LayOutKeyCaps();
  return caps;
}

QImage MakeFrontPanelPicture() {
  QImage picture(kFrontPanelWidth, kFrontPanelHeight, QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  DrawBezel(painter);
  DrawLcdWindow(painter);
  DrawNamePlate(painter);
  for (const KeyCap& cap : FrontPanelKeyCaps()) DrawKeyCap(painter, cap);
  return picture;
}
