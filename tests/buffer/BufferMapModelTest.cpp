// The buffer map's arithmetic: block kinds, the cells of a map window and the scroll range.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "buffer/core/BufferMapModel.h"

namespace buffer {
namespace {

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t fill) {
  return std::vector<std::uint8_t>(size, fill);
}

TEST(BufferMapModel, ABlockIsAllBitsLowAllBitsHighOrData) {
  struct Case {
    const char* name;
    std::uint8_t fill;
    std::vector<std::pair<int, std::uint8_t>> changes;
    MapCell kind;
  };
  const std::vector<Case> cases{
      {"zeros", 0x00, {}, kAllBitLowBlock},
      {"ones", 0xFF, {}, kAllBitHighBlock},
      {"zeros with 01 at the end", 0x00, {{255, 0x01}}, kDataBlock},
      {"ones with 00 at the end", 0xFF, {{255, 0x00}}, kDataBlock},
      {"ones with FE in the middle", 0xFF, {{131, 0xFE}}, kDataBlock},
      {"data first", 0x00, {{0, 0x55}}, kDataBlock},
      {"uniform other byte", 0x5A, {}, kDataBlock},
  };
  for (const Case& c : cases) {
    auto block = Bytes(256, c.fill);
    for (auto [at, value] : c.changes) block[static_cast<std::size_t>(at)] = value;
    EXPECT_EQ(ClassifyBlock(block.data()), c.kind) << c.name;
  }
  auto halves = Bytes(256, 0x00);
  std::memset(halves.data() + 128, 0xFF, 128);
  EXPECT_EQ(ClassifyBlock(halves.data()), kDataBlock);
}

TEST(BufferMapModel, BlocksPastTheBufferAreEmptyCells) {
  // 0x10000 bytes: rows 0 to 9 are full (0xF000 bytes), row 10 holds 16 blocks.
  auto small = Bytes(0x10000 + 1024, 0x00);
  small[0x100] = 0x12;
  std::memset(small.data() + 0xFF00, 0xFF, 0x100);
  const auto cells = ClassifyMap(small.data(), 0x10000, 0, kMapRows, kMapColumns);
  ASSERT_EQ(cells.size(), 16u * 24u);
  EXPECT_EQ(cells[0], kAllBitLowBlock);
  EXPECT_EQ(cells[1], kDataBlock);
  EXPECT_EQ(cells[10 * 24 + 14], kAllBitLowBlock);
  EXPECT_EQ(cells[10 * 24 + 15], kAllBitHighBlock);  // 0xFF00
  for (std::size_t i = 10 * 24 + 16; i < cells.size(); ++i) EXPECT_EQ(cells[i], kNoBlock) << i;

  // A partial last block is no block.
  const auto partial = ClassifyMap(small.data(), 0xFFFF, 0, kMapRows, kMapColumns);
  EXPECT_EQ(partial[10 * 24 + 14], kAllBitLowBlock);
  EXPECT_EQ(partial[10 * 24 + 15], kNoBlock);

  EXPECT_EQ(ClassifyMap(nullptr, 0, 0, 2, 3), std::vector<MapCell>(6, kNoBlock));
}

TEST(BufferMapModel, ASixteenMegabyteBufferEndsInItsLastRow) {
  constexpr std::int32_t kSize = 0x1000000;
  auto big = Bytes(kSize + 1024, 0x00);
  const MapScrollRange range = MapScrollRangeOf(kSize, kMapColumns, kMapRows);
  EXPECT_EQ(range.maximum, 0x1000000 / 6144 - 15);
  const std::int32_t offset = MapOffsetAt(range.maximum, kMapColumns);
  big[static_cast<std::size_t>(kSize - 256)] = 0x42;
  const auto cells = ClassifyMap(big.data(), kSize, offset, kMapRows, kMapColumns);
  // The buffer ends 16 blocks into row 15.
  EXPECT_EQ(offset + 15 * 6144 + 16 * 256, kSize);
  EXPECT_EQ(cells[0], kAllBitLowBlock);
  EXPECT_EQ(cells[15 * 24 + 14], kAllBitLowBlock);
  EXPECT_EQ(cells[15 * 24 + 15], kDataBlock);
  EXPECT_EQ(cells[15 * 24 + 16], kNoBlock);
}

TEST(BufferMapModel, TheScrollBarServesEveryHiddenRow) {
  struct Case {
    std::int32_t bufSize;
    bool enabled;
    std::int32_t maximum;
  };
  const Case cases[] = {
      {0, false, 0},         {0x10000, false, 0},   {0x18000, false, 0},
      // A 17th row, partial or full, is reached at position 1.
      {0x18001, true, 1},    {0x18100, true, 1},    {0x197FF, true, 1},
      {0x19800, true, 2},    {0x30000, true, 17},   {0x100000, true, 155},
      {0x1020000, true, 2737}, {0x1000000, true, 2715},
  };
  for (const Case& c : cases) {
    const MapScrollRange range = MapScrollRangeOf(c.bufSize, kMapColumns, kMapRows);
    EXPECT_EQ(range.enabled, c.enabled) << std::hex << c.bufSize;
    if (c.enabled) {
      EXPECT_EQ(range.maximum, c.maximum) << std::hex << c.bufSize;
    }
  }
  EXPECT_EQ(MapScrollRangeOf(0x100000, 0, kMapRows).enabled, false);
}

}  // namespace
}  // namespace buffer
