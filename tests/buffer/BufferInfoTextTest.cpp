// The information page's texts: the figures from the form's fields, the format names and the
// last loaded file from [LoadDlg].
#include <gtest/gtest.h>

#include "buffer/core/BufferInfoText.h"
#include "buffer/core/DumpEditCore.h"
#include "platform/winapi/IniFile.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

TEST(BufferInfoText, FiguresFollowTheirFormats) {
  struct Case {
    std::uint32_t lastSum;
    std::int32_t sumStart, sumEnd, bufSize, fileStart, fileSize;
    BufferInfoTexts texts;
  };
  const Case cases[] = {
      {0, 0, 0, 0x100000, 0, 0,
       {"Check Sum : 00000000 H", "Get Sum Range : 000000H <---> 000000H", "100000", "000000",
        "000000"}},
      {0x00FF0000, 0x10, 0xFFFF, 0x10000, 0x8000, 0x8100,
       {"Check Sum : 00FF0000 H", "Get Sum Range : 000010H <---> 00FFFFH", "010000", "008000",
        "0080FF"}},
      // Seven digits where the values need them; a one-byte load ends where it starts.
      {0xFFFFFFFF, 0x1000000, 0x101FFFF, 0x1020000, 0x1000000, 0x1000001,
       {"Check Sum : FFFFFFFF H", "Get Sum Range : 1000000H <---> 101FFFFH", "1020000",
        "1000000", "1000000"}},
      // No loaded data, however the size got below 1, shows end 0; 32-bit values stay eight
      // digits.
      {0x12345678, -1, 0, 0x30000, -1, -5,
       {"Check Sum : 12345678 H", "Get Sum Range : FFFFFFFFH <---> 000000H", "030000",
        "FFFFFFFF", "000000"}},
      {1, 0, 0, 1, 0, 1,
       {"Check Sum : 00000001 H", "Get Sum Range : 000000H <---> 000000H", "000001", "000000",
        "000000"}},
  };
  for (const Case& c : cases) {
    DumpEditFields fields;
    fields.LastSum = c.lastSum;
    fields.LastSumStart = c.sumStart;
    fields.LastSumEnd = c.sumEnd;
    fields.FileStartAdd = c.fileStart;
    fields.FileSize = c.fileSize;
    const BufferInfoTexts texts = BufferInfoTextsOf(fields, c.bufSize);
    SCOPED_TRACE(c.texts.checkSum);
    EXPECT_EQ(texts.checkSum, c.texts.checkSum);
    EXPECT_EQ(texts.sumRange, c.texts.sumRange);
    EXPECT_EQ(texts.bufSize, c.texts.bufSize);
    EXPECT_EQ(texts.startAddress, c.texts.startAddress);
    EXPECT_EQ(texts.endAddress, c.texts.endAddress);
  }
}

TEST(BufferInfoText, EveryLoadFormatButJedecHasItsName) {
  const char* const names[] = {"Auto Detect.", "MS-DOS fn.exe.", "MS-DOS fn.com.",
                               "Binary/Machine Code.", "Intel Hex.", "Motorola Hex.",
                               "Tekelonix Hex.", "POF File."};
  for (std::int32_t format = 0; format < 8; ++format) {
    EXPECT_EQ(FileFormatName(format), names[format]) << format;
  }
  for (std::int32_t format : {8, 9, -1, 0x7FFFFFFF}) {
    EXPECT_EQ(FileFormatName(format), std::nullopt) << format;
  }
}

TEST(BufferInfoText, TheLastFileComesFromTheLoadDialogsSection) {
  TempDir dir;
  const std::string ini = dir.File("History.ini");
  LoadedFileTexts file = ReadLoadedFileTexts(ini);
  EXPECT_EQ(file.name, "None");
  EXPECT_EQ(file.format, "Binary/Machine Code.");

  TIniFile settings(ini);
  settings.WriteString("LoadDlg", "Name", "C:\\DATA\\\xC4pfel.HEX");
  settings.WriteString("LoadDlg", "Format", "4");
  file = ReadLoadedFileTexts(ini);
  EXPECT_EQ(file.name, "C:\\DATA\\\xC4pfel.HEX");
  EXPECT_EQ(file.format, "Intel Hex.");
  settings.WriteString("LoadDlg", "Format", "8");
  EXPECT_EQ(ReadLoadedFileTexts(ini).format, std::nullopt);
}

}  // namespace
}  // namespace buffer
