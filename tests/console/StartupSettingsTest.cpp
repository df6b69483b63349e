#include <gtest/gtest.h>

#include "console/core/FailureLog.h"
#include "console/core/LcdText.h"
#include "console/core/PortAddressText.h"
#include "console/core/StartupSettings.h"
#include "platform/winapi/IniFile.h"
#include "tests/support/TempDir.h"

namespace {

using namespace console;

TEST(PortAddressTextTest, ReadsLeadingHexDigitsAfterBlanksAndAnOptional0x) {
  EXPECT_EQ(ParsePortAddress("378"), 0x378u);
  EXPECT_EQ(ParsePortAddress("3bc"), 0x3BCu);
  EXPECT_EQ(ParsePortAddress(" 0x278"), 0x278u);
  EXPECT_EQ(ParsePortAddress("\t0X3BC"), 0x3BCu);
  EXPECT_EQ(ParsePortAddress("378h"), 0x378u);
  EXPECT_EQ(ParsePortAddress("37 8"), 0x37u);
  EXPECT_EQ(ParsePortAddress("LPT1"), 0u);
  EXPECT_EQ(ParsePortAddress(""), 0u);
  EXPECT_EQ(ParsePortAddress("0x"), 0u);
  EXPECT_EQ(ParsePortAddress("0"), 0u);
  EXPECT_EQ(ParsePortAddress("-378"), 0u);
  EXPECT_EQ(ParsePortAddress("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParsePortAddress("123456789"), 0xFFFFFFFFu);
  EXPECT_EQ(ParsePortAddress("0x 378"), 0u);
}

class StartupSettingsTest : public ::testing::Test {
 protected:
  std::string Dir() const { return dir_.path().string(); }
  std::string History() const { return HistoryIniPathIn(Dir()); }
  void WriteHistory(const std::string& text) { dir_.Write("History.ini", text); }

  TempDir dir_;
};

TEST_F(StartupSettingsTest, MissingFilesGiveTheDefaults) {
  EXPECT_EQ(ReadOemMode(Dir()), 0);
  EXPECT_FALSE(ReadGangToolActive(History()));
  EXPECT_FALSE(ReadDataPort(History()));
  EXPECT_FALSE(ReadMenuListMode(History()));
  EXPECT_EQ(History(), Dir() + "\\History.ini");
}

TEST_F(StartupSettingsTest, OemModeComesFromOemIni) {
  dir_.Write("OEM.INI", "[OEM]\nISOEM=1\n");
  EXPECT_EQ(ReadOemMode(Dir()), 1);
  dir_.Write("OEM.INI", "[oem]\nisoem = 2\n");
  EXPECT_EQ(ReadOemMode(Dir()), 2);
  dir_.Write("OEM.INI", "[OEM]\nISOEM=yes\n");
  EXPECT_EQ(ReadOemMode(Dir()), 0);
}

TEST_F(StartupSettingsTest, GangToolsAndMenuListAreOnForAnyNonzeroValue) {
  WriteHistory("[GangTool]\nActive=0\n[System]\nMenuList=0\n");
  EXPECT_FALSE(ReadGangToolActive(History()));
  EXPECT_FALSE(ReadMenuListMode(History()));
  WriteHistory("[GangTool]\nActive=1\n[System]\nMenuList=-1\n");
  EXPECT_TRUE(ReadGangToolActive(History()));
  EXPECT_TRUE(ReadMenuListMode(History()));
}

TEST_F(StartupSettingsTest, DataPortIsReadAsHexUnlessNotSet) {
  WriteHistory("[System]\nDataPort=3BC\n");
  EXPECT_EQ(ReadDataPort(History()), 0x3BCu);
  WriteHistory("[System]\nDataPort= 0x278\n");
  EXPECT_EQ(ReadDataPort(History()), 0x278u);
  WriteHistory("[System]\nDataPort=NOSETUP\n");
  EXPECT_FALSE(ReadDataPort(History()));
  WriteHistory("[System]\nDataPort=none\n");
  EXPECT_EQ(ReadDataPort(History()), 0u);
  WriteHistory("[System]\nDataPort=\n");
  EXPECT_EQ(ReadDataPort(History()), 0u);
}

TEST_F(StartupSettingsTest, TheFailureLogOfTheLastRunIsRemoved) {
  dir_.Write("Error.ini", "[ERROR]\nTotal=0\n");
  DeleteFailureLog(Dir());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("Error.ini")));
  DeleteFailureLog(Dir());  // nothing to remove is no error
}

TEST(LcdTextTest, TheBannerHasFourLinesAndNoCursor) {
  LcdTextBlock banner = StartupBanner();
  std::string text(banner.begin(), banner.begin() + kLcdCursorByte);
  EXPECT_EQ(text.substr(0, 20), std::string(20, ' '));
  EXPECT_EQ(text.substr(20, 20), "  GANG PROGRAMMER   ");
  EXPECT_EQ(text.substr(40, 20), "  Connect hardware  ");
  EXPECT_EQ(text.substr(60, 20), "***Please waiting***");
  EXPECT_EQ(banner[kLcdCursorByte], 0xFF);
  for (int i = kLcdSignificantBytes; i < kLcdBlockSize; ++i) EXPECT_EQ(banner[i], 0) << i;
}

}  // namespace

namespace {

TEST(FailureLogTest, EntriesAreNumberedFromZeroAndTotalHoldsTheLast) {
  TempDir dir;
  const std::string start = dir.path().string();
  ASSERT_TRUE(console::AppendFailureLog(start, "first"));
  ASSERT_TRUE(console::AppendFailureLog(start, "second"));
  TIniFile log(console::FailureLogPath(start));
  EXPECT_EQ(log.ReadString("ERROR", "0", ""), "first");
  EXPECT_EQ(log.ReadString("ERROR", "1", ""), "second");
  EXPECT_EQ(log.ReadInteger("ERROR", "Total", -1), 1);

  dir.Write("Error.ini", "[ERROR]\nTotal=4\n");
  ASSERT_TRUE(console::AppendFailureLog(start, "next"));
  EXPECT_EQ(log.ReadString("ERROR", "5", ""), "next");
  EXPECT_EQ(log.ReadInteger("ERROR", "Total", -1), 5);

  dir.Write("Error.ini", "[ERROR]\nTotal=2147483647\n2147483647=older\n");
  ASSERT_TRUE(console::AppendFailureLog(start, "latest"));
  EXPECT_EQ(log.ReadString("ERROR", "2147483647", ""), "latest");
  EXPECT_EQ(log.ReadInteger("ERROR", "Total", -1), 2147483647);
}

}  // namespace
