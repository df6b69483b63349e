// The four merges: growth, fills, even/odd byte and word splits by the file start's parity,
// clipping to the buffer, abandoning on a failed resize, and their progress.
#include "buffer/core/Merge.h"

#include <gtest/gtest.h>

#include "tests/buffer/BufferFormFixture.h"

namespace buffer {
namespace {

class MergeTest : public BufferFormTest {};

TEST_F(MergeTest, GrowthGoesToTheNextMultipleOfSixtyFourKilobytesAboveTheEnd) {
  EXPECT_EQ(MergeGrowthSize(0x110000), 0x120000);
  EXPECT_EQ(MergeGrowthSize(0x20000), 0x30000);
  EXPECT_EQ(MergeGrowthSize(0x1FFFF), 0x20000);

  ASSERT_TRUE(MergeSplit(form_, Bytes(0x20000, 0x11), 0x20000, 0xF0000, kPlainStride));
  EXPECT_EQ(form_.buffer().BufSize(), 0x120000);
  EXPECT_TRUE(AllBytes(0xF0000, 0x110000, 0x11));
  EXPECT_TRUE(AllBytes(0, 0xF0000, 0xFF));
  EXPECT_TRUE(AllBytes(0x110000, 0x120000, 0xFF));  // the grow's tail fill

  Resize(0x10000, 0);
  ASSERT_TRUE(MergeSplitWithFill(form_, Bytes(0x10000, 1), 0x10000, 0x10000, 0, kPlainStride));
  EXPECT_EQ(form_.buffer().BufSize(), 0x30000);
  ASSERT_TRUE(MergeData(form_, Bytes(0x30000, 2), 0x30000, 0x8000));
  EXPECT_EQ(form_.buffer().BufSize(), 0x38000);
}

struct SplitCase {
  const char* name;
  std::int32_t fileStart;
  int evenOdd;
  int byteWord;
  std::vector<std::uint8_t> placed;
};

class SplitTest : public BufferFormTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitTest, TakesTheEvenOrOddBytesOrWordsOfTheFile) {
  const SplitCase& c = GetParam();
  SetLoadDlg("EvenOdd", c.evenOdd);
  SetLoadDlg("EvenOddByteWord", c.byteWord);
  form_.fields().FileStartAdd = c.fileStart;
  ASSERT_TRUE(MergeSplitWithFill(form_, Counting(7, 0x10), 7, 0x100, 0xA5, kSplitStride));
  EXPECT_EQ(Read(0x100, c.placed.size()), c.placed);
  EXPECT_TRUE(AllBytes(0x100 + c.placed.size(), 0x100000, 0xA5));
  EXPECT_TRUE(AllBytes(0, 0x100, 0xA5));
}

INSTANTIATE_TEST_SUITE_P(
    Splits, SplitTest,
    ::testing::Values(SplitCase{"ByteEven", 0, 1, 0, {0x10, 0x12, 0x14, 0x16}},
                      SplitCase{"ByteOdd", 0, 2, 0, {0x11, 0x13, 0x15}},
                      SplitCase{"ByteEvenFromOddStart", 1, 1, 0, {0x11, 0x13, 0x15}},
                      SplitCase{"ByteOddFromOddStart", 1, 2, 0, {0x10, 0x12, 0x14, 0x16}},
                      // The last word's missing second byte is 0x00.
                      SplitCase{"WordEven", 0, 1, 1, {0x10, 0x11, 0x14, 0x15}},
                      SplitCase{"WordOdd", 0, 2, 1, {0x12, 0x13, 0x16, 0x00}},
                      SplitCase{"WordEvenFromStart3", 3, 1, 1, {0x11, 0x12, 0x15, 0x16}},
                      SplitCase{"WordOddFromStart3", 3, 2, 1, {0x13, 0x14}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MergeTest, MergeSplitIsAByteSplitAndKeepsWhatTheDataDoNotReach) {
  SetLoadDlg("EvenOdd", 1);
  SetLoadDlg("EvenOddByteWord", 1);  // read only by the merge with fill
  Write(0, Bytes(0x20, 0x33));
  ASSERT_TRUE(MergeSplit(form_, Counting(8, 0x10), 8, 4, kSplitStride));
  EXPECT_EQ(Read(0, 12), (Bytes{0x33, 0x33, 0x33, 0x33, 0x10, 0x12, 0x14, 0x16, 0x33, 0x33,
                                0x33, 0x33}));
  EXPECT_EQ(progress_.shows, 0);
}

TEST_F(MergeTest, EveryWriteIsClippedToTheBuffer) {
  // A hand-edited negative destination places only what lands inside.
  ASSERT_TRUE(MergeSplitWithFill(form_, Counting(4, 0x10), 4, -2, 0x00, kPlainStride));
  EXPECT_EQ(Read(0, 3), (Bytes{0x12, 0x13, 0x00}));
  ASSERT_TRUE(MergeWithSplitMode(form_, Counting(4, 0x20), 4, -3, 0x5A));
  EXPECT_EQ(Read(0, 2), (Bytes{0x23, 0x5A}));
  SetLoadDlg("EvenOdd", 1);
  ASSERT_TRUE(MergeSplit(form_, Counting(8, 0x40), 8, -1, kSplitStride));
  EXPECT_EQ(Read(0, 4), (Bytes{0x42, 0x44, 0x46, 0x5A}));
  ASSERT_TRUE(MergeData(form_, Counting(4, 0x60), 4, -2));
  EXPECT_EQ(Read(0, 3), (Bytes{0x62, 0x63, 0x46}));
  EXPECT_EQ(form_.buffer().BufSize(), 0x100000);

  // A length beyond the block reads only the block; the slack is never written.
  Write(0x100000, {0xEE});
  ASSERT_TRUE(MergeSplit(form_, Counting(2, 0x70), 0x10, 0xFFFF0, kPlainStride));
  EXPECT_EQ(Read(0xFFFF0, 3), (Bytes{0x70, 0x71, 0x5A}));
  ASSERT_TRUE(MergeData(form_, Bytes(0x20, 0x77), 0x10, 0xFFFF0));
  EXPECT_EQ(Read(0xFFFF0, 0x10), Bytes(0x10, 0x77));
  EXPECT_EQ(Read(0x100000, 1), Bytes{0xEE});
}

TEST_F(MergeTest, AFailedResizeAbandonsTheMerge) {
  Write(0, Counting(0x10));
  SetAllocationGate([](std::size_t) { return false; });
  EXPECT_FALSE(MergeSplitWithFill(form_, Bytes(0x100, 1), 0x100, 0xFFFFF, 0, kPlainStride));
  EXPECT_FALSE(MergeSplit(form_, Bytes(0x100, 1), 0x100, 0xFFFFF, kPlainStride));
  EXPECT_FALSE(MergeWithSplitMode(form_, Bytes(0x100, 1), 0x100, 0xFFFFF, 0));
  EXPECT_FALSE(MergeData(form_, Bytes(0x100, 1), 0x100, 0xFFFFF));
  // Ends beyond any buffer size are refused the same way.
  EXPECT_FALSE(MergeData(form_, Bytes(4, 1), 0x7FFFFFFF, 0x7FFFFFFF));
  ASSERT_EQ(boxes_.boxes().size(), 5u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Memory error !");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Buffer Resize.");
  EXPECT_EQ(form_.buffer().BufSize(), 0x100000);
  EXPECT_EQ(Read(0, 0x10), Counting(0x10));
  EXPECT_TRUE(AllBytes(0x10, 0x100000, 0xFF));
  EXPECT_EQ(progress_.shows, 0);
}

TEST_F(MergeTest, MergeWithSplitModeFillsAroundTheDataWithProgress) {
  form_.fields().SplitMode = 7;
  ASSERT_TRUE(MergeWithSplitMode(form_, Counting(0x10, 1), 0x10, 0x100, 0x5A));
  EXPECT_EQ(form_.fields().SplitMode, 0);
  EXPECT_TRUE(AllBytes(0, 0x100, 0x5A));
  EXPECT_EQ(Read(0x100, 0x10), Counting(0x10, 1));
  EXPECT_TRUE(AllBytes(0x110, 0x100000, 0x5A));
  EXPECT_EQ(progress_.captions, (std::vector<std::string>{"Loading...", "Waiting..."}));
  EXPECT_EQ(progress_.shows, 1);
  EXPECT_EQ(progress_.finishes, 1);
  EXPECT_EQ(progress_.closes, 1);
  // Each of the three loops steps at its own indices that are multiples of BufSize / 100.
  const std::int64_t step = 0x100000 / 100;
  auto all = [](auto) { return true; };
  EXPECT_EQ(progress_.steps,
            StepsAt(0, 0xFF, step, all) + StepsAt(0, 0xF, step, all) +
                StepsAt(0x110, 0xFFFFF, step, all));
}

TEST_F(MergeTest, MergeDataCopiesTheImageOverTheBufferFromTheDestination) {
  Bytes image = Counting(0x100000, 3);
  ASSERT_TRUE(MergeData(form_, image, 0x200, 0));
  EXPECT_EQ(Read(0, 0x100000), image);
  EXPECT_EQ(progress_.captions, (std::vector<std::string>{"Loading...", "Waiting..."}));
  EXPECT_EQ(progress_.closes, 1);
}

}  // namespace
}  // namespace buffer
