#include <gtest/gtest.h>

#include "buffer/core/HexText.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace {

using namespace buffer;
using winapi::ScriptedMessageBoxes;

TEST(HexTextTest, KeyFilterKeepsDigitsRaisesLowerCaseAndDropsTheRest) {
  for (char key : std::string("0123456789ABCDEF")) EXPECT_EQ(FilterHexKey(key), key);
  EXPECT_EQ(FilterHexKey('b'), 'B');
  EXPECT_EQ(FilterHexKey('f'), 'F');
  for (char key : std::string("gG -xZ\r\t")) EXPECT_EQ(FilterHexKey(key), 0) << key;
  EXPECT_EQ(FilterHexKey(static_cast<char>(0xE4)), 0);
}

TEST(HexTextTest, BackspacePassesOnlyUnderTheConsoleRule) {
  EXPECT_EQ(FilterHexKey(kBackspace, HexKeyRule::KeepBackspace), kBackspace);
  EXPECT_EQ(FilterHexKey(kBackspace, HexKeyRule::DropBackspace), 0);
  EXPECT_EQ(FilterHexKey('a', HexKeyRule::DropBackspace), 'A');
}

TEST(HexTextTest, TextsAreCutAtTheirFirstNonHexCharacterAndToLength) {
  EXPECT_EQ(CutAtFirstNonHex("12G4"), "12");
  EXPECT_EQ(CutAtFirstNonHex("ab12"), "ab12");  // pasted lower case stays
  EXPECT_EQ(CutAtFirstNonHex(" 12"), "");
  EXPECT_EQ(TruncateText("1234567", kAddressDigits), "123456");
  EXPECT_EQ(TruncateText("12", kAddressDigits), "12");
}

TEST(HexTextTest, ParsingSkipsBlanksStopsAtTheFirstOtherCharacterAndSaturates) {
  EXPECT_EQ(ParseHex(""), 0u);
  EXPECT_EQ(ParseHex("xyz"), 0u);
  EXPECT_EQ(ParseHex("  1aF"), 0x1AFu);
  EXPECT_EQ(ParseHex("12G4"), 0x12u);
  EXPECT_EQ(ParseHex("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseHex("100000000"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseHex("123456789ABCDEF0123"), 0xFFFFFFFFu);
  EXPECT_EQ(HexTextToInt("FFFFFFFF"), -1);
  // The twin helpers look at nine characters only.
  EXPECT_EQ(ReadAddressText("0000000001"), 0);
}

TEST(HexTextTest, FormattingIsThirtyTwoBit) {
  EXPECT_EQ(FormatHex8(-1), "FFFFFFFF");
  EXPECT_EQ(FormatHex6(-1), "FFFFFFFF");
  EXPECT_EQ(FormatHex6(0x80), "000080");
  EXPECT_EQ(FormatHex6(0x1000000), "1000000");
}

TEST(HexTextTest, TwinAddressesHalveAndDoubleWithinSixDigits) {
  EXPECT_EQ(ByteToWordText("000100"), "000080");
  EXPECT_EQ(ByteToWordText("000101"), "000080");
  EXPECT_EQ(WordToByteText("000081"), "000102");
  EXPECT_EQ(ByteToWordText("FFFFFF"), "7FFFFF");
  EXPECT_EQ(WordToByteText("7FFFFF"), "FFFFFE");
  EXPECT_EQ(WordToByteText("800000"), "FFFFFF");
  EXPECT_EQ(WordToByteText("FFFFFF"), "FFFFFF");
  EXPECT_EQ(WordToByteText(""), "000000");
  EXPECT_EQ(WordToByte(-4), 0);
}

TEST(HexTextTest, BlockEndNeedsStartBelowEnd) {
  EXPECT_EQ(BlockEndText("001000", "000010", "00001F"), "00100F");
  EXPECT_EQ(BlockEndText("FFFFFF", "000000", "000010"), "100000F");
  EXPECT_FALSE(BlockEndText("001000", "000010", "000010"));
  EXPECT_FALSE(BlockEndText("001000", "000020", "000010"));
}

TEST(HexTextTest, CheckHexBelowAcceptsOnlyValuesBelowTheLimit) {
  ScriptedMessageBoxes boxes;
  EXPECT_EQ(CheckHexBelow("0FFFFF", 0x100000, true), 0xFFFFF);
  EXPECT_FALSE(CheckHexBelow("100000", 0x100000, true));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Input Value Error !");
  EXPECT_EQ(boxes.boxes()[0].caption, "ERROR");
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned{winapi::MB_ICONERROR});
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
  EXPECT_FALSE(CheckHexBelow("200000", 0x100000, false));
  EXPECT_EQ(boxes.boxes().size(), 1u);
  // Eight digits and more are large, not negative.
  EXPECT_FALSE(CheckHexBelow("FFFFFFFF", 0x100000, false));
  EXPECT_FALSE(CheckHexBelow("FFFFFFFFFF", 0x100000, false));
  EXPECT_EQ(CheckHexBelow("", 1, false), 0);
  EXPECT_FALSE(CheckHexBelow("", 0, false));
}

TEST(HexTextTest, CheckHexRangeRefusesEqualAndReversedRanges) {
  ScriptedMessageBoxes boxes;
  EXPECT_TRUE(CheckHexRange("000001", "000000", true));
  EXPECT_FALSE(CheckHexRange("000010", "000010", true));
  EXPECT_FALSE(CheckHexRange("000000", "000010", false));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Input Value Error !");
  EXPECT_EQ(boxes.boxes()[0].caption, "Error");
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned{winapi::MB_ICONERROR});
}

TEST(HexTextTest, SmallestWordTwinRangeStartsAtAnOddByte) {
  // Two bytes from an even start: the word twins are equal and fail.
  EXPECT_FALSE(CheckHexRange(ByteToWordText("000011"), ByteToWordText("000010"), false));
  EXPECT_TRUE(CheckHexRange(ByteToWordText("000012"), ByteToWordText("000011"), false));
}

}  // namespace
