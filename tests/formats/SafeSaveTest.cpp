// Saving never loses the old file: every writer goes through a temporary file renamed over
// the target, and a write that fails (injected, or a real file-size limit), a folder that
// cannot take the file, leave the old file as it was and no temporary behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "buffer/formats/FileFaults.h"
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/Palunit.h"
#include "buffer/formats/SafeFileWriter.h"
#include "buffer/formats/SaveDispatch.h"
#include "buffer/formats/Tektronix.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using namespace formats::testing;
using Save = std::function<bool(const std::string& name, std::span<const uint8_t> block)>;

struct Writer {
  const char* name;
  Save save;
};

const std::vector<Writer>& Writers() {
  static const std::vector<Writer> writers = {
      {"S1", [](auto& n, auto b) { return WriteMotorolaS(n, 0x10000, MotorolaRecords::S1, 0, b); }},
      {"S2", [](auto& n, auto b) { return WriteMotorolaS(n, 0x10000, MotorolaRecords::S2, 0, b); }},
      {"S3", [](auto& n, auto b) { return WriteMotorolaS(n, 0x10000, MotorolaRecords::S3, 0, b); }},
      {"Tektronix", [](auto& n, auto b) { return WriteTektronix(n, 0x10000, 0, b); }},
      {"Jedec", [](auto& n, auto b) { return WriteJedec(n, 0, 0x10000, b); }},
      {"Binary", [](auto& n, auto b) { return WriteBinaryFile(n, 0x10000, 0, b); }},
      // The Save command puts the Intel Hex writer on the same road.
      {"IntelHex", [](auto& n, auto b) {
         return SaveFormatOf(static_cast<int32_t>(SaveFormat::IntelHex)).write(n, 0x10000, 0, b);
       }}};
  return writers;
}

class SafeSaveTest : public ::testing::TestWithParam<Writer> {
 protected:
  void SetUp() override {
    dir_.Write("target", "the old file");
    ::chmod(Target().c_str(), 0640);
  }
  std::string Target() const { return dir_.File("target"); }
  // The folder holds the target and nothing else.
  void ExpectOnlyTheTarget() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      names.push_back(entry.path().filename().string());
    EXPECT_THAT(names, ::testing::ElementsAre("target"));
  }
  bool Save() { return GetParam().save(Target(), block_); }

  TempDir dir_;
  std::vector<uint8_t> block_ = RandomBytes(0x10000 + 1024, 1);
};

// Where a full disk or a failing device can stop a save, and the errno value it gives there.
struct SaveFaultRow {
  FileCall call;
  int nth;  // the how-manieth call of that kind it strikes
  int error;
};

const SaveFaultRow kSaveFaults[] = {
    {FileCall::Open, 1, ENOSPC},  // the temporary cannot be made
    {FileCall::Open, 2, EMFILE},  // the writer cannot open it
    {FileCall::Write, 1, ENOSPC},
    {FileCall::Write, 2, ENOSPC},  // some of the new file is on the disk already
    {FileCall::Close, 1, EDQUOT},
    {FileCall::Sync, 1, EIO},
    {FileCall::Rename, 1, EROFS},
};

TEST_P(SafeSaveTest, AFailureAnywhereKeepsTheOldFileByteForByteAndSaysWhy) {
  for (const SaveFaultRow& row : kSaveFaults) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.call)) + " #" + std::to_string(row.nth));
    winapi::ScriptedMessageBoxes boxes;
    std::map<FileCall, int> calls;
    SetFileFault([&](FileCall call, const std::string&) {
      return ++calls[call] == row.nth && call == row.call ? row.error : 0;
    });
    EXPECT_FALSE(Save());
    SetFileFault({});
    EXPECT_EQ(dir_.Read("target"), "the old file");
    ExpectOnlyTheTarget();
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "Cannot save \"" + Target() + "\": " + std::strerror(row.error));
    EXPECT_EQ(boxes.boxes()[0].caption, "SAVE");
  }
}

TEST_P(SafeSaveTest, ASaveReplacesTheOldFileWholeAndKeepsItsPermissions) {
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_TRUE(Save());
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_GE(dir_.Read("target").size(), 0x10000u);
  EXPECT_EQ(dir_.Read("target").find("the old file"), std::string::npos);
  struct stat status {};
  ASSERT_EQ(::stat(Target().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  ExpectOnlyTheTarget();
}

TEST_P(SafeSaveTest, AFileSizeLimitThatStopsTheWritesKeepsTheOldFile) {
  // A real failing write: the process may not write files above 4 KiB.
  winapi::ScriptedMessageBoxes boxes;
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = Save();
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousSignal);
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(dir_.Read("target"), "the old file");
  ExpectOnlyTheTarget();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Cannot save \"" + Target() + "\": File too large");
}

INSTANTIATE_TEST_SUITE_P(All, SafeSaveTest, ::testing::ValuesIn(Writers()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SafeFileWriterTest, AFolderThatCannotTakeTheFileGetsNone) {
  TempDir dir;
  const std::vector<uint8_t> block(0x100);
  {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(WriteTektronix(dir.File("missing/a.tek"), 0x20, 0, block));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text,
              "Cannot save \"" + dir.File("missing/a.tek") + "\": No such file or directory");
  }
  {
    // A folder of the kernel's that takes no new files, whoever runs the test.
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(WriteMotorolaS("/proc/a.s19", 0x20, MotorolaRecords::S1, 0, block));
    EXPECT_EQ(boxes.boxes().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists("/proc/a.s19"));
  }
  if (::geteuid() != 0) {
    dir.Write("ro/old.tek", "old");
    ::chmod(dir.File("ro").c_str(), 0555);
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(WriteTektronix(dir.File("ro/old.tek"), 0x20, 0, block));
    ::chmod(dir.File("ro").c_str(), 0755);
    EXPECT_EQ(dir.Read("ro/old.tek"), "old");
    EXPECT_EQ(boxes.boxes().size(), 1u);
  }
}

TEST(SafeFileWriterTest, ALinkedTargetIsSavedWhereItPointsAndTheLinkStays) {
  TempDir dir;
  dir.Write("real/file.tek", "old");
  std::filesystem::create_symlink(dir.File("real/file.tek"), dir.File("link.tek"));
  const std::vector<uint8_t> block(0x100, 0xAB);
  winapi::ScriptedMessageBoxes boxes;
  ASSERT_TRUE(WriteTektronix(dir.File("link.tek"), 0x20, 0, block));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.tek")));
  EXPECT_EQ(dir.Read("real/file.tek").substr(0, 9), "/00001001");
}

}  // namespace
}  // namespace formats
