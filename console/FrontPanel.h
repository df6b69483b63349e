#pragma once
// The programmer's front panel as the console draws it: a bezel with the LCD window and the
// caps of the eighteen keys. The keypad buttons of the main form sit over the caps.
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

inline constexpr int kFrontPanelWidth = 300;
inline constexpr int kFrontPanelHeight = 420;
// Where the LCD widget stands on the panel.
inline const QRect kLcdPlace(32, 26, 202, 58);

struct KeyCap {
  QString label;
  int code;    // the key code the key gives
  QRect rect;  // on the panel
};

// Hex keys in four rows of four (C..F at the top, 0..3 at the bottom), then ESC and ENTER.
const std::vector<KeyCap>& FrontPanelKeyCaps();

QImage MakeFrontPanelPicture();
