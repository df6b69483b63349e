#include <gtest/gtest.h>

#include <filesystem>

#include "buffer/core/FileChecks.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

using namespace buffer;
using winapi::ScriptedMessageBoxes;

TEST(SettingsFileChecksTest, SizeAndRangeOfAFile) {
  TempDir dir;
  dir.Write("data.bin", std::string(0x123, 'x'));
  EXPECT_EQ(ReadFileSize(dir.File("data.bin")), 0x123);
  auto range = FileRange(dir.File("data.bin"));
  ASSERT_TRUE(range);
  EXPECT_EQ(range->start, "000000");
  EXPECT_EQ(range->end, "000122");
}

TEST(SettingsFileChecksTest, NamesWithBackslashesAreFound) {
  TempDir dir;
  dir.Write("sub/data.bin", "abc");
  std::string name = dir.path().string() + "\\sub\\data.bin";
  EXPECT_EQ(ReadFileSize(name), 3);
  EXPECT_TRUE(CheckFileExists(name, true));
}

TEST(SettingsFileChecksTest, AnUnopenableFileHasNoSizeOrRange) {
  TempDir dir;
  EXPECT_FALSE(ReadFileSize(dir.File("missing.bin")));
  EXPECT_FALSE(FileRange(dir.File("missing.bin")));
  EXPECT_FALSE(ReadFileSize(""));
  // A folder opens as a stream but has no size to show.
  std::filesystem::create_directories(dir.path() / "folder");
  EXPECT_FALSE(ReadFileSize(dir.File("folder")));
  EXPECT_FALSE(FileRange(dir.File("folder")));
}

TEST(SettingsFileChecksTest, AnEmptyFileEndsBeforeItsStart) {
  TempDir dir;
  dir.Write("empty.bin", "");
  EXPECT_EQ(ReadFileSize(dir.File("empty.bin")), 0);
  EXPECT_EQ(FileRange(dir.File("empty.bin"))->end, "FFFFFFFF");
}

TEST(SettingsFileChecksTest, OnlyExistingRegularFilesExist) {
  TempDir dir;
  ScriptedMessageBoxes boxes;
  dir.Write("a.hex", ":00000001FF\n");
  std::filesystem::create_directories(dir.path() / "folder");
  EXPECT_TRUE(CheckFileExists(dir.File("a.hex"), true));
  EXPECT_FALSE(CheckFileExists(dir.File("*.hex"), true));
  EXPECT_FALSE(CheckFileExists(dir.File("a.he?"), true));
  EXPECT_FALSE(CheckFileExists(dir.File("folder"), true));
  EXPECT_FALSE(CheckFileExists("", true));
  EXPECT_FALSE(CheckFileExists(dir.File("none"), false));
  ASSERT_EQ(boxes.boxes().size(), 4u);
  for (const auto& box : boxes.boxes()) {
    EXPECT_EQ(box.text, "Not Found File ! ");
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_EQ(box.flags, unsigned{winapi::MB_ICONERROR});
    EXPECT_EQ(box.owner, nullptr);
  }
}

}  // namespace
