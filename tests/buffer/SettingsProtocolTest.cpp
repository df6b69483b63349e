#include <gtest/gtest.h>

#include "buffer/core/DialogSettings.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;
using winapi::ScriptedMessageBoxes;

class SettingsProtocolTest : public ::testing::Test {
 protected:
  SettingsProtocolTest() : previousPath_(SettingsPath()) { SetSettingsPath(Path()); }
  ~SettingsProtocolTest() override { SetSettingsPath(previousPath_); }

  std::string Path() const { return dir_.File("History.ini"); }

  TempDir dir_;
  ScriptedMessageBoxes boxes_;

 private:
  std::string previousPath_;
};

TEST_F(SettingsProtocolTest, BufferInfoRoundTripsWithoutMessages) {
  WriteBufferInfo({0x100000, 0x2345, 0x10, 7});
  EXPECT_NE(dir_.Read("History.ini").find("BufSize=1048576"), std::string::npos);
  BufferInfo info = ReadBufferInfo();
  EXPECT_EQ(info.BufSize, 0x100000);
  EXPECT_EQ(info.FileSize, 0x2345);
  EXPECT_EQ(info.FileStartAdd, 0x10);
  EXPECT_EQ(info.BufHandle, 7);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(SettingsProtocolTest, MissingBufInfShowsBothMessagesAndReadsZeros) {
  dir_.Write("History.ini", "[LoadDlg]\nName=x\n");
  BufferInfo info = ReadBufferInfo();
  EXPECT_EQ(info.BufSize, 0);
  EXPECT_EQ(info.BufHandle, 0);
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[0].text, "History File Error !");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Get Check Sum");
  EXPECT_EQ(boxes_.boxes()[0].flags, unsigned{winapi::MB_ICONERROR});
  EXPECT_EQ(boxes_.boxes()[1].text, "MEMORY ERROR.");
  EXPECT_EQ(boxes_.boxes()[1].caption, "GET SUM DIALOG");
  EXPECT_EQ(boxes_.boxes()[1].flags, unsigned{winapi::MB_OK});
  EXPECT_EQ(boxes_.boxes()[1].owner, nullptr);
}

TEST_F(SettingsProtocolTest, OnlyTheBadValueIsReported) {
  dir_.Write("History.ini", "[bufinf]\nbufsize=-5\nBUFHANDLE=3\nFileSize=junk\n");
  BufferInfo info = ReadBufferInfo();
  EXPECT_EQ(info.BufSize, -5);
  EXPECT_EQ(info.FileSize, 0);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "History File Error !");
}

TEST_F(SettingsProtocolTest, OkReadsZeroWhenAbsentAndFollowsTheButtons) {
  EXPECT_EQ(ReadDialogOk(Path(), "FillDataDlg"), 0);
  WriteDialogOk("FillDataDlg", true);
  EXPECT_EQ(ReadDialogOk(Path(), "FillDataDlg"), 1);
  EXPECT_EQ(TIniFile(Path()).ReadString("FillDataDlg", "OK", ""), "1");
  EXPECT_EQ(ReadDialogOk("BlockDlg"), 0);
}

TEST_F(SettingsProtocolTest, OpeningADialogClearsAStaleOk) {
  dir_.Write("History.ini", "[LoadDlg]\nName=a.bin\nOK=1\n");
  MarkDialogOpened("LoadDlg");
  EXPECT_EQ(ReadDialogOk(Path(), "LoadDlg"), 0);
  EXPECT_EQ(TIniFile(Path()).ReadString("LoadDlg", "Name", ""), "a.bin");
}

TEST_F(SettingsProtocolTest, TheUpdateToolsFileIsJustAnotherPath) {
  std::string update = dir_.File("Zorv_R77Update.ini");
  WriteDialogOk("ResizeDlg", true, update);
  EXPECT_EQ(ReadDialogOk(update, "ResizeDlg"), 1);
  EXPECT_EQ(ReadDialogOk(Path(), "ResizeDlg"), 0);
}

TEST_F(SettingsProtocolTest, IcFilePathJoinsSystemPathAndFileName) {
  EXPECT_EQ(ReadIcFilePath(), "None\\ini\\None");
  dir_.Write("History.ini", "[System]\nPath=C:\\DEV\n[SelectDlg]\nIcFileName=X.INI\n");
  EXPECT_EQ(ReadIcFilePath(), "C:\\DEV\\ini\\X.INI");
  // A deep folder is kept whole, like every other path.
  const std::string deep = "/data/" + std::string(300, 'd');
  dir_.Write("History.ini", "[System]\nPath=" + deep + "\n[SelectDlg]\nIcFileName=LONG.INI\n");
  EXPECT_EQ(ReadIcFilePath(), deep + "\\ini\\LONG.INI");
}

TEST_F(SettingsProtocolTest, IcSizeGivesByteAndWordRanges) {
  dir_.Write("History.ini", "[System]\nPath=" + dir_.path().string() +
                                "\n[SelectDlg]\nIcFileName=X.INI\n");
  dir_.Write("ini/X.INI", "[ICInformation]\nICSIZE=512\n");
  EXPECT_EQ(ReadIcSize(), 512);
  auto range = ReadIcRange();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->ByteEnd, 0xFFFF);
  EXPECT_EQ(range->WordEnd, 0x7FFF);
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(SettingsProtocolTest, IcSizeOfZeroOrLessHasNoRangeAfterItsMessage) {
  dir_.Write("History.ini", "[System]\nPath=" + dir_.path().string() +
                                "\n[SelectDlg]\nIcFileName=X.INI\n");
  EXPECT_FALSE(ReadIcRange());  // no IC file at all
  dir_.Write("ini/X.INI", "[ICInformation]\nICSIZE=-3\n");
  EXPECT_FALSE(ReadIcRange());
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[0].text,
            "IC SIZE ERROR IN \"" + dir_.path().string() + "\\ini\\X.INI\" FILE.");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Error !");
  EXPECT_EQ(boxes_.boxes()[0].flags, unsigned{winapi::MB_OK});
}

TEST(IcRangeTest, HugeSizesEndAtTheLargestAddress) {
  auto range = IcRangeOfSize(0x7FFFFFFF);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->ByteEnd, INT32_MAX);
  EXPECT_EQ(range->WordEnd, INT32_MAX);
  EXPECT_EQ(IcRangeOfSize(1)->ByteEnd, 127);
  EXPECT_EQ(IcRangeOfSize(1)->WordEnd, 63);
  EXPECT_FALSE(IcRangeOfSize(0));
}

}  // namespace
