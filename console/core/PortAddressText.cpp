#include "console/core/PortAddressText.h"

#include "buffer/core/HexText.h"

namespace console {

uint32_t ParsePortAddress(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
    pos += 2;
  uint64_t value = 0;
  for (; pos < text.size(); ++pos) {
    int digit = buffer::HexDigitValue(text[pos]);
    if (digit < 0) break;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace console
