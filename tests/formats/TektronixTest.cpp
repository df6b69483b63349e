// The Tektronix Hex detector, reader and writer on hand-made texts, and every kind of bad
// input on the load road.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "buffer/core/Progress.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/Tektronix.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using ::testing::ElementsAre;
using namespace formats::testing;

int DigitSum(const std::string& digits) {
  int sum = 0;
  for (char c : digits) sum += std::stoi(std::string(1, c), nullptr, 16);
  return sum & 0xFF;
}

// '/' address count header-checksum data data-checksum, with deltas to spoil a checksum.
std::string TekRecord(const std::string& address, const std::string& data, int headerDelta = 0,
                      int dataDelta = 0) {
  char count[4];
  std::snprintf(count, sizeof count, "%02X", static_cast<unsigned>(data.size() / 2));
  char sums[8];
  std::snprintf(sums, sizeof sums, "%02X", (DigitSum(address + count) + headerDelta) & 0xFF);
  std::string record = "/" + address + count + sums + data;
  std::snprintf(sums, sizeof sums, "%02X", (DigitSum(data) + dataDelta) & 0xFF);
  return record + sums + "\r\n";
}

struct Parsed {
  std::optional<HexLoadResult> result;
  std::vector<std::string> boxes;
};

Parsed Parse(const std::string& text, int32_t bufSize = 0x10000) {
  winapi::ScriptedMessageBoxes boxes;
  buffer::RecordingProgress progress;
  Parsed parsed;
  parsed.result = ParseTektronix(nullptr, 0xEE, ImageOf(text, "t.tek"), bufSize);
  for (const auto& box : boxes.boxes()) parsed.boxes.push_back(box.text);
  EXPECT_EQ(progress.finishes, 1);
  EXPECT_FALSE(progress.visible);
  EXPECT_TRUE(progress.captions.empty());
  return parsed;
}

TEST(TektronixRecordTest, ThePartsExampleRecordHasItsChecksums) {
  // Address 0x0100, count 0x10, sixteen 0xFF: header 0 + 1 + 0 + 0 + 1 + 0, data 32 x F.
  const std::string record = "/01001002" + std::string(32, 'F') + "E0";
  EXPECT_EQ(TekRecord("0100", std::string(32, 'F')), record + "\r\n");
  EXPECT_TRUE(DetectTektronix(kDetectSilent, ImageOf(record)));
}

TEST(TektronixReaderTest, StoresByAddressFromZeroAndStopsAtCountZero) {
  Parsed parsed = Parse("junk / not a record\r\n" + TekRecord("0100", "1122") +
                        TekRecord("0080", "33") + TekRecord("00c0", "ab") +  // lower case
                        "/00000000\r\n" + TekRecord("0000", "44"));
  ASSERT_TRUE(parsed.result);
  EXPECT_TRUE(parsed.boxes.empty());
  const auto& image = parsed.result->image;
  EXPECT_EQ(parsed.result->lowest, 0x80);
  EXPECT_EQ(parsed.result->highest, 0x101);
  EXPECT_EQ(image[0x100], 0x11);
  EXPECT_EQ(image[0x101], 0x22);
  EXPECT_EQ(image[0x80], 0x33);
  EXPECT_EQ(image[0xC0], 0xAB);
  EXPECT_EQ(image[0x00], 0xEE);  // the record after the end record wrote nothing
  EXPECT_EQ(image[0x7F], 0xEE);
}

TEST(TektronixReaderTest, DataChecksumMismatchesAreReportedAndTheDataKept) {
  // The header checksum is not looked at by the reader.
  Parsed parsed = Parse(TekRecord("0000", "55", 0, 1) + TekRecord("0010", "66", 7));
  ASSERT_TRUE(parsed.result);
  EXPECT_THAT(parsed.boxes, ElementsAre("File read in complete!\nData still load in buffer."));
  EXPECT_EQ(parsed.result->image[0], 0x55);
  EXPECT_EQ(parsed.result->image[0x10], 0x66);
}

TEST(TektronixReaderTest, TheLargestAddressAndCountGrowTheImage) {
  Parsed parsed = Parse(TekRecord("FFFF", std::string(510, '9')), 0x100);
  ASSERT_TRUE(parsed.result);
  EXPECT_EQ(parsed.result->highest, 0xFFFF + 0xFF - 1);
  EXPECT_EQ(parsed.result->image[0x100FD], 0x99);
  EXPECT_EQ(parsed.result->image[0x200], 0x00);  // beyond BufSize: zeros, not the fill
}

struct DetectCase {
  const char* name;
  std::string text;
  bool isTektronix;
};

class TektronixDetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(TektronixDetectTest, AnswersAndShowsTheBoxOfItsMode) {
  ExpectDetection(DetectTektronix, messages::kTektronixDetect, GetParam().text, GetParam().isTektronix);
}

INSTANTIATE_TEST_SUITE_P(
    All, TektronixDetectTest,
    ::testing::Values(
        DetectCase{"Good", TekRecord("0100", "0102"), true},
        DetectCase{"AfterText", "a/b/12\r\n" + TekRecord("0100", "0102"), true},
        DetectCase{"BadHeaderFirst", TekRecord("0100", "01", 1) + TekRecord("0200", "02"), false},
        DetectCase{"BadDataThenGood", TekRecord("0100", "01", 0, 1) + TekRecord("0200", "02"), true},
        DetectCase{"EndRecordFirst", "/00000000\r\n" + TekRecord("0200", "02"), false},
        DetectCase{"CutShort", "/0100100201020304", false},
        DetectCase{"Empty", "", false},
        // The extended format's records start with '%'.
        DetectCase{"ExtendedTektronix", "%1A6E5810000000102030405060708\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadText {
  const char* name;
  std::string text;
  std::string box;
};

class TektronixBadInputTest : public ::testing::TestWithParam<BadText> {};

TEST_P(TektronixBadInputTest, IsRefusedOnTheLoadRoadWithOneBox) {
  winapi::ScriptedMessageBoxes boxes;
  buffer::RecordingProgress progress;
  KeepFileSegmentBase keep;
  auto source = ReadLoadSource(buffer::kFormatTektronixHex, ImageOf(GetParam().text, "t.tek"), LoadSettings{},
                               {nullptr, keep, 0x10000});
  EXPECT_FALSE(source);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text.substr(0, GetParam().box.size()), GetParam().box);
  EXPECT_FALSE(progress.visible);
}

const std::string kGood = TekRecord("0000", "0102");
const std::string kNotTektronix = "File is not Tektronix Hex format !";

INSTANTIATE_TEST_SUITE_P(
    All, TektronixBadInputTest,
    ::testing::Values(
        BadText{"Empty", "", kNotTektronix},
        BadText{"NoRecord", "0000100201020304\r\n", kNotTektronix},
        BadText{"OnlyBadChecksums", TekRecord("0000", "01", 0, 1), kNotTektronix},
        BadText{"TruncatedAfterAGoodOne", kGood + "/0010100201",
                "FORMAT ERROR !\n\nt.tek, line 2, column 12: the text ends in the record's data"},
        BadText{"NonHexData", kGood + "/00101002ZZ01\r\n",
                "FORMAT ERROR !\n\nt.tek, line 2, column 10: no hex digit in the record's data"},
        BadText{"NonHexChecksum", kGood + "/0010010205Z0\r\n",
                "FORMAT ERROR !\n\nt.tek, line 2, column 12: no hex digit in the record's data"
                " checksum"},
        BadText{"HugeCountCut", kGood + "/FFFFFF2D" + std::string(20, '0') + "\r\n",
                "FORMAT ERROR !\n\nt.tek, line 2, column 30: the line ends in the record's data"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TektronixReaderTest, ATextWithoutRecordsIsAFormatError) {
  Parsed parsed = Parse("no records here");
  EXPECT_FALSE(parsed.result);
  EXPECT_THAT(parsed.boxes, ElementsAre("FORMAT ERROR !"));
}

TEST(TektronixLoadSourceTest, PlacesTheImageFromAddressZeroLikeIntelHex) {
  winapi::ScriptedMessageBoxes boxes;
  KeepFileSegmentBase keep;
  LoadSettings settings;
  settings.destination = 0x1000;
  auto source = ReadLoadSource(buffer::kFormatTektronixHex, ImageOf(TekRecord("0100", "0102")), settings,
                               {nullptr, keep, 0x10000});
  ASSERT_TRUE(source);
  EXPECT_EQ(source->length, 0x102);
  EXPECT_EQ(source->fileSize, 0x1102);
  EXPECT_EQ(source->merge, MergeRoute::Split);
  EXPECT_EQ(source->block[0x101], 0x02);
  EXPECT_EQ(DetectLoadFormat(ImageOf(TekRecord("0100", "0102")), kDetectSilent), buffer::kFormatTektronixHex);
}

TEST(TektronixWriterTest, WritesWholeSlicesAddressedFromZeroAndTheEndRecord) {
  TempDir dir;
  std::vector<uint8_t> block(0x2100 + 1024, 0);
  for (int i = 0; i < 32; ++i) block[0x2000 + i] = static_cast<uint8_t>(0xF0 + i);
  // 0x10 bytes from 0x2000: two records (32 bytes), then "/00000000".
  ASSERT_TRUE(WriteTektronix(dir.File("a.tek"), 0x10, 0x2000, block));
  const std::string text = dir.Read("a.tek");
  ASSERT_EQ(text.size(), 2 * 45u + 11);
  EXPECT_EQ(text.substr(0, 45), "/00001001F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF68\r\n");
  EXPECT_EQ(text.substr(45, 9), "/00101002");
  EXPECT_EQ(text.substr(90), "/00000000\r\n");

  std::vector<uint8_t> big(0x10000 + 64);
  EXPECT_TRUE(WriteTektronix(dir.File("b.tek"), 0x10000, 0, big));
  EXPECT_FALSE(WriteTektronix(dir.File("c.tek"), 0x10001, 0, big));
  EXPECT_FALSE(WriteTektronix(dir.File("d.tek"), 0x40, 0x10001, big));
  EXPECT_FALSE(std::filesystem::exists(dir.File("c.tek")));

  const std::vector<uint8_t> random = RandomBytes(0x10000 + 1024, 5);
  ASSERT_TRUE(WriteTektronix(dir.File("r.tek"), 0xFFE1, 0x11, random));
  Parsed parsed = Parse(dir.Read("r.tek"));
  ASSERT_TRUE(parsed.result);
  EXPECT_TRUE(parsed.boxes.empty());
  EXPECT_EQ(parsed.result->highest, 0xFFFF);
  EXPECT_TRUE(std::equal(random.begin() + 0x11, random.begin() + 0x11 + 0x10000,
                         parsed.result->image.begin()));
}

}  // namespace
}  // namespace formats
