#include <gtest/gtest.h>

#include <fstream>

#include "buffer/core/FileChecks.h"
#include "buffer/core/FileFilter.h"
#include "buffer/core/HexText.h"
#include "buffer/core/LoadDialogRules.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;
using winapi::ScriptedMessageBoxes;

// A row of the Load button's checks: what the entries hold and which box (if any) refuses.
struct CheckCase {
  const char* what;
  const char* file;  // name in the temp folder
  const char* start;
  const char* end;
  const char* destination;
  const char* fill;
  const char* text;     // nullptr: accepted
  const char* caption;
};

constexpr const char* kNotFound = "Not Found File ! ";
constexpr const char* kValue = "Input Value Error !";

class LoadChecksTest : public ::testing::TestWithParam<CheckCase> {
 protected:
  LoadChecksTest() {
    dir_.Write("data.bin", std::string(0x100, 'x'));
    dir_.Write("one.bin", "x");
    dir_.Write("empty.bin", "");
    dir_.Write("sub/inner.bin", "xy");
  }
  TempDir dir_;
};

TEST_P(LoadChecksTest, FirstFailingCheckShowsItsBox) {
  const CheckCase& c = GetParam();
  ScriptedMessageBoxes boxes;
  LoadDialogEntries entries{dir_.File(c.file), c.start, c.end, c.destination, c.fill,
                            kFormatBinary, 2, 1, false};
  std::optional<LoadDialogKeys> keys = CheckLoadEntries(entries);
  if (!c.text) {
    EXPECT_TRUE(keys) << c.what;
    EXPECT_TRUE(boxes.boxes().empty()) << c.what;
    return;
  }
  EXPECT_FALSE(keys) << c.what;
  ASSERT_EQ(boxes.boxes().size(), 1u) << c.what;
  EXPECT_EQ(boxes.boxes()[0].text, c.text) << c.what;
  EXPECT_EQ(boxes.boxes()[0].caption, c.caption) << c.what;
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned{winapi::MB_ICONERROR});
}

INSTANTIATE_TEST_SUITE_P(
    Order, LoadChecksTest,
    ::testing::Values(
        CheckCase{"the whole file", "data.bin", "000000", "0000FF", "000000", "FF", nullptr, ""},
        CheckCase{"no such file, whatever else", "None", "5", "1", "FFFFFF", "1FF", kNotFound,
                  "ERROR"},
        CheckCase{"a folder is no file", "sub", "0", "1", "0", "0", kNotFound, "ERROR"},
        CheckCase{"one byte: start not below end", "one.bin", "000000", "000000", "0", "FF",
                  kValue, "Error"},
        CheckCase{"an empty file: start not below its size", "empty.bin", "000000", "FFFFFFF",
                  "0", "FF", kValue, "ERROR"},
        CheckCase{"range before destination", "data.bin", "10", "8", "F00000", "FF", kValue,
                  "Error"},
        CheckCase{"end equal to the size", "data.bin", "0", "100", "0", "FF", kValue, "ERROR"},
        CheckCase{"start beyond the size", "data.bin", "100", "1000", "0", "FF", kValue,
                  "ERROR"},
        CheckCase{"destination EFFFFF", "data.bin", "0", "FF", "EFFFFF", "00", nullptr, ""},
        CheckCase{"destination F00000", "data.bin", "0", "FF", "F00000", "00", kValue, "ERROR"},
        CheckCase{"fill 100", "data.bin", "0", "FF", "0", "100", kValue, "ERROR"},
        CheckCase{"fill empty reads 0", "data.bin", "0", "FF", "0", "", nullptr, ""}),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

TEST(LoadDialogKeysTest, AcceptedEntriesAreWrittenInOrderEndingWithNameAndOk) {
  TempDir dir;
  dir.Write("data.bin", std::string(0x40, 'x'));
  ScriptedMessageBoxes boxes;
  auto keys = CheckLoadEntries(
      {dir.File("data.bin"), "10", "3f", "1000", "a5", kFormatMsDosCom, 1, 1, false});
  ASSERT_TRUE(keys);
  WriteLoadDialogKeys(*keys, true, dir.File("History.ini"));
  std::string expected = "[LoadDlg]\r\nSourceSAdd=16\r\nSourceEAdd=63\r\nDistSAdd=4096\r\n"
                         "UserFill=165\r\nFormat=2\r\nEvenOdd=1\r\nEvenOddByteWord=1\r\n"
                         "UnuserFillCheck=0\r\nName=" + dir.File("data.bin") + "\r\nOK=1\r\n";
  EXPECT_EQ(dir.Read("History.ini"), expected);

}

TEST(LoadDialogRulesTest, SourceRangeOfAHugeFileStaysWholeInSevenDigits) {
  TempDir dir;
  {
    std::ofstream big(dir.File("big.bin"), std::ios::binary);
    big.seekp(0x12345678 - 1);
    big.put('x');
  }
  EXPECT_EQ(FileRange(dir.File("big.bin"))->end, "12345677");
  EXPECT_EQ(FileRange(dir.File("big.bin"), kSourceAddressDigits)->end, "FFFFFFF");
  dir.Write("small.bin", std::string(0x1000, 'x'));
  EXPECT_EQ(FileRange(dir.File("small.bin"), kSourceAddressDigits)->end, "000FFF");
}

TEST(LoadDialogRulesTest, WindowsFiltersBecomeQtNameFilters) {
  EXPECT_EQ(NameFilters(kLoadFileFilter),
            (std::vector<std::string>{"All File (*)", "Binary (*.bin)", "Hex (*.hex)",
                                      "MS-DOS fn.com (*.com)", "MS-DOS fn.exe (*.exe)",
                                      "POF (*.pof)"}));
  EXPECT_EQ(NameFilters("Hex|*.hex;*.ihx|Odd"), (std::vector<std::string>{"Hex (*.hex *.ihx)"}));
}

}  // namespace
