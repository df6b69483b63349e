// The save dispatcher on its own: each format's limit, ranges the buffer cannot give, and
// the old file kept through every failure (a read-only folder, a write that fails) while a
// good save replaces it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>

#include "buffer/formats/FileFaults.h"
#include "buffer/formats/SaveDispatch.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using namespace formats::testing;

class SaveDispatchTest : public ::testing::Test {
 protected:
  SaveDispatchTest() : block_(RandomBytes(0x20000 + 2000, 3)) {}

  std::string Settings() const { return dir_.File("History.ini"); }
  void Request(const std::string& name, int32_t format, int32_t start, int32_t end) const {
    TIniFile ini(Settings());
    ini.WriteInteger("SaveDlg", "SourceSAdd", start);
    ini.WriteInteger("SaveDlg", "SourceEAdd", end);
    ini.WriteInteger("SaveDlg", "Format", format);
    ini.WriteString("SaveDlg", "Name", name);
  }

  TempDir dir_;
  std::vector<uint8_t> block_;
  winapi::ScriptedMessageBoxes boxes_;
};

TEST_F(SaveDispatchTest, EachFormatRefusesTheFirstSpanPastItsAddresses) {
  struct Row {
    SaveFormat format;
    int64_t largest;  // -1: no limit
    const char* message;
  };
  const Row rows[] = {
      {SaveFormat::Binary, -1, nullptr},
      {SaveFormat::IntelHex, 0xFFFFF, "File Too Big for Intel Format,\nPlease Select other Format."},
      {SaveFormat::MotorolaS1, 0xFFFF,
       "File Too Big for Motorola %S[S1],\nPlease Select other Format."},
      {SaveFormat::MotorolaS2, 0xFFFFFF,
       "File Too Big for Motorola S2,\nPlease Select other Format."},
      {SaveFormat::MotorolaS3, -1, nullptr},
      {SaveFormat::Tektronix, 0xFFFF,
       "File Too Big for Tektlonix Format,\nPlease Select other Format."},
      {SaveFormat::Jedec, -1, nullptr},
  };
  for (const Row& row : rows) {
    const auto format = static_cast<int32_t>(row.format);
    boxes_.Clear();
    if (row.largest < 0) {
      EXPECT_TRUE(CheckSaveSize(format, 0, INT32_MAX)) << format;
      EXPECT_TRUE(boxes_.boxes().empty());
      continue;
    }
    EXPECT_TRUE(CheckSaveSize(format, 1, static_cast<int32_t>(row.largest + 1))) << format;
    EXPECT_FALSE(CheckSaveSize(format, 1, static_cast<int32_t>(row.largest + 2))) << format;
    ASSERT_EQ(boxes_.boxes().size(), 1u) << format;
    EXPECT_EQ(boxes_.boxes()[0].text, row.message);
    EXPECT_EQ(boxes_.boxes()[0].caption, "SAVE");
    EXPECT_EQ(boxes_.boxes()[0].flags, winapi::MB_ICONERROR);
  }
}

TEST_F(SaveDispatchTest, RangesTheBlockCannotGiveAreRefusedWithABoxAndNoFile) {
  const std::string name = dir_.File("out");
  const auto blockEnd = static_cast<int32_t>(block_.size());
  struct Row {
    int32_t format, start, end;
  };
  const Row rows[] = {
      {0, blockEnd - 16, blockEnd},       // one byte past the block
      {4, blockEnd - 16, blockEnd - 1},   // the last slice's rounding leaves it
      {5, -32, 31},                       // below the block
      {1, 0x10, 0x100010},                // past Intel's addresses, from a hand-edited file
      {3, 0x20, 0x10},                    // end before start
  };
  for (const Row& row : rows) {
    boxes_.Clear();
    Request(name, row.format, row.start, row.end);
    EXPECT_FALSE(SaveBufferToFile(block_, Settings())) << row.format;
    EXPECT_EQ(boxes_.boxes().size(), 1u) << row.format;
    EXPECT_FALSE(std::filesystem::exists(name)) << row.format;
  }
  // Rounding into the slack past BufSize is what the slack is for.
  Request(name, 3, blockEnd - 2000 - 5, blockEnd - 2000 - 1);
  EXPECT_TRUE(SaveBufferToFile(block_, Settings()));
}

// The dispatcher's formats and the JEDEC row behind the Save command.
class SaveFailureTest : public SaveDispatchTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    dir_.Write("folder/target", "the old file");
    Request(Target(), GetParam(), 0x10, 0xFFFF);
  }
  std::string Target() const { return dir_.File("folder/target"); }
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.File("folder")))
      names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_P(SaveFailureTest, TheOldFileSurvivesEveryFailureAndAGoodSaveReplacesIt) {
  {
    // A disk that fills up under the writer.
    FileFault previous =
        SetFileFault([](FileCall call, const std::string&) { return call == FileCall::Sync ? ENOSPC : 0; });
    EXPECT_FALSE(SaveFromDialog(block_, Settings()));
    SetFileFault(previous);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].text,
              "Cannot save \"" + Target() + "\": No space left on device");
    EXPECT_EQ(boxes_.boxes()[0].caption, "SAVE");
  }
  {
    // A folder that takes no new file; root writes anywhere, so the save runs as nobody.
    boxes_.Clear();
    ::chmod(dir_.File("folder").c_str(), 0555);
    const bool asNobody = ::geteuid() == 0;
    if (asNobody) {
      ASSERT_EQ(::seteuid(65534), 0);
    }
    const bool saved = SaveFromDialog(block_, Settings());
    if (asNobody) {
      ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod(dir_.File("folder").c_str(), 0755);
    EXPECT_FALSE(saved);
    ASSERT_EQ(boxes_.boxes().size(), 1u);
    EXPECT_EQ(boxes_.boxes()[0].text, "Cannot save \"" + Target() + "\": Permission denied");
  }
  EXPECT_EQ(dir_.Read("folder/target"), "the old file");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"target"});

  boxes_.Clear();
  EXPECT_TRUE(SaveFromDialog(block_, Settings()));
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_NE(dir_.Read("folder/target"), "the old file");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"target"});
  if (GetParam() == 0) {
    EXPECT_EQ(dir_.Read("folder/target"),
              std::string(block_.begin() + 0x10, block_.begin() + 0x10000));
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, SaveFailureTest, ::testing::Range(0, kSaveFormatCount));

}  // namespace
}  // namespace formats
