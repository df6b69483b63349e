#pragma once
// The LCD text block: four lines of twenty character codes, then the index of the cursor
// cell (80 or more: no cursor). The block is 100 bytes; only the first 81 mean anything.
#include <array>
#include <cstdint>

namespace console {

inline constexpr int kLcdColumns = 20;
inline constexpr int kLcdRows = 4;
inline constexpr int kLcdCursorByte = kLcdColumns * kLcdRows;      // 80
inline constexpr int kLcdSignificantBytes = kLcdCursorByte + 1;    // 81
inline constexpr int kLcdBlockSize = kLcdColumns * kLcdRows + 20;  // 100
inline constexpr uint8_t kNoCursor = 0xFF;

using LcdTextBlock = std::array<uint8_t, kLcdBlockSize>;

// What the LCD shows from start-up until the programmer sends its first screen.
LcdTextBlock StartupBanner();

}  // namespace console
