#include "console/core/LcdText.h"

#include <cstring>

namespace console {

LcdTextBlock StartupBanner() {
  static const char* const kLines[kLcdRows] = {
      "                    ",
      "  GANG PROGRAMMER   ",
      "  Connect hardware  ",
      "***Please waiting***",
  };
  LcdTextBlock block{};
  for (int line = 0; line < kLcdRows; ++line)
    std::memcpy(block.data() + line * kLcdColumns, kLines[line], kLcdColumns);
  block[kLcdCursorByte] = kNoCursor;
  return block;
}

}  // namespace console
