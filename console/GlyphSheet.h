#pragma once
// The LCD's glyph sheet: character code c is the 9 x 13 cell at ((c % 16) * 9, (c / 16) * 13)
// of a 300 x 400 picture, dark blue glyphs on the LCD's background colour.
#include <QColor>
#include <QImage>

inline const QColor kLcdBackground(61, 185, 194);
inline const QColor kLcdInk(0, 64, 168);

// Codes with a glyph: the symbols 0x00..0x10 (among them the two arrow marks of a selected
// menu line, 0x01 and 0x05, and the nearly filled block 0x10), the printable characters
// 0x21..0x7F and the letters 0xE4, 0xE6, 0xE7 and 0xF4..0xF7 (mu, rho, g, Omega, u umlaut,
// Sigma, pi). Every other cell is background.
QImage MakeLcdGlyphSheet();
