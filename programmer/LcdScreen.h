#pragma once
// The programmer's 4 x 20 character LCD as its firmware writes it: character codes line by
// line and the cell of the cursor, sent to the PC as one 81-byte LCD command.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace programmer {

inline constexpr int kLcdColumns = 20;
inline constexpr int kLcdRows = 4;
inline constexpr uint8_t kLcdNoCursor = 0xFF;

class LcdScreen {
 public:
  LcdScreen() { Clear(); }

  // Blank lines, no cursor.
  void Clear();
  // Writes `text` from column `column` of line `row`; what does not fit is cut off.
  void Write(int row, int column, std::string_view text);
  // Writes a whole line: `text` padded with blanks or cut to 20 characters.
  void SetLine(int row, std::string_view text);
  void SetCursor(int row, int column) { cursor_ = static_cast<uint8_t>(row * kLcdColumns + column); }
  void HideCursor() { cursor_ = kLcdNoCursor; }

  std::string Line(int row) const;
  uint8_t cursor() const { return cursor_; }
  // The LCD command's payload: the 80 characters, then the cursor cell.
  std::vector<uint8_t> Payload() const;

  friend bool operator==(const LcdScreen&, const LcdScreen&) = default;

 private:
  std::array<uint8_t, kLcdColumns * kLcdRows> cells_{};
  uint8_t cursor_ = kLcdNoCursor;
};

}  // namespace programmer
