// Range fill and the three swaps: exactly the bytes they should touch, odd sizes, and the
// progress steps of a per-byte test made per chunk.
#include "buffer/core/BufferOps.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/buffer/BufferFormFixture.h"

namespace buffer {
namespace {

struct SwapCase {
  int unit;
  std::uint32_t size;
  std::vector<std::uint8_t> expected;  // from the counting bytes 00 01 02 ...
};

class SwapTest : public BufferFormTest, public ::testing::WithParamInterface<SwapCase> {};

TEST_P(SwapTest, WholePairsOnlyAndTheSlackUntouched) {
  const SwapCase& c = GetParam();
  Resize(c.size, 0);
  Write(0, Counting(c.size));
  Write(c.size, Bytes(8, 0xEE));  // slack
  SwapBuffer(form_, c.unit);
  EXPECT_EQ(Read(0, c.size), c.expected);
  EXPECT_EQ(Read(c.size, 8), Bytes(8, 0xEE));
  EXPECT_EQ(progress_.captions, std::vector<std::string>{"Processing..."});
  EXPECT_EQ(progress_.shows, 1);
  EXPECT_EQ(progress_.finishes, 1);
  EXPECT_EQ(progress_.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Units, SwapTest,
    ::testing::Values(SwapCase{1, 4, {1, 0, 3, 2}}, SwapCase{2, 4, {2, 3, 0, 1}},
                      SwapCase{4, 8, {4, 5, 6, 7, 0, 1, 2, 3}},
                      SwapCase{1, 5, {1, 0, 3, 2, 4}}, SwapCase{2, 7, {2, 3, 0, 1, 4, 5, 6}},
                      SwapCase{2, 6, {2, 3, 0, 1, 4, 5}},
                      SwapCase{4, 15, {4, 5, 6, 7, 0, 1, 2, 3, 8, 9, 10, 11, 12, 13, 14}},
                      SwapCase{4, 3, {0, 1, 2}}, SwapCase{1, 1, {0}}));

class BufferOpsTest : public BufferFormTest {};

TEST_F(BufferOpsTest, SwapsStepLikeAPerPairTestAndTwoSwapsRestore) {
  for (std::uint32_t size : {0x100000u, 0x30001u, 0x1F4u}) {
    for (int unit : {1, 2, 4}) {
      Resize(size, 0);
      Write(0, Counting(size));
      const int stepsBefore = progress_.steps;
      SwapBuffer(form_, unit);
      const std::int64_t pair = 2 * unit;
      const int expected = StepsAt(0, size - pair, std::max<std::int64_t>(size / 100, 1),
                                   [pair](std::int64_t p) { return p % pair == 0; });
      EXPECT_EQ(progress_.steps - stepsBefore, expected) << size << " unit " << unit;
      Bytes swapped = Counting(size);
      for (std::int64_t p = 0; p + pair <= size; p += pair)
        std::swap_ranges(swapped.begin() + p, swapped.begin() + p + unit,
                         swapped.begin() + p + unit);
      EXPECT_EQ(Read(0, size), swapped) << size << " unit " << unit;
      SwapBuffer(form_, unit);
      EXPECT_EQ(Read(0, size), Counting(size)) << size << " unit " << unit;
    }
  }
}

TEST_F(BufferOpsTest, OtherUnitsDoNothing) {
  Write(0, Counting(8));
  SwapBuffer(form_, 3);
  EXPECT_EQ(Read(0, 8), Counting(8));
  EXPECT_EQ(progress_.shows, 0);
}

struct FillCase {
  std::int32_t start;
  std::int32_t end;
  bool fills;
};

class FillRangeTest : public BufferFormTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillRangeTest, FillsExactlyTheRangeOrNothing) {
  const FillCase& c = GetParam();
  const std::int32_t size = form_.buffer().BufSize();
  Write(size, {0xEE});
  FillRange(form_, c.start, c.end, 0x00);
  if (c.fills) {
    EXPECT_TRUE(AllBytes(c.start, std::int64_t{c.end} + 1, 0x00));
    EXPECT_TRUE(AllBytes(0, c.start, 0xFF));
    EXPECT_TRUE(AllBytes(std::int64_t{c.end} + 1, size, 0xFF));
    EXPECT_EQ(progress_.steps,
              StepsAt(c.start, c.end, std::max((c.end - c.start) / 100, 1),
                      [](auto) { return true; }));
    EXPECT_EQ(progress_.finishes, 1);
  } else {
    EXPECT_TRUE(AllBytes(0, size, 0xFF));
    EXPECT_EQ(progress_.finishes, 0);
  }
  EXPECT_EQ(Read(size, 1), Bytes{0xEE});
  EXPECT_EQ(progress_.shows, 0);  // the caller's window
  EXPECT_EQ(progress_.closes, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, FillRangeTest,
    ::testing::Values(FillCase{0, 0xFFFFF, true}, FillCase{0x10, 0x11, true},
                      FillCase{0x1234, 0x8765, true}, FillCase{0x10, 0x10, false},
                      FillCase{0x20, 0x10, false}, FillCase{0, 0x100000, false},
                      FillCase{-4, 0x10, false}));

}  // namespace
}  // namespace buffer
