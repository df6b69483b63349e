#include "console/core/PortAddressText.h"

#include "buffer/core/HexText.h"

namespace console {

uint32_t ParsePortAddress(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
    pos += 2;
  return buffer::ParseHexDigits(std::string_view(text).substr(pos));
}

}  // namespace console
