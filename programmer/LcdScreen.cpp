#include "programmer/LcdScreen.h"

#include <algorithm>

namespace programmer {

void LcdScreen::Clear() {
  cells_.fill(' ');
  cursor_ = kLcdNoCursor;
}

void LcdScreen::Write(int row, int column, std::string_view text) {
  if (row < 0 || row >= kLcdRows || column < 0 || column >= kLcdColumns) return;
  const size_t room = static_cast<size_t>(kLcdColumns - column);
  const auto start = cells_.begin() + row * kLcdColumns + column;
  std::copy_n(text.begin(), std::min(text.size(), room), start);
}

void LcdScreen::SetLine(int row, std::string_view text) {
  if (row < 0 || row >= kLcdRows) return;
  std::fill_n(cells_.begin() + row * kLcdColumns, kLcdColumns, static_cast<uint8_t>(' '));
  Write(row, 0, text);
}

std::string LcdScreen::Line(int row) const {
  const auto start = cells_.begin() + row * kLcdColumns;
  return std::string(start, start + kLcdColumns);
}

std::vector<uint8_t> LcdScreen::Payload() const {
  std::vector<uint8_t> payload(cells_.begin(), cells_.end());
  payload.push_back(cursor_);
  return payload;
}

}  // namespace programmer
