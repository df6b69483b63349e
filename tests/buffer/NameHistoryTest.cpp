#include <gtest/gtest.h>

#include <QSignalSpy>

#include "buffer/Hstcbo.h"
#include "buffer/core/NameHistory.h"
#include "platform/winapi/IniFile.h"
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

TEST_F(HistoryComboBoxTest, ReadsToTheFirstGapQuietlyAndWritesTheWholeSection) {
  dir_.Write("QZ_HOME.INI", "[Other]\nH0=x\n[binaryeditloadfilehistory]\nH0=a\nh1=b\nH3=c\n");
  box_.SetText("typed");
  QSignalSpy changes(&box_, &QComboBox::editTextChanged);
  box_.ReadIniFile();
  EXPECT_EQ(Items(), (Names{"a", "b"}));
  EXPECT_EQ(box_.Text(), "");
  EXPECT_EQ(changes.count(), 0) << "reading the list runs no change handler";

  box_.SetText("b");
  EXPECT_TRUE(box_.WriteIniFile());
  EXPECT_EQ(Items(), (Names{"b", "a"})) << "the list stays in the box";
  EXPECT_EQ(box_.Text(), "b");
  EXPECT_EQ(dir_.Read("QZ_HOME.INI"),
            "[Other]\r\nH0=x\r\n[BinaryEditLoadFileHistory]\r\nH0=b\r\nH1=a\r\n");

  // A disk that fills after the first write of the file: the list is whole, old or new.
  int writes = 0;
  SetIniWriteFault([&writes](const std::string&) { return ++writes > 1 ? ENOSPC : 0; });
  box_.SetText("d");
  box_.WriteIniFile();
  SetIniWriteFault(nullptr);
  EXPECT_EQ(ReadNameHistory(box_.IniFileName, box_.IniSection, 10), (Names{"d", "b", "a"}));

  box_.MaxHistoryLength = 0;
  box_.ReadIniFile();
  EXPECT_TRUE(Items().empty());
  box_.IniSection.clear();
  box_.SetText("c");
  EXPECT_TRUE(box_.WriteIniFile());
  EXPECT_EQ(dir_.Read("QZ_HOME.INI").find("=c"), std::string::npos) << "no section, no write";
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
  EXPECT_EQ(THistoryComboBox().MaxHistoryLength, 7);
  winapi::SetProgramPath("");
  EXPECT_NE(winapi::ProgramPath().find("buffer_tests"), std::string::npos);
}

}  // namespace
