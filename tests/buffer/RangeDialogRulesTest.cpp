// The range buttons' texts (guards, writing order, twin halves, clamping of seven-digit
// values) and the accept checks in their order.
#include "buffer/core/RangeDialogRules.h"

#include <gtest/gtest.h>

#include "platform/winapi/ScriptedMessageBoxes.h"

namespace buffer {
namespace {

using E = RangeEdit;

struct ButtonCase {
  const char* name;
  RangeEditTexts texts;
  RangeEditTexts expected;
};

class RangeButtonTest : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(RangeButtonTest, WritesInOrder) { EXPECT_EQ(GetParam().texts, GetParam().expected); }

constexpr RangeDialogLayout kSaveLike{
    .wordTwins = false,
    .buttonOrder = {E::ByteEnd, E::WordEnd, E::WordStart, E::ByteStart},
    .fileOrder = {E::ByteEnd, E::WordEnd, E::ByteStart, E::WordStart},
    .fileStartsAtZero = true,
};

BufferInfo Info(std::int32_t bufSize, std::int32_t fileSize, std::int32_t fileStart) {
  return {.BufSize = bufSize, .FileSize = fileSize, .FileStartAdd = fileStart, .BufHandle = 1};
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, RangeButtonTest,
    ::testing::Values(
        ButtonCase{"MaxOfOneMegabyte", MaxRangeTexts(Info(0x100000, 0, 0), kGetSumRangeLayout),
                   {{E::ByteEnd, "0FFFFF"}, {E::WordEnd, "07FFFF"}, {E::WordStart, "000000"},
                    {E::ByteStart, "000000"}}},
        ButtonCase{"MaxWithoutABuffer", MaxRangeTexts(Info(0, 0x100, 0), kGetSumRangeLayout), {}},
        ButtonCase{"MaxOfAMotorolaBufferIsClamped",
                   MaxRangeTexts(Info(0x1020000, 0, 0), kGetSumRangeLayout),
                   {{E::ByteEnd, "FFFFFF"}, {E::WordEnd, "7FFFFF"}, {E::WordStart, "000000"},
                    {E::ByteStart, "000000"}}},
        ButtonCase{"FileWritesTheByteStartFirst",
                   FileRangeTexts(Info(0x100000, 0x2000, 0x1001), kGetSumRangeLayout),
                   {{E::ByteEnd, "001FFF"}, {E::WordEnd, "000FFF"}, {E::ByteStart, "001001"},
                    {E::WordStart, "000800"}}},
        ButtonCase{"FileWithoutData", FileRangeTexts(Info(0x100000, 0, 0x10), kGetSumRangeLayout),
                   {}},
        ButtonCase{"FileAboveSixteenMegabytesClampsTheStartToo",
                   FileRangeTexts(Info(0x1020000, 0x1020000, 0x1010000), kGetSumRangeLayout),
                   {{E::ByteEnd, "FFFFFF"}, {E::WordEnd, "7FFFFF"}, {E::ByteStart, "FFFFFF"},
                    {E::WordStart, "7FFFFF"}}},
        ButtonCase{"IcOf512Kilobits", IcRangeTexts(512, kGetSumRangeLayout),
                   {{E::ByteEnd, "00FFFF"}, {E::WordEnd, "007FFF"}, {E::WordStart, "000000"},
                    {E::ByteStart, "000000"}}},
        ButtonCase{"IcOf128Megabits", IcRangeTexts(0x20000, kGetSumRangeLayout),
                   {{E::ByteEnd, "FFFFFF"}, {E::WordEnd, "7FFFFF"}, {E::WordStart, "000000"},
                    {E::ByteStart, "000000"}}},
        // ICSIZE x 1024 would pass 32 bits: still clamped, never wrapped.
        ButtonCase{"IcBeyondThirtyTwoBits", IcRangeTexts(0x4000000, kGetSumRangeLayout),
                   {{E::ByteEnd, "FFFFFF"}, {E::WordEnd, "7FFFFF"}, {E::WordStart, "000000"},
                    {E::ByteStart, "000000"}}},
        ButtonCase{"IcWithoutASize", IcRangeTexts(0, kGetSumRangeLayout),
                   {{E::ByteEnd, "FFFFFF"}, {E::WordEnd, "FFFFFF"}, {E::WordStart, "000000"},
                    {E::ByteStart, "000000"}}},
        ButtonCase{"NoTwinsFileFromZero", FileRangeTexts(Info(0x100000, 0x1800, 0x1000), kSaveLike),
                   {{E::ByteEnd, "0017FF"}, {E::ByteStart, "000000"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct AcceptCase {
  const char* name;
  RangeTexts texts;
  std::int32_t bufSize;
  std::optional<std::pair<std::int32_t, std::int32_t>> range;
  const char* failureCaption;  // of the one box, when refused
};

class AcceptTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptTest, ChecksRunInOrderAndTheFirstFailureShows) {
  const AcceptCase& c = GetParam();
  winapi::ScriptedMessageBoxes boxes;
  const auto range = CheckRange(c.texts, c.bufSize, kGetSumRangeLayout);
  if (c.range) {
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, c.range->first);
    EXPECT_EQ(range->end, c.range->second);
    EXPECT_TRUE(boxes.boxes().empty());
  } else {
    EXPECT_FALSE(range);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Input Value Error !");
    EXPECT_EQ(boxes.boxes()[0].caption, c.failureCaption);
    EXPECT_EQ(boxes.boxes()[0].flags, unsigned{winapi::MB_ICONERROR});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, AcceptTest,
    ::testing::Values(
        AcceptCase{"SmallestTwoByteRange", {"000101", "000102", "000080", "000081"}, 0x100000,
                   std::pair{0x101, 0x102}, nullptr},
        AcceptCase{"EqualBytes", {"000100", "000100", "000080", "000081"}, 0x100000,
                   std::nullopt, "Error"},
        AcceptCase{"EqualWords", {"000100", "000101", "000080", "000080"}, 0x100000,
                   std::nullopt, "Error"},
        // The range checks come before the size checks.
        AcceptCase{"ReversedAndTooBig", {"FFFFFF", "000001", "000000", "000001"}, 0x100000,
                   std::nullopt, "Error"},
        AcceptCase{"EndAtBufSize", {"000000", "100000", "000000", "080000"}, 0x100000,
                   std::nullopt, "ERROR"},
        AcceptCase{"LastByte", {"000000", "0FFFFF", "000000", "07FFFF"}, 0x100000,
                   std::pair{0, 0xFFFFF}, nullptr},
        // Word addresses are compared with BufSize itself.
        AcceptCase{"WordEndPastBufSize", {"000000", "000010", "000000", "000020"}, 0x18,
                   std::nullopt, "ERROR"},
        AcceptCase{"IcWithoutASize", {"000000", "FFFFFF", "000000", "FFFFFF"}, 0x100000,
                   std::nullopt, "ERROR"},
        AcceptCase{"MotorolaBuffer", {"000000", "FFFFFF", "000000", "7FFFFF"}, 0x1020000,
                   std::pair{0, 0xFFFFFF}, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace buffer
