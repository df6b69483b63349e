#pragma once
// The buffer map's arithmetic, apart from any widget: which of the four kinds each 256-byte
// block is, which blocks a map position shows, the scroll range, the address under a pixel.
// It reads only the window the map shows, so its cost does not grow with the buffer.
#include <cstdint>
#include <vector>

namespace buffer {

inline constexpr std::int32_t kMapBlockBytes = 256;
// The Dump Edit's map: 24 blocks to a row (6 KB), 16 rows at a time.
inline constexpr std::int32_t kMapColumns = 24;
inline constexpr std::int32_t kMapRows = 16;
inline constexpr std::int32_t kMapRowBytes = kMapColumns * kMapBlockBytes;

// What a map cell shows.
enum MapCell : std::int32_t {
  kAllBitLowBlock = 0,   // all 256 bytes 0x00
  kAllBitHighBlock = 1,  // all 256 bytes 0xFF
  kDataBlock = 2,        // anything else
  kNoBlock = 3,          // the block does not lie wholly inside the buffer
};

// The kind of the 256 bytes from `block`.
MapCell ClassifyBlock(const std::uint8_t* block);

// The cells of a map of `rows` x `columns` whose first block starts at `mapOffset`, row by
// row. Blocks reaching past `bufSize` (and every later one) are kNoBlock; `data` may be null
// when no block fits.
std::vector<MapCell> ClassifyMap(const std::uint8_t* data, std::int32_t bufSize,
                                 std::int32_t mapOffset, std::int32_t rows,
                                 std::int32_t columns);

// The map's scroll bar for a buffer: enabled whenever some row of blocks lies below the
// shown rows; position p shows the rows from p on.
struct MapScrollRange {
  bool enabled;
  std::int32_t maximum;
};
MapScrollRange MapScrollRangeOf(std::int32_t bufSize, std::int32_t columns, std::int32_t rows);

// The buffer address of the map's first cell at a scroll position.
std::int32_t MapOffsetAt(std::int32_t position, std::int32_t columns);

// The address of the block under pixel (x, y) of a map `width` x `height` pixels large, shown
// even where that block lies beyond the buffer.
std::int32_t MapAddressAt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          std::int32_t columns, std::int32_t rows, std::int32_t mapOffset);

}  // namespace buffer
