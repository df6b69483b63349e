// The Motorola S-record detector, reader and writer on hand-made texts, and every kind of
// bad input on the load road (detector, then reader).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "buffer/core/Progress.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/MotorolaS.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using ::testing::ElementsAre;
using namespace formats::testing;

// "S<type>" + count + the bytes' digits + the ones' complement checksum.
std::string SRecord(char type, const std::string& bytes, int checksumDelta = 0) {
  const int count = static_cast<int>(bytes.size() / 2) + 1;
  int sum = count;
  for (size_t i = 0; i < bytes.size(); i += 2) sum += std::stoi(bytes.substr(i, 2), nullptr, 16);
  char text[8];
  std::snprintf(text, sizeof text, "%02X", count);
  std::string record = std::string("S") + type + text + bytes;
  std::snprintf(text, sizeof text, "%02X", (~sum + checksumDelta) & 0xFF);
  return record + text + "\r\n";
}

TEST(MotorolaReaderTest, PlacesS1S2S3DataInAFullImageOfFillAndSkipsTheOtherRecords) {
  winapi::ScriptedMessageBoxes boxes;
  buffer::RecordingProgress progress;
  const std::string text = "%" + SRecord('0', "0000414243") +       // header, '%' ignored
                           SRecord('1', "0010" "1122") +             // 0x10
                           SRecord('2', "012000" "33") +             // 0x12000
                           SRecord('3', "01002000" "4455") +         // top byte dropped: 0x2000
                           SRecord('3', "FFFFFFF0" "66") +           // 0xFFFFF0
                           SRecord('1', "30") +                      // too short: no data
                           SRecord('5', "0005") + SRecord('6', "000005") +
                           SRecord('9', "0000");                     // no end needed after it
  auto result = ParseMotorolaS(ImageOf(text), 0x1020000, 0xA5);
  ASSERT_TRUE(result);
  EXPECT_TRUE(boxes.boxes().empty());
  const auto& image = result->image;
  EXPECT_EQ(result->highest, 0xFFFFF1);  // the end of the data, exclusive
  EXPECT_EQ(image.size(), 0x1020000u + 1024);
  EXPECT_EQ(image[0x10], 0x11);
  EXPECT_EQ(image[0x11], 0x22);
  EXPECT_EQ(image[0x12000], 0x33);
  EXPECT_EQ(image[0x2000], 0x44);
  EXPECT_EQ(image[0x2001], 0x55);
  EXPECT_EQ(image[0xFFFFF0], 0x66);
  // Everything else is fill, up to the last spare byte.
  EXPECT_EQ(image[0x0F], 0xA5);
  EXPECT_EQ(image[0x1000000], 0xA5);
  EXPECT_EQ(image.back(), 0xA5);
  EXPECT_THAT(progress.captions, ElementsAre("File processing ......"));
  EXPECT_EQ(progress.finishes, 1);
  EXPECT_FALSE(progress.visible);
}

TEST(MotorolaReaderTest, TheFillIsTheUsersOnlyWhenUnusedBytesAreFilled) {
  EXPECT_EQ(MotorolaFill(0x12, true), 0x12);
  EXPECT_EQ(MotorolaFill(0x12, false), 0xFF);
  EXPECT_EQ(MotorolaFill(0x1234, true), 0x34);
}

struct DetectCase {
  const char* name;
  std::string text;
  bool isMotorola;
};

class MotorolaDetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(MotorolaDetectTest, AnswersAndShowsTheBoxOfItsMode) {
  ExpectDetection(DetectMotorolaS, messages::kMotorolaDetect, GetParam().text, GetParam().isMotorola);
}

INSTANTIATE_TEST_SUITE_P(
    All, MotorolaDetectTest,
    ::testing::Values(
        DetectCase{"S1", SRecord('1', "0000" "0102"), true},
        DetectCase{"LowerCaseDigits", SRecord('1', "0000" "abcd"), true},
        DetectCase{"LeadingPercent", "%" + SRecord('3', "00000000" "AA"), true},
        DetectCase{"PercentWithoutS", "%X" + SRecord('1', "0000" "01"), false},
        // Every checksum field 00: no record counts.
        DetectCase{"OnlyChecksumsOf00", "S1040000FB00\r\n", false},
        DetectCase{"BadS5StillYes", SRecord('1', "0000" "01") + SRecord('5', "0001", 1), true},
        DetectCase{"S6CountRecord", SRecord('1', "0000" "01") + SRecord('6', "000001"), true},
        DetectCase{"S4Record", SRecord('1', "0000" "01") + SRecord('4', "0000"), false},
        // The whole text is checked: a bad data checksum anywhere refuses it.
        DetectCase{"BadSecondRecord", SRecord('1', "0000" "01") + SRecord('2', "000010" "02", 1),
                   false},
        DetectCase{"StrayS", SRecord('1', "0000" "01") + "Some text\r\n", false},
        DetectCase{"CountZeroSkipped", "S100" + SRecord('1', "0000" "01"), true},
        DetectCase{"CutShort", "S1130000000102", false},
        DetectCase{"Empty", "", false},
        DetectCase{"IntelHex", ":0300300002337A1E\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadText {
  const char* name;
  std::string text;
  std::string box;  // the start of the one box shown
};

class MotorolaBadInputTest : public ::testing::TestWithParam<BadText> {};

// The dispatcher's road: detection with its failure box, then the reader.
TEST_P(MotorolaBadInputTest, IsRefusedWithOneBoxAndNothingToPlace) {
  winapi::ScriptedMessageBoxes boxes;
  buffer::RecordingProgress progress;
  KeepFileSegmentBase keep;
  LoadSettings settings;
  auto source = ReadLoadSource(buffer::kFormatMotorolaHex, ImageOf(GetParam().text, "bad.s19"), settings,
                               {nullptr, keep, kMotorolaLoadBufSize});
  EXPECT_FALSE(source);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text.substr(0, GetParam().box.size()), GetParam().box);
  EXPECT_FALSE(progress.visible);
}

const std::string kGood = SRecord('1', "0000" "0102");
const std::string kNotMotorola = "File is not Motorola Hex format !";

INSTANTIATE_TEST_SUITE_P(
    All, MotorolaBadInputTest,
    ::testing::Values(
        BadText{"Empty", "", kNotMotorola},
        BadText{"Truncated", kGood + "S1130000000102", kNotMotorola},
        BadText{"BadDataChecksum", SRecord('1', "0000" "01", 1), kNotMotorola},
        BadText{"NonHexDigit", kGood + "S1050000G1024F\r\n", kNotMotorola},
        BadText{"HugeCountPastTheEnd", kGood + "S3FF00000000", kNotMotorola},
        // Records the detector does not check, the reader refuses, naming the place.
        BadText{"BadEndChecksum", kGood + SRecord('9', "0000", 1),
                "File Data ERROR !!\n\nPlease check your file!\n bad.s19, line 2, column 9: the "
                "checksum is 0xFD, the record's bytes give 0xFC"},
        BadText{"BadHeaderDigits", "S0XX0000FC\r\n" + kGood,
                "File Data ERROR !!\n\nPlease check your file!\n bad.s19, line 1, column 3: no hex "
                "digit in the record's count"},
        BadText{"CutEndRecord", kGood + "S9030000",
                "File Data ERROR !!\n\nPlease check your file!\n bad.s19, line 2, column 9: the "
                "text ends in the record's checksum"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MotorolaLoadSourceTest, LandsAtTheDestinationIn24BitsUpToTheEndOfTheData) {
  winapi::ScriptedMessageBoxes boxes;
  KeepFileSegmentBase keep;
  LoadSettings settings;
  settings.destination = 0x1000100;  // reduced to 0x100
  settings.userFill = 0x5A;
  settings.unusedFill = 1;
  auto source = ReadLoadSource(buffer::kFormatMotorolaHex, ImageOf(SRecord('1', "0000" + std::string(64, '7'))),
                               settings, {nullptr, keep, kMotorolaLoadBufSize});
  ASSERT_TRUE(source);
  EXPECT_EQ(source->length, 0x20);
  EXPECT_EQ(source->destination, 0x100);
  EXPECT_EQ(source->fileStartAdd, 0x100);
  EXPECT_EQ(source->fileSize, 0x120);
  EXPECT_EQ(source->checksumStart, 0x100);
  EXPECT_EQ(source->checksumEnd, 0x11F);
  EXPECT_EQ(source->merge, MergeRoute::Plain);
  EXPECT_EQ(source->block[0x20], 0x5A);
  // Auto detection finds it between Intel Hex and Tektronix.
  EXPECT_EQ(DetectLoadFormat(ImageOf(kGood), kDetectSilent), buffer::kFormatMotorolaHex);
}

TEST(MotorolaWriterTest, WritesHeaderSixteenByteRecordsOfEachKindAndItsEndRecord) {
  TempDir dir;
  std::vector<uint8_t> block(0x200 + 1024);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
  // 0x21 bytes as S2 from 0x100: four records (64 bytes, 31 after the range), then S9.
  ASSERT_TRUE(WriteMotorolaS(dir.File("a.s28"), 0x21, MotorolaRecords::S2, 0x100, block));
  const std::string s2 = dir.Read("a.s28");
  EXPECT_EQ(s2.substr(0, 12), "S0030000FC\r\n");
  EXPECT_EQ(s2.substr(12, 46), "S214000000000102030405060708090A0B0C0D0E0F73\r\n");
  EXPECT_EQ(s2.substr(12 + 3 * 46, 10), "S214000030");
  EXPECT_EQ(s2.substr(12 + 4 * 46), "S9030000FC\r\n");

  ASSERT_TRUE(WriteMotorolaS(dir.File("a.s19"), 2, MotorolaRecords::S1, 0x10, block));
  EXPECT_EQ(dir.Read("a.s19"), "S0030000FC\r\n"
                               "S1130000101112131415161718191A1B1C1D1E1F74\r\n"
                               "S1130010202122232425262728292A2B2C2D2E2F64\r\n"
                               "S9030000FC\r\n");
  ASSERT_TRUE(WriteMotorolaS(dir.File("a.s37"), 16, MotorolaRecords::S3, 0, block));
  const std::string s3 = dir.Read("a.s37");
  EXPECT_EQ(s3.substr(12, 48), "S31500000000000102030405060708090A0B0C0D0E0F72\r\n");
  EXPECT_EQ(s3.substr(12 + 2 * 48), "S70500000000FA\r\n");

  // Each writer keeps to its block and to what its addresses reach.
  EXPECT_FALSE(WriteMotorolaS(dir.File("b.s37"), 0x40, MotorolaRecords::S3,
                              static_cast<int32_t>(block.size()) - 0x20, block));
  std::vector<uint8_t> big(0x10000 + 64);
  EXPECT_TRUE(WriteMotorolaS(dir.File("c.s19"), 0x10000, MotorolaRecords::S1, 0, big));
  EXPECT_FALSE(WriteMotorolaS(dir.File("d.s19"), 0x10001, MotorolaRecords::S1, 0, big));
  EXPECT_FALSE(std::filesystem::exists(dir.File("d.s19")));
  EXPECT_EQ(MotorolaLargestSave(MotorolaRecords::S2), 0x1000000);
}

TEST(MotorolaWriterTest, EveryKindReadsBackAsTheSavedSlices) {
  TempDir dir;
  const std::vector<uint8_t> block = RandomBytes(0x30000 + 1024, 3);
  for (MotorolaRecords kind : {MotorolaRecords::S1, MotorolaRecords::S2, MotorolaRecords::S3}) {
    const int32_t length = kind == MotorolaRecords::S1 ? 0xFFE1 : 0x2A341;
    ASSERT_TRUE(WriteMotorolaS(dir.File("r.s"), length, kind, 0x123, block));
    winapi::ScriptedMessageBoxes boxes;
    auto result = ParseMotorolaS(ImageOf(dir.Read("r.s")), kMotorolaLoadBufSize, 0xFF);
    ASSERT_TRUE(result);
    const int32_t saved = (length + 31) / 32 * 32;
    EXPECT_EQ(result->highest, saved);
    EXPECT_TRUE(std::equal(block.begin() + 0x123, block.begin() + 0x123 + saved, result->image.begin()));
    EXPECT_EQ(result->image[saved], 0xFF);
  }
}

}  // namespace
}  // namespace formats
