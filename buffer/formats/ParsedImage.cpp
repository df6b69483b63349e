#include "buffer/formats/ParsedImage.h"

#include <algorithm>

#include "buffer/core/LargeBlocks.h"

namespace formats {

ParsedImage::ParsedImage(int32_t fillSize, uint8_t fill) {
  const size_t filled = fillSize > 0 ? static_cast<size_t>(fillSize) : 0;
  // Each byte written once: an image may be as large as the whole buffer.
  buffer::ReserveLargeBlock(bytes_, filled + kSpare);
  bytes_.assign(filled, fill);
  bytes_.resize(filled + kSpare, 0);
  limit_ = std::max<uint64_t>(kLimit, bytes_.size());
}

void ParsedImage::ExpectEnd(uint64_t end) {
  buffer::ReserveLargeBlock(bytes_, static_cast<size_t>(std::min(end, limit_)));
}

bool ParsedImage::Grow(uint64_t end) {
  if (end > limit_) return false;
  // Doubling keeps a file of many records above the first size from copying the image
  // once a record; the size itself is exact.
  if (end > bytes_.capacity())
    buffer::ReserveLargeBlock(bytes_, static_cast<size_t>(std::min<uint64_t>(
                                          limit_, std::max<uint64_t>(end, 2 * bytes_.capacity()))));
  bytes_.resize(static_cast<size_t>(end), 0);
  return true;
}

}  // namespace formats
