// The Intel Hex detector, reader and writer on hand-made texts: what each record type
// does, where the Part's quirks show, and every kind of bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "buffer/core/Progress.h"
#include "buffer/formats/IntelHex.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace formats::testing;

// Answers the start-address question from a script and remembers what it was asked.
class ScriptedChooser : public SegmentBaseChooser {
 public:
  explicit ScriptedChooser(uint32_t answer) : answer_(answer) {}
  uint32_t ChooseSegmentBase(uint32_t fileBase) override {
    asked.push_back(fileBase);
    return answer_;
  }
  std::vector<uint32_t> asked;

 private:
  uint32_t answer_;
};

struct Parsed {
  std::optional<HexLoadResult> result;
  std::vector<std::string> boxes;
};

Parsed Parse(const std::string& text, SegmentBaseChooser& chooser, int32_t bufSize = 0x100,
             uint8_t fill = 0xEE) {
  winapi::ScriptedMessageBoxes boxes;
  buffer::RecordingProgress progress;
  Parsed parsed;
  parsed.result = ParseIntelHex(nullptr, fill, ImageOf(text), bufSize, chooser);
  for (const auto& box : boxes.boxes()) parsed.boxes.push_back(box.text);
  EXPECT_EQ(progress.finishes, 1);
  EXPECT_FALSE(progress.visible);
  return parsed;
}

Parsed Parse(const std::string& text) {
  KeepFileSegmentBase keep;
  return Parse(text, keep);
}

TEST(IntelHexReaderTest, RecordTypesPlaceDataAsTheFileSays) {
  // Part example record, a type 0A record passed over, a record with a bad checksum (kept),
  // and text between records.
  Parsed parsed = Parse(
      "junk\r\n:0300300002337A1E\r\n:0A00000A0102030405060708090A00\r\n"
      ":02004000BEEF00\r\n:00000001FF\r\n:01000000AA55\r\n");
  ASSERT_TRUE(parsed.result);
  EXPECT_THAT(parsed.boxes, ElementsAre("File read error!!\n"));
  const auto& image = parsed.result->image;
  EXPECT_EQ(parsed.result->highest, 0x41);
  EXPECT_EQ(image[0x30], 0x02);
  EXPECT_EQ(image[0x31], 0x33);
  EXPECT_EQ(image[0x32], 0x7A);
  EXPECT_EQ(image[0x40], 0xBE);
  EXPECT_EQ(image[0x41], 0xEF);
  EXPECT_EQ(image[0x00], 0xEE);  // the type 0A record wrote nothing; reading stopped at 01
  EXPECT_EQ(image[0x2F], 0xEE);
}

TEST(IntelHexReaderTest, SegmentAndLinearBasesAddUpAndTheImageGrowsWithZeros) {
  ScriptedChooser chooser(0x2000);
  Parsed parsed = Parse(
      ":020000021000EC\n"  // first segment record: asked, answer 0x2000
      ":0100000011EE\n"    // -> 0x2000
      ":020000020200FA\n"  // later: its own value, 0x2000 again, no question
      ":0100010022DC\n"    // -> 0x2001
      ":020000040001F9\n"  // linear 0x10000 (no checksum check)
      ":0100020033CA\n"    // -> 0x12002
      ":00000001FF",
      chooser);
  ASSERT_TRUE(parsed.result);
  EXPECT_THAT(chooser.asked, ElementsAre(0x10000u));
  EXPECT_TRUE(parsed.boxes.empty());
  const auto& image = parsed.result->image;
  EXPECT_EQ(parsed.result->highest, 0x12002);
  EXPECT_EQ(image[0x2000], 0x11);
  EXPECT_EQ(image[0x2001], 0x22);
  EXPECT_EQ(image[0x12002], 0x33);
  EXPECT_EQ(image[0xFF], 0xEE);   // inside BufSize: the fill
  EXPECT_EQ(image[0x100], 0x00);  // beyond it: zeros, not the fill
  EXPECT_EQ(image[0x12001], 0x00);
}

TEST(IntelHexReaderTest, AFirstSegmentRecordOfZeroSilencesEveryLaterOne) {
  ScriptedChooser chooser(0);
  Parsed parsed = Parse(":020000020000FC\n:020000021000EC\n:0100000011EE\n", chooser);
  ASSERT_TRUE(parsed.result);
  EXPECT_TRUE(chooser.asked.empty());
  EXPECT_EQ(parsed.result->highest, 0x10000);
  EXPECT_EQ(parsed.result->image[0x10000], 0x11);
}

TEST(IntelHexReaderTest, ATextWithoutEndRecordIsReadToItsEndAndNoDataGivesHighestZero) {
  Parsed parsed = Parse(":0100050042B8\n:0100060043B6");
  ASSERT_TRUE(parsed.result);
  EXPECT_EQ(parsed.result->highest, 6);
  Parsed empty = Parse(":00000001FF\n");
  ASSERT_TRUE(empty.result);
  EXPECT_EQ(empty.result->highest, 0);
}

struct BadText {
  const char* name;
  std::string text;
  std::string box;  // the box's text, or its start when it names the place
};

class IntelHexBadInputTest : public ::testing::TestWithParam<BadText> {};

TEST_P(IntelHexBadInputTest, IsRefusedWithTheFormatErrorAndNoImage) {
  Parsed parsed = Parse(GetParam().text);
  EXPECT_FALSE(parsed.result);
  ASSERT_EQ(parsed.boxes.size(), 1u);
  EXPECT_EQ(parsed.boxes[0].substr(0, GetParam().box.size()), GetParam().box);
}

INSTANTIATE_TEST_SUITE_P(
    All, IntelHexBadInputTest,
    ::testing::Values(
        BadText{"Empty", "", "FORMAT ERROR !"},
        BadText{"NoColon", "0300300002337A1E\r\n", "FORMAT ERROR !"},
        // The record is shorter than its count: the next ':' stands in its checksum field.
        BadText{"ColonInChecksum", ":0300300002337A\n:00000001FF", "FORMAT ERROR !"},
        BadText{
            "CutInData", ":10000000010203\n",
            "FORMAT ERROR !\n\ntest.hex, line 1, column 16: the line ends in the record's data"},
        BadText{"CutAtTheEnd", ":0100000011",
                "FORMAT ERROR !\n\ntest.hex, line 1, column 12: the text ends in the record's "
                "checksum"},
        BadText{"NonHexDigit", "\n\n:020000001G34B8\n",
                "FORMAT ERROR !\n\ntest.hex, line 3, column 11: no hex digit in the record's data"},
        BadText{"NonHexChecksum", ":0100000011ZZ\n",
                "FORMAT ERROR !\n\ntest.hex, line 1, column 12: no hex digit"},
        BadText{
            "HugeLinearBase", ":02000004FFFFFC\n:10FFF000000102030405060708090A0B0C0D0E0F00\n",
            "FORMAT ERROR !\n\ntest.hex, line 2, column 1: data at address 0xFFFFFFF0 lie beyond"},
        BadText{"JustBeyondTheLimit", ":02000004010200F7\n:02040000AABB00\n",
                "FORMAT ERROR !\n\ntest.hex, line 2, column 1: data at address 0x1020400"},
        BadText{"HugeSegmentAndCount",
                ":02000004FFFFFC\n:02000002FFFF00\n:FFFFFF00" + std::string(510, '0') + "01\n",
                "FORMAT ERROR !\n\ntest.hex, line 3, column 1: data at address 0x1000FFFEF"},
        BadText{
            "BadSegmentDigits", ":02000002XX00FC\n",
            "FORMAT ERROR !\n\ntest.hex, line 1, column 10: no hex digit in the record's segment"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntelHexReaderTest, TheLastAddressUnderTheLimitIsAccepted) {
  // 0x1020000 + 0x3FF is the last byte the image may hold.
  Parsed parsed = Parse(":02000004010200F7\n:0103FF00AA53\n");
  ASSERT_TRUE(parsed.result);
  EXPECT_EQ(parsed.result->highest, 0x10203FF);
  EXPECT_EQ(parsed.result->image[0x10203FF], 0xAA);
}

struct DetectCase {
  const char* name;
  std::string text;
  bool isIntel;
};

class IntelHexDetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(IntelHexDetectTest, AnswersAndShowsTheBoxOfItsMode) {
  const DetectCase& c = GetParam();
  for (int mode : {0, 1, 2}) {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_EQ(DetectIntelHex(mode, ImageOf(c.text)), c.isIntel) << mode;
    std::vector<std::string> shown;
    for (const auto& box : boxes.boxes()) shown.push_back(box.text + "|" + box.caption);
    if (mode == 2 && c.isIntel)
      EXPECT_THAT(shown, ElementsAre("This is Intel Hex format !|Auto detect"));
    else if (mode == 1 && !c.isIntel)
      EXPECT_THAT(shown, ElementsAre("File is not Intel Hex format !|ERROR !"));
    else
      EXPECT_TRUE(shown.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, IntelHexDetectTest,
    ::testing::Values(
        DetectCase{"PartExample", ":0300300002337A1E", true},
        DetectCase{"LowerCase", ":0300300002337a1e", true},
        DetectCase{"After127Others", std::string(127, ' ') + ":0300300002337A1E", true},
        DetectCase{"After128Others", std::string(128, ' ') + ":0300300002337A1E", false},
        // Records the scan does not take: its characters count as stepped over.
        DetectCase{"AfterOtherRecords", ":020000040000FA\n:00000001FF\n:0300300002337A1E", true},
        DetectCase{"BadChecksumThenGood", ":0300300002337A1F\n:0300300002337A1E", true},
        DetectCase{"OnlyBadChecksums", ":0300300002337A1F\n", false},
        DetectCase{"CountZeroData", ":00000000\n", false},
        DetectCase{"TypeNotData", ":0300300A02337A14", false},
        DetectCase{"CutShort", ":03003000023", false}, DetectCase{"Empty", "", false},
        DetectCase{"Motorola", "S1130000000102030405060708090A0B0C0D0E0F74\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntelHexWriterTest, WritesWholeSlicesFromAddressZeroWithSegmentsPerPage) {
  TempDir dir;
  std::vector<uint8_t> block(0x20000 + 0x100 + 1024);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);

  // 0x41 bytes from 0x1234: three records 0000, 0020, 0040, then the end record.
  ASSERT_TRUE(WriteIntelHex(dir.File("a.hex"), 0x41, 0x1234, block));
  std::string text = dir.Read("a.hex");
  ASSERT_EQ(text.size(), 3 * 77u + 13);
  EXPECT_EQ(text.substr(0, 9), ":20000000");
  EXPECT_EQ(text.substr(9, 4), "3435");
  EXPECT_EQ(text.substr(77, 9), ":20002000");
  EXPECT_EQ(text.substr(154, 9), ":20004000");
  EXPECT_EQ(text.substr(231), ":00000001FF\r\n");

  // 0x20000 bytes: one segment record (1000, EC) before the record at 0x10000.
  ASSERT_TRUE(WriteIntelHex(dir.File("b.hex"), 0x20000, 0, block));
  text = dir.Read("b.hex");
  EXPECT_EQ(text.find(":02000002"), 2048 * 77u);
  EXPECT_EQ(text.substr(2048 * 77, 17), ":020000021000EC\r\n");
  EXPECT_EQ(text.find(":02000002", 2048 * 77 + 1), std::string::npos);
  EXPECT_EQ(text.size(), 4096 * 77u + 17 + 13);

  // The writer keeps to its block and to what its segment records can address.
  EXPECT_FALSE(
      WriteIntelHex(dir.File("c.hex"), 0x100, static_cast<int32_t>(block.size()) - 0x80, block));
  std::vector<uint8_t> big(0x100000 + 64);
  EXPECT_TRUE(WriteIntelHex(dir.File("d.hex"), 0x100000, 0, big));
  EXPECT_FALSE(WriteIntelHex(dir.File("e.hex"), 0x100001, 0, big));
  EXPECT_FALSE(std::filesystem::exists(dir.File("e.hex")));
}

TEST(IntelHexWriterTest, WhatItWritesReadsBackAsTheSavedSlices) {
  TempDir dir;
  std::vector<uint8_t> block = RandomBytes(0x30000 + 1024, 7);
  ASSERT_TRUE(WriteIntelHex(dir.File("r.hex"), 0x24321, 0x333, block));
  std::string text = dir.Read("r.hex");
  KeepFileSegmentBase keep;
  ScriptedChooser chooser(0x10000);
  Parsed parsed = Parse(text, chooser, 0x100000, 0xFF);
  ASSERT_TRUE(parsed.result);
  EXPECT_THAT(chooser.asked, ElementsAre(0x10000u));
  EXPECT_EQ(parsed.result->highest, 0x24340 - 1);
  EXPECT_TRUE(std::equal(block.begin() + 0x333, block.begin() + 0x333 + 0x24340,
                         parsed.result->image.begin()));
}

}  // namespace
}  // namespace formats
