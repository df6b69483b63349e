#include "buffer/formats/TextSource.h"

#include <algorithm>

namespace formats {

std::string FormatError::Describe() const {
  return file + ", line " + std::to_string(at.line) + ", column " + std::to_string(at.column) +
         ": " + reason;
}

TextLocation TextSource::LocationOf(size_t position) const {
  position = std::min(position, text_.size());
  auto begin = text_.begin();
  auto at = begin + static_cast<std::ptrdiff_t>(position);
  TextLocation location;
  location.line = static_cast<int32_t>(1 + std::count(begin, at, '\n'));
  auto lineStart = std::find(std::make_reverse_iterator(at), text_.rend(), '\n').base();
  location.column = static_cast<int32_t>(at - lineStart + 1);
  return location;
}

}  // namespace formats
