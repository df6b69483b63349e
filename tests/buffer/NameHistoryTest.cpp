#include <gtest/gtest.h>

#include <QSignalSpy>

#include "buffer/Hstcbo.h"
#include "buffer/core/NameHistory.h"
#include "platform/winapi/Paths.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;
using Names = std::vector<std::string>;

struct HistoryCase {
  const char* what;
  Names stored;
  std::string text;
  int32_t limit;
  Names written;
};

class HistoryWithTextTest : public ::testing::TestWithParam<HistoryCase> {};

TEST_P(HistoryWithTextTest, ConfirmedTextGoesOnTop) {
  const HistoryCase& c = GetParam();
  EXPECT_EQ(HistoryWithText(c.stored, c.text, c.limit), c.written) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryWithTextTest,
    ::testing::Values(
        HistoryCase{"new text on an empty list", {}, "a", 10, {"a"}},
        HistoryCase{"a text at H3 moves to H0", {"a", "b", "c", "d", "e"}, "d", 10,
                    {"d", "a", "b", "c", "e"}},
        HistoryCase{"the oldest entry falls off the limit",
                    {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, "new", 10,
                    {"new", "0", "1", "2", "3", "4", "5", "6", "7", "8"}},
        HistoryCase{"letter case makes another entry", {"A.BIN"}, "a.bin", 10,
                    {"a.bin", "A.BIN"}},
        HistoryCase{"an empty text inserts nothing and cuts to the limit", {"a", "b", "c"}, "", 2,
                    {"a", "b"}},
        HistoryCase{"limit 0 keeps the text alone", {"a", "b"}, "t", 0, {"t"}},
        HistoryCase{"limit 0 and no text keep the first entry", {"a", "b"}, "", 0, {"a"}},
        HistoryCase{"limit 1 with a repeated text", {"t", "u"}, "t", 1, {"t"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

class HistoryComboBoxTest : public ::testing::Test {
 protected:
  HistoryComboBoxTest() {
    box_.IniFileName = dir_.File("QZ_HOME.INI");
    box_.IniSection = "BinaryEditLoadFileHistory";
    box_.MaxHistoryLength = 10;
  }

  Names Items() const {
    Names items;
    for (int i = 0; i < box_.count(); ++i) items.push_back(box_.itemText(i).toStdString());
    return items;
  }

  TempDir dir_;
  THistoryComboBox box_;
};

TEST_F(HistoryComboBoxTest, ReadsUpToTheFirstGapAndTheLimitAndClearsTheText) {
  dir_.Write("QZ_HOME.INI",
             "[Other]\nH0=x\n[binaryeditloadfilehistory]\nH0=/d/a.hex\nh1=/d/b.bin\nH3=/d/c\n");
  box_.SetText("typed");
  QSignalSpy changes(&box_, &QComboBox::editTextChanged);
  box_.ReadIniFile();
  EXPECT_EQ(Items(), (Names{"/d/a.hex", "/d/b.bin"}));
  EXPECT_EQ(box_.Text(), "");
  EXPECT_EQ(changes.count(), 0) << "reading the list runs no change handler";

  box_.MaxHistoryLength = 1;
  box_.ReadIniFile();
  EXPECT_EQ(Items(), (Names{"/d/a.hex"}));
  box_.MaxHistoryLength = 0;
  box_.ReadIniFile();
  EXPECT_TRUE(Items().empty());
}

TEST_F(HistoryComboBoxTest, WriteStoresTheListAndKeepsItInTheBox) {
  dir_.Write("QZ_HOME.INI",
             "[BinaryEditLoadFileHistory]\nH0=a\nH1=b\nH2=c\nH7=stale\n[Keep]\nK=1\n");
  box_.ReadIniFile();
  box_.SetText("b");
  EXPECT_TRUE(box_.WriteIniFile());
  EXPECT_EQ(Items(), (Names{"b", "a", "c"}));
  EXPECT_EQ(box_.Text(), "b");
  std::string file = dir_.Read("QZ_HOME.INI");
  EXPECT_NE(file.find("H0=b\r\nH1=a\r\nH2=c\r\n"), std::string::npos) << file;
  EXPECT_EQ(file.find("stale"), std::string::npos) << "the whole section is replaced";
  EXPECT_NE(file.find("[Keep]\r\nK=1"), std::string::npos);

  THistoryComboBox next;
  next.IniFileName = box_.IniFileName;
  next.IniSection = box_.IniSection;
  next.ReadIniFile();
  EXPECT_EQ(next.count(), 3);
  EXPECT_EQ(next.MaxHistoryLength, 7) << "the box's own default limit";
}

TEST_F(HistoryComboBoxTest, WithoutASectionTheBoxNeitherReadsNorWrites) {
  dir_.Write("QZ_HOME.INI", "[BinaryEditLoadFileHistory]\nH0=a\n");
  box_.IniSection.clear();
  box_.ReadIniFile();
  EXPECT_EQ(box_.count(), 0);
  box_.SetText("b");
  EXPECT_TRUE(box_.WriteIniFile());
  EXPECT_EQ(dir_.Read("QZ_HOME.INI"), "[BinaryEditLoadFileHistory]\nH0=a\n");
}

TEST_F(HistoryComboBoxTest, AFileThatCannotBeWrittenIsReportedAndTheListStillUpdated) {
  // A plain file where the program's folder should be: no write can succeed there, not
  // even for root, as in a read-only installation folder.
  dir_.Write("folder", "");
  box_.IniFileName = dir_.File("folder") + "/QZ_HOME.INI";
  box_.ReadIniFile();
  EXPECT_EQ(box_.count(), 0);
  box_.SetText("/d/a.bin");
  EXPECT_FALSE(box_.WriteIniFile());
  EXPECT_EQ(Items(), (Names{"/d/a.bin"}));
}

TEST_F(HistoryComboBoxTest, TheDefaultFileIsTheProgramsPathWithIni) {
  winapi::SetProgramPath(dir_.File("bin/QZ_HOME"));
  EXPECT_EQ(winapi::ProgramIniPath(), dir_.File("bin/QZ_HOME.INI"));
  winapi::SetProgramPath(dir_.File("QZ_HOME.exe"));
  EXPECT_EQ(winapi::ProgramIniPath(), dir_.File("QZ_HOME.INI"));
  box_.IniFileName.clear();
  box_.SetText("x.hex");
  EXPECT_TRUE(box_.WriteIniFile());
  EXPECT_EQ(dir_.Read("QZ_HOME.INI"), "[BinaryEditLoadFileHistory]\r\nH0=x.hex\r\n");
  winapi::SetProgramPath("");
  EXPECT_NE(winapi::ProgramPath().find("buffer_tests"), std::string::npos);
}

}  // namespace
