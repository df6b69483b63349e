#include "buffer/core/BufferMapModel.h"

#include <algorithm>
#include <cstring>

namespace buffer {

MapCell ClassifyBlock(const std::uint8_t* block) {
  const std::uint8_t first = block[0];
  if (first != 0x00 && first != 0xFF) return kDataBlock;
  // Eight bytes at a time: a block is uniform when every word equals the first byte spread.
  const std::uint64_t uniform = first == 0x00 ? 0 : ~std::uint64_t{0};
  for (std::int32_t i = 0; i < kMapBlockBytes; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, block + i, sizeof word);
    if (word != uniform) return kDataBlock;
  }
  return first == 0x00 ? kAllBitLowBlock : kAllBitHighBlock;
}

std::vector<MapCell> ClassifyMap(const std::uint8_t* data, std::int32_t bufSize,
                                 std::int32_t mapOffset, std::int32_t rows,
                                 std::int32_t columns) {
  const std::int64_t count = std::int64_t{std::max(rows, 0)} * std::max(columns, 0);
  std::vector<MapCell> cells(static_cast<std::size_t>(count), kNoBlock);
  for (std::int64_t i = 0; i < count; ++i) {
    const std::int64_t address = std::int64_t{mapOffset} + i * kMapBlockBytes;
    if (address < 0 || address + kMapBlockBytes > bufSize) break;
    cells[static_cast<std::size_t>(i)] = ClassifyBlock(data + address);
  }
  return cells;
}

MapScrollRange MapScrollRangeOf(std::int32_t bufSize, std::int32_t columns, std::int32_t rows) {
  const std::int64_t rowBytes = std::int64_t{columns} * kMapBlockBytes;
  if (rowBytes <= 0 || bufSize <= rowBytes * rows) return {false, 0};
  // The position whose first row is the one after the last full row, at least 1: a last
  // partial row below the shown ones is reachable too.
  const std::int64_t last = bufSize / rowBytes - rows + 1;
  return {true, static_cast<std::int32_t>(std::max<std::int64_t>(last, 1))};
}

std::int32_t MapOffsetAt(std::int32_t position, std::int32_t columns) {
  return position * columns * kMapBlockBytes;
}

std::int32_t MapAddressAt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::int32_t columns, std::int32_t rows, std::int32_t mapOffset) {
  // A map too small for whole pixels per cell still names a block rather than dividing by 0.
  const std::int32_t cellWidth = std::max(1, width / std::max(columns, 1));
  const std::int32_t cellHeight = std::max(1, height / std::max(rows, 1));
  const std::int32_t column = x / cellWidth;
  const std::int32_t row = y / cellHeight;
  return column * kMapBlockBytes + row * columns * kMapBlockBytes + mapOffset;
}

}  // namespace buffer
