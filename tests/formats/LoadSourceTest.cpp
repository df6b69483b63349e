// From a file on disk to the block a merge places: reading the file, detection, and each
// format's reader with the FileStartAdd, FileSize and checksum range it hands the load.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/Pof.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using ::testing::ElementsAre;
using namespace formats::testing;
using buffer::kFormatBinary;
using buffer::kFormatIntelHex;
using buffer::kFormatJedec;
using buffer::kFormatMsDosCom;
using buffer::kFormatMsDosExe;
using buffer::kFormatPof;

std::vector<std::string> Texts(const winapi::ScriptedMessageBoxes& boxes) {
  std::vector<std::string> texts;
  for (const auto& box : boxes.boxes()) texts.push_back(box.text + "|" + box.caption);
  return texts;
}

std::string Counting(size_t n) {
  std::string bytes(n, '\0');
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(i);
  return bytes;
}

TEST(ReadBinaryFileTest, ReadsTheFileOrItsRangeAndRefusesWhatIsNoReadableFile) {
  TempDir dir;
  dir.Write("a.bin", Counting(0x40));
  {
    auto image = ReadBinaryFile({dir.File("a.bin"), 0, 0x10});  // start 0: the whole file
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size, 0x40);
    EXPECT_EQ(image->bytes.size(), 0x40u + FileImage::kSpare);
    EXPECT_EQ(image->bytes[0x3F], 0x3F);
    EXPECT_EQ(image->bytes[0x40], 0x00);
  }
  {
    auto image = ReadBinaryFile({dir.File("a.bin"), 0x30, 0x4F});  // past the end: 0xFF
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size, 0x20);
    EXPECT_EQ(image->bytes[0], 0x30);
    EXPECT_EQ(image->bytes[0x0F], 0x3F);
    EXPECT_EQ(image->bytes[0x10], 0xFF);
    EXPECT_EQ(image->bytes[0x1F], 0xFF);
    EXPECT_EQ(image->bytes[0x20], 0x00);
  }
  {
    // A range of any claimed length is read at most as far as a binary load places.
    auto image = ReadBinaryFile({dir.File("a.bin"), 1, 0x7FFFFFFF});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size, kLargestBinaryLoad);
  }
  dir.Write("empty.bin", "");
  auto empty = ReadBinaryFile({dir.File("empty.bin"), 0, 0});
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->size, 0);
  // Files that report no size are read to their end.
  auto status = ReadBinaryFile({"/proc/self/status", 0, 0});
  ASSERT_TRUE(status);
  EXPECT_GT(status->size, 0);

  std::filesystem::create_directories(dir.File("folder"));
  for (const std::string& name :
       {dir.File("missing.bin"), dir.File("folder"), std::string("None")}) {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(ReadBinaryFile({name, 0, 0})) << name;
    EXPECT_THAT(Texts(boxes), ElementsAre("FILE NOT FOUND !|")) << name;
  }
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_FALSE(ReadBinaryFile({"/proc/self/mem", 0, 0}));  // exists, but reading fails
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text.substr(0, 22), "Cannot read \"/proc/sel");
  EXPECT_EQ(boxes.boxes()[0].caption, "Load BIN File");
}

TEST(LoadSettingsTest, ReadsTheKeysWithTheLoadsDefaultsAndTheDialogsSpelling) {
  TempDir dir;
  const std::string ini = dir.File("History.ini");
  LoadSettings defaults = ReadLoadSettings(ini);
  EXPECT_EQ(defaults.evenOdd, 1);
  EXPECT_EQ(defaults.sourceStart, 1);
  EXPECT_EQ(defaults.sourceEnd, 1);
  EXPECT_EQ(defaults.userFill, 0);
  EXPECT_FALSE(defaults.FillUnused());
  TIniFile file(ini);
  file.WriteInteger("LoadDlg", "DistSAdd", 0x1000);
  file.WriteInteger("LoadDlg", "UserFill", 0x1A5);
  file.WriteInteger("LoadDlg", "UnuserFillCheck", 1);
  LoadSettings settings = ReadLoadSettings(ini);
  EXPECT_EQ(settings.destination, 0x1000);
  EXPECT_EQ(settings.Fill(), 0xA5);
  EXPECT_TRUE(settings.FillUnused());
  EXPECT_EQ(ReadBinarySource(ini).name, "None");
}

const std::string kIntelText = ":0300300002337A1E\r\n:00000001FF\r\n";

std::string PofFile() {
  std::string file = "POF\x00" + std::string(0x1FC, '\x12');
  file += std::string(8, '\xFF') + "\x01\x0F\x80";
  return file;
}

TEST(DetectLoadFormatTest, TriesTheDetectorsInOrderAndFallsBackToBinary) {
  struct Case {
    std::string text;
    int32_t format;
    std::string box;
  };
  for (const Case& c : {Case{kIntelText, kFormatIntelHex, "This is Intel Hex format !|Auto detect"},
                        Case{PofFile(), kFormatPof, "This is POF format !|Auto detect"},
                        Case{"POF without a data run", kFormatBinary, "Binary Code File|Detect"},
                        Case{"", kFormatBinary, "Binary Code File|Detect"}}) {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_EQ(DetectLoadFormat(ImageOf(c.text), kDetectOnSuccess), c.format);
    EXPECT_THAT(Texts(boxes), ElementsAre(c.box));
    EXPECT_EQ(DetectLoadFormat(ImageOf(c.text), kDetectSilent), c.format);
    EXPECT_EQ(boxes.boxes().size(), 1u);
  }
}

struct SourceCase {
  const char* name;
  int32_t format;
  std::string file;
  LoadSettings settings;
  // What the reader hands on; empty `box` and `refused` false for a silent success.
  bool refused;
  std::string box;
  std::string placed = "";  // the first bytes of the block
  bool place = false;
  int32_t length = 0, stride = 0, fileStartAdd = 0, fileSize = 0, checksumStart = 0,
          checksumEnd = 0;
  ChecksumRoute checksum = ChecksumRoute::Range;
};

LoadSettings Settings(int32_t destination, int32_t start = 1, int32_t end = 1,
                      int32_t evenOdd = 0) {
  LoadSettings settings;
  settings.destination = destination;
  settings.sourceStart = start;
  settings.sourceEnd = end;
  settings.evenOdd = evenOdd;
  settings.userFill = 0xFF;
  settings.unusedFill = 1;
  return settings;
}

class LoadSourceTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(LoadSourceTest, HandsTheLoadWhatToPlaceAndWhatToRecord) {
  const SourceCase& c = GetParam();
  winapi::ScriptedMessageBoxes boxes;
  KeepFileSegmentBase keep;
  ReaderContext context{nullptr, keep, 0x100000};
  auto source = ReadLoadSource(c.format, ImageOf(c.file), c.settings, context);
  if (c.box.empty())
    EXPECT_TRUE(boxes.boxes().empty());
  else
    EXPECT_THAT(Texts(boxes), ElementsAre(c.box));
  ASSERT_EQ(!source, c.refused);
  if (c.refused) return;
  EXPECT_EQ(source->place, c.place);
  EXPECT_EQ(source->fileStartAdd, c.fileStartAdd);
  if (!c.place) return;
  ASSERT_GE(source->block.size(), c.placed.size());
  EXPECT_EQ(std::string(source->block.begin(),
                        source->block.begin() + static_cast<long>(c.placed.size())),
            c.placed);
  EXPECT_GE(source->block.size(), static_cast<size_t>(source->length));
  EXPECT_EQ(source->length, c.length);
  EXPECT_EQ(source->destination, c.settings.destination);
  EXPECT_EQ(source->stride, c.stride);
  EXPECT_EQ(source->merge, MergeRoute::Split);
  EXPECT_TRUE(source->fillUnused);
  EXPECT_EQ(source->fill, 0xFF);
  EXPECT_EQ(source->fileSize, c.fileSize);
  EXPECT_EQ(source->checksum, c.checksum);
  EXPECT_EQ(source->checksumStart, c.checksumStart);
  EXPECT_EQ(source->checksumEnd, c.checksumEnd);
}

std::string Exe(size_t body) { return "MZ" + std::string(510, '\0') + Counting(body); }

INSTANTIATE_TEST_SUITE_P(
    All, LoadSourceTest,
    ::testing::Values(
        // The image of a binary range read from file offset 0x10 (16 bytes) at 0x1000.
        SourceCase{"BinaryRange", kFormatBinary, Counting(16), Settings(0x1000, 0x10, 0x1F), false, "",
                   Counting(16), true, 16, 1, 0x10, 0x20, 0x1000, 0x100F, ChecksumRoute::Range},
        // GANG TOOLS writes the end as the file size: the file is placed, no byte after it.
        SourceCase{"EndAtTheFileSize", kFormatBinary, Counting(40), Settings(0, 0, 40), false, "",
                   Counting(40), true, 40, 1, 0, 40, 0, 39, ChecksumRoute::Range},
        SourceCase{"ComSplit", kFormatMsDosCom, Counting(40), Settings(0x20, 0, 9, 1), false, "",
                   Counting(10), true, 10, 2, 0, 10, 0x20, 0x29, ChecksumRoute::Range},
        SourceCase{"CodeWithoutReader", kFormatJedec, Counting(8), Settings(0, 0, 7), false, "",
                   Counting(8), true, 8, 1, 0, 8, 0, 7, ChecksumRoute::Range},
        SourceCase{"NothingToPlace", kFormatBinary, Counting(8), Settings(0, 5, 4), false, "", "", false,
                   0, 1, 5, 0, 0, 0, ChecksumRoute::Range},
        SourceCase{"EmptyFile", kFormatBinary, "", Settings(0, 0, 0), false, "", "", false, 0, 1, 0, 0, 0,
                   0, ChecksumRoute::Range},
        SourceCase{"Exe", kFormatMsDosExe, Exe(88), Settings(0x100), false, "", Counting(88), true, 88, 1,
                   0x100, 0x100 + 88, 0x100, 0x100 + 87, ChecksumRoute::Range},
        SourceCase{"ExeHeaderOnly", kFormatMsDosExe, Exe(0), Settings(0x100), false, "", "", true, 0, 1,
                   0x100, 0x100, 0x100, 0xFF, ChecksumRoute::Range},
        SourceCase{"ExeShorterThanItsHeader", kFormatMsDosExe, std::string(511, 'M'), Settings(0), true,
                   "Format Error !|Load"},
        SourceCase{"Pof", kFormatPof, PofFile(), Settings(0x40), false, "",
                   std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x80\xF0\x01", 11), true, 11, 1,
                   0x40, 0x40 + 11, 0x40, 0x40 + 10, ChecksumRoute::GetSumCommand},
        SourceCase{"PofWithoutDataRun", kFormatPof, "POF" + std::string(0x100, '\x12'), Settings(0),
                   true, "File is not POF format !|ERROR !"},
        SourceCase{"PofWithoutSignature", kFormatPof, "xxxxxxxxPOF" + std::string(8, '\xFF'),
                   Settings(0), true, "File is not POF format !|ERROR !"},
        SourceCase{"IntelHex", kFormatIntelHex, kIntelText, Settings(0x1000), false, "",
                   std::string(0x30, '\xFF') + "\x02\x33\x7A", true, 0x33, 1, 0x1000, 0x1033,
                   0x1000, 0x1032, ChecksumRoute::Range},
        SourceCase{"IntelHexForcedOnOtherText", kFormatIntelHex, "S1130000000102030405",
                   Settings(0), true, "File is not Intel Hex format !|ERROR !"},
        SourceCase{"IntelHexCutShort", kFormatIntelHex,
                   ":0300300002337A1E\n:0300300002337A\n:00000001FF", Settings(0), true,
                   "FORMAT ERROR !|"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StripHeaderTest, MovesTheDataInPlaceAndLeavesTheRest) {
  FileImage file = ImageOf(std::string("\xAA\xBB\x01\x0F", 4));
  ASSERT_TRUE(StripHeader(file, 2, true));
  EXPECT_EQ(file.bytes[0], 0x80);
  EXPECT_EQ(file.bytes[1], 0xF0);
  EXPECT_EQ(file.bytes[2], 0x01);  // not cleared
  EXPECT_EQ(file.size, 4);
  for (int value : {0x00, 0x01, 0x0F, 0x5A, 0xC3, 0xFF})
    EXPECT_EQ(ReverseBits(ReverseBits(static_cast<uint8_t>(value))), value);
  EXPECT_EQ(ReverseBits(0x5A), 0x5A);
  EXPECT_EQ(ReverseBits(0x12), 0x48);
}

}  // namespace
}  // namespace formats

namespace formats {
namespace {

// A file whose length with the image's spare bytes would pass 32 bits is out of memory: its
// image could never be had (a sparse file, so the test writes nothing to the disk).
TEST(ReadBinaryFileTest, AFileTooLargeForAnImageIsAMemoryError) {
  TempDir dir;
  const std::string name = dir.File("huge.bin");
  dir.Write("huge.bin", "");
  std::filesystem::resize_file(name, 0x7FFFFC00);
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_FALSE(ReadBinaryFile({name, 0, 0}));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Memory error.");
  EXPECT_EQ(boxes.boxes()[0].caption, "Load BIN File");
}

}  // namespace
}  // namespace formats
