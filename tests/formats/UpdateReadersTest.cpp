// The update tool's detectors and readers where they part from the console's, and every
// kind of bad input on its load road (forced format: detector, then reader): no write outside
// the image, one box with its words.
#include <gtest/gtest.h>

#include <cstdio>

#include "buffer/core/Progress.h"
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/ReaderDialect.h"
#include "buffer/formats/Tektronix.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"

namespace formats {
namespace {

using namespace formats::testing;
using buffer::kFormatIntelHex;
using buffer::kFormatMotorolaHex;
using buffer::kFormatTektronixHex;

std::string Hex2(int value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value & 0xFF);
  return text;
}

int ByteSumOf(const std::string& digits) {
  int sum = 0;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    sum += std::stoi(digits.substr(i, 2), nullptr, 16);
  return sum;
}

// ':' count address type data checksum, with the line end given.
std::string IntelRecord(const std::string& addressTypeData, int checksumDelta = 0,
                        const char* end = "\r\n") {
  const int count = static_cast<int>(addressTypeData.size() / 2) - 3;
  const std::string body = Hex2(count) + addressTypeData;
  return ":" + body + Hex2(-ByteSumOf(body) + checksumDelta) + end;
}

// "S<type>" count bytes checksum, with the line end given.
std::string SRecord(char type, const std::string& bytes, int checksumDelta = 0,
                    const char* end = "\r\n") {
  const std::string count = Hex2(static_cast<int>(bytes.size() / 2) + 1);
  return std::string("S") + type + count + bytes +
         Hex2(~ByteSumOf(count + bytes) + checksumDelta) + end;
}

std::string NibbleSum(const std::string& digits) {
  int sum = 0;
  for (char c : digits) sum += std::stoi(std::string(1, c), nullptr, 16);
  return Hex2(sum);
}

// '/' address count header checksum data data checksum.
std::string TekRecord(const std::string& address, const std::string& data, int headerDelta = 0) {
  const std::string head = address + Hex2(static_cast<int>(data.size() / 2));
  return "/" + head + Hex2(std::stoi(NibbleSum(head), nullptr, 16) + headerDelta) + data +
         NibbleSum(data) + "\r\n";
}

bool UpdateIntel(int mode, const FileImage& file) {
  return DetectIntelHex(mode, file, UpdateToolReaders());
}
bool UpdateMotorola(int mode, const FileImage& file) {
  return DetectMotorolaS(mode, file, UpdateToolReaders());
}
bool UpdateTektronix(int mode, const FileImage& file) {
  return DetectTektronix(mode, file, UpdateToolReaders());
}

struct DetectRow {
  const char* name;
  bool (*detect)(int, const FileImage&);
  bool (*console)(int, const FileImage&);
  const DetectorMessages* boxes;
  std::string text;
  bool update;      // the update tool's answer
  bool consoles;    // the console's
};

class UpdateDetectTest : public ::testing::TestWithParam<DetectRow> {};

TEST_P(UpdateDetectTest, AnswersWithItsOwnBoxesWhereTheConsoleMayDiffer) {
  const DetectRow& row = GetParam();
  ExpectDetection(row.detect, *row.boxes, row.text, row.update);
  EXPECT_EQ(row.console(kDetectSilent, ImageOf(row.text)), row.consoles);
}

const std::string kIntelData = IntelRecord("003000" "02337A");
const std::string kS1 = SRecord('1', "0000" "0102");

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateDetectTest,
    ::testing::Values(
        DetectRow{"IntelAfterLongText", UpdateIntel, DetectIntelHex,
                  &UpdateToolReaders().intelDetect, std::string(300, '#') + "\n" + kIntelData,
                  true, false},
        DetectRow{"IntelNone", UpdateIntel, DetectIntelHex, &UpdateToolReaders().intelDetect,
                  IntelRecord("000001"), false, false},
        DetectRow{"MotorolaAfterAStrayPair", UpdateMotorola, DetectMotorolaS,
                  &UpdateToolReaders().motorolaDetect, "S4 is no record\r\n" + kS1, true, false},
        DetectRow{"MotorolaBadThenGood", UpdateMotorola, DetectMotorolaS,
                  &UpdateToolReaders().motorolaDetect, SRecord('1', "0000" "01", 1) + kS1, true,
                  false},
        DetectRow{"MotorolaChecksum00", UpdateMotorola, DetectMotorolaS,
                  &UpdateToolReaders().motorolaDetect, SRecord('1', "0000" "FB"), true, false},
        DetectRow{"MotorolaPercentLf", UpdateMotorola, DetectMotorolaS,
                  &UpdateToolReaders().motorolaDetect, "%" + SRecord('1', "0000" "01", 0, "\n"),
                  true, true},
        DetectRow{"MotorolaOnlyHeaderAndEnd", UpdateMotorola, DetectMotorolaS,
                  &UpdateToolReaders().motorolaDetect, SRecord('0', "0000") + SRecord('9', "0000"),
                  false, false},
        DetectRow{"TektronixWrongHeaderChecksum", UpdateTektronix, DetectTektronix,
                  &UpdateToolReaders().tektronixDetect, TekRecord("0100", "FFEE", 1), true, false},
        DetectRow{"TektronixWrongDataOnly", UpdateTektronix, DetectTektronix,
                  &UpdateToolReaders().tektronixDetect, "/0100010200FF\r\n", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadRow {
  const char* name;
  int32_t format;
  std::string text;
  std::string box;        // the start of the one box shown; empty: none
  int32_t length;         // bytes placed from image address 0; -1: refused
  uint32_t address = 0;   // where `bytes` must stand in the placed block
  std::vector<uint8_t> bytes = {};
};

class UpdateReadTest : public ::testing::TestWithParam<ReadRow> {};

TEST_P(UpdateReadTest, PlacesWhatTheUpdateToolReadsOrRefusesWithOneBox) {
  const ReadRow& row = GetParam();
  winapi::ScriptedMessageBoxes boxes;
  buffer::RecordingProgress progress;
  KeepFileSegmentBase keep;
  LoadSettings settings;
  settings.userFill = 0x5A;
  auto source = ReadLoadSource(row.format, ImageOf(row.text, "bad.upd"), settings,
                               {nullptr, keep, 0x10000, UpdateToolLoad()});
  if (row.box.empty()) {
    EXPECT_EQ(boxes.boxes().size(), 0u);
  } else {
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text.substr(0, row.box.size()), row.box);
  }
  EXPECT_FALSE(progress.visible);
  if (row.length < 0) {
    EXPECT_FALSE(source);
    return;
  }
  ASSERT_TRUE(source);
  EXPECT_EQ(source->length, row.length);
  EXPECT_EQ(source->destination, 0);
  ASSERT_GE(source->block.size(), row.address + row.bytes.size());
  for (size_t k = 0; k < row.bytes.size(); ++k)
    EXPECT_EQ(source->block[row.address + k], row.bytes[k]) << k;
  // Below the data the image holds the fill byte.
  if (row.address > 0) {
    EXPECT_EQ(source->block[0], 0x5A);
  }
}

const std::string kFormatError = "FORMAT ERROR !";
const std::string kIncomplete = "File read in complete!\nData still load in buffer.";

// Three S1 records of two bytes each at 0x10, 0x12 and 0x14.
std::string ThreeRecords(const char* prefix, const char* end) {
  return prefix + SRecord('1', "0010" "A1A2", 0, end) + prefix +
         SRecord('1', "0012" "B1B2", 0, end) + prefix + SRecord('1', "0014" "C1C2", 0, end) +
         prefix + SRecord('9', "0000", 0, end);
}
const std::vector<uint8_t> kThreeRecords{0xA1, 0xA2, 0xB1, 0xB2, 0xC1, 0xC2};

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateReadTest,
    ::testing::Values(
        // Intel Hex: 04 passed over, 02 taken at once, mismatches kept with their box.
        ReadRow{"IntelLinearRecordPassedOver",
                kFormatIntelHex, IntelRecord("000004" "0001") + IntelRecord("001000" "AABB") +
                IntelRecord("000001"), "", 0x12, 0x10, {0xAA, 0xBB}},
        ReadRow{"IntelSegmentBase", kFormatIntelHex,
                IntelRecord("000002" "1000") + IntelRecord("001000" "AABB"), "", 0x10012, 0x10010,
                {0xAA, 0xBB}},
        ReadRow{"IntelMismatchKept", kFormatIntelHex,
                IntelRecord("001000" "AABB") + IntelRecord("001200" "CC", 1), kIncomplete, 0x13,
                0x12, {0xCC}},
        ReadRow{"IntelCutShort", kFormatIntelHex, kIntelData + ":10000000AB", kFormatError, -1},
        ReadRow{"IntelNotIntel", kFormatIntelHex, kS1, "File not is Intel Hex format !", -1},
        // Motorola S: every record whatever the line ends, up to S7 or S9.
        ReadRow{"MotorolaLfOnly", kFormatMotorolaHex, ThreeRecords("", "\n"), "", 0x16, 0x10,
                kThreeRecords},
        ReadRow{"MotorolaCrLf", kFormatMotorolaHex, ThreeRecords("", "\r\n"), "", 0x16, 0x10,
                kThreeRecords},
        ReadRow{"MotorolaPercentCrLf", kFormatMotorolaHex, ThreeRecords("%", "\r\n"), "", 0x16,
                0x10, kThreeRecords},
        ReadRow{"MotorolaNoLineEnds", kFormatMotorolaHex, ThreeRecords("", ""), "", 0x16, 0x10,
                kThreeRecords},
        ReadRow{"MotorolaStopsAtS9", kFormatMotorolaHex,
                kS1 + SRecord('9', "0000") + SRecord('1', "0100" "EE"), "", 2, 0, {0x01, 0x02}},
        ReadRow{"MotorolaS3Whole", kFormatMotorolaHex, SRecord('3', "00012000" "77"), "",
                0x12001, 0x12000, {0x77}},
        ReadRow{"MotorolaMismatchKept", kFormatMotorolaHex,
                SRecord('2', "000020" "99", 1) + SRecord('1', "0030" "0102"), kIncomplete, 0x32,
                0x20, {0x99}},
        ReadRow{"MotorolaCountZero", kFormatMotorolaHex, kS1 + "S1000000FF\r\n",
                kFormatError + "\n\nbad.upd, line 2, column 3: the record's count is 0", -1},
        ReadRow{"MotorolaCutShort", kFormatMotorolaHex, kS1 + "S1130000AB",
                kFormatError + "\n\nbad.upd, line 2, column 11: the text ends", -1},
        ReadRow{"MotorolaBadDigit", kFormatMotorolaHex, kS1 + "S1050000G1024F\r\n",
                kFormatError + "\n\nbad.upd, line 2, column 9: no hex digit", -1},
        ReadRow{"MotorolaBeyondTheLargestImage", kFormatMotorolaHex,
                kS1 + SRecord('3', "7F000000" "0102"),
                kFormatError + "\n\nbad.upd, line 2, column 1: data at address 0x7F000000", -1},
        ReadRow{"MotorolaLastAddressOfTheLargestImage", kFormatMotorolaHex,
                SRecord('3', "010203FF" "42"), "", 0x1020400, 0x10203FF, {0x42}},
        ReadRow{"MotorolaNotMotorola", kFormatMotorolaHex, SRecord('9', "0000"),
                "File not is Motorola Hex format !", -1},
        // Tektronix: the reader is the console's; only the detector's header check differs.
        ReadRow{"TektronixWrongHeaderChecksum", kFormatTektronixHex,
                TekRecord("0100", "FFEE", 1) + "/00000000\r\n", "", 0x102, 0x100, {0xFF, 0xEE}},
        ReadRow{"TektronixCutShort", kFormatTektronixHex, TekRecord("0100", "FFEE") + "/0200021",
                kFormatError, -1},
        ReadRow{"TektronixNotTektronix", kFormatTektronixHex, kS1, "Not is Tektronix HEX format !",
                -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateReadersTest, AMotorolaFileWithoutRecordsOrWithHeadersOnlyIsAFormatError) {
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_FALSE(ParseMotorolaSUntilEnd(nullptr, 0, ImageOf("no records here"), 0x10000));
  auto headerOnly = ParseMotorolaSUntilEnd(nullptr, 0, ImageOf(SRecord('0', "0000")), 0x10000);
  ASSERT_TRUE(headerOnly);
  EXPECT_EQ(headerOnly->highest, 0);
  EXPECT_EQ(headerOnly->lowest, 0xFFFFFF);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "FORMAT ERROR !");
  EXPECT_EQ(boxes.boxes()[0].caption, "");
}

}  // namespace
}  // namespace formats
