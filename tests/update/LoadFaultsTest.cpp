// A load that fails part-way loses nothing: a file that cannot be opened or read, or that
// another program changes while it is read, is refused with a box naming the file and the
// reason, and the buffer and the child's fields stay as they were. Each fault is injected
// into the load's file calls; each road the tool and the console read files by runs them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/EditProfile.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/FileFaults.h"
#include "buffer/formats/Palunit.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"
#include "update/core/ImageLoad.h"

namespace {

using formats::FileCall;

const std::string kJedec =
    "\x02Made by hand*\r\nQF22*\r\nQP24*\r\nF0*\r\nL0 1011 0000\r\n1111*\r\nL12 01*\r\nC003C*\r\n"
    "UH A5*\r\n\x03"
    "0F48";

// What a fault does to the file, at the call it strikes.
using FileChange = std::function<void(const std::string& path)>;

struct LoadFault {
  const char* name;
  FileCall call;
  int nth;                // the how-manieth call of that kind it strikes
  int error;              // 0: the call goes on (after the change)
  FileChange change;      // what another program does to the file then
  const char* reason;     // nullptr: the load succeeds
};

void Append(const std::string& path) { std::ofstream(path, std::ios::app) << "more data"; }
void Shrink(const std::string& path) { ::truncate(path.c_str(), 20); }
// Same size, new bytes, as a program that rewrites the file in place leaves it.
void Rewrite(const std::string& path) {
  std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).write("XXXX", 4);
}

const LoadFault kFaults[] = {
    {"NoFault", FileCall::Open, 1, 0, nullptr, nullptr},
    {"Unreadable", FileCall::Open, 1, EACCES, nullptr, "Permission denied"},
    {"FirstReadFails", FileCall::Read, 1, EIO, nullptr, "Input/output error"},
    {"LaterReadFails", FileCall::Read, 2, EIO, nullptr, "Input/output error"},
    {"GrowsWhileRead", FileCall::Read, 1, 0, Append, formats::kFileChanged},
    {"ShrinksWhileRead", FileCall::Read, 1, 0, Shrink, formats::kFileChanged},
    {"RewrittenWhileRead", FileCall::Read, 1, 0, Rewrite, formats::kFileChanged},
};

// One road a file is loaded by: true when it loaded; the caption its refusal box carries.
struct LoadRoad {
  const char* name;
  const char* caption;
  std::function<bool(buffer::DumpEditCore& child, const std::string& file)> load;
};

const LoadRoad kRoads[] = {
    {"UpdateImage", "Load BIN File", [](auto& child, auto&) { return update::LoadImageFile(child, nullptr); }},
    {"SourceRange", "Load BIN File",
     [](auto&, auto& file) { return formats::ReadBinaryFile({file, 0x40, 0xBF}).has_value(); }},
    {"Jedec", "Load Error",
     [](auto& child, auto& file) {
       formats::JedecText text;
       return formats::LoadJedecFile(text, file, child.buffer(), formats::LoadSettings{});
     }},
};

class LoadFaultsTest : public ::testing::TestWithParam<std::tuple<LoadFault, LoadRoad>> {
 protected:
  LoadFaultsTest() : settings_(buffer::SettingsPath()) {
    buffer::SetSettingsPath(dir_.File("History.ini"));
    TIniFile ini(buffer::SettingsPath());
    ini.WriteString("LoadDlg", "Name", File());
    ini.WriteInteger("LoadDlg", "DistSadd", 0);
    dir_.Write("image.jed", kJedec);
    // An old change time, so that a rewrite shows in the file's time whatever the clock's grain.
    const timespec old[2] = {{1000, 0}, {1000, 0}};
    ::utimensat(AT_FDCWD, File().c_str(), old, 0);
    child_.Create();
    child_.FillBuffer(0x5A);
  }
  ~LoadFaultsTest() override {
    formats::SetFileFault({});
    buffer::SetSettingsPath(settings_);
  }
  std::string File() const { return dir_.File("image.jed"); }
  std::vector<uint8_t> BufferBytes() {
    const buffer::BufferLock lock(child_.buffer());
    return {lock.data(), lock.data() + lock.size()};
  }

  TempDir dir_;
  std::string settings_;
  buffer::DumpEditCore child_{buffer::UpdateToolProfile()};
};

TEST_P(LoadFaultsTest, AFailedReadLeavesTheBufferAndNamesTheFile) {
  const auto& [fault, road] = GetParam();
  std::map<FileCall, int> calls;
  formats::SetFileFault([&, fault = fault](FileCall call, const std::string& path) {
    if (path != File() || ++calls[call] != fault.nth || call != fault.call) return 0;
    if (fault.change) fault.change(path);
    return fault.error;
  });
  const std::vector<uint8_t> before = BufferBytes();
  const buffer::DumpEditFields fields = child_.fields();
  winapi::ScriptedMessageBoxes boxes;
  const bool loaded = road.load(child_, File());
  formats::SetFileFault({});

  if (fault.reason == nullptr) {
    EXPECT_TRUE(loaded);
    return;
  }
  EXPECT_FALSE(loaded);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Cannot read \"" + File() + "\": " + fault.reason);
  EXPECT_EQ(boxes.boxes()[0].caption, road.caption);
  EXPECT_EQ(BufferBytes(), before);
  EXPECT_EQ(child_.fields().FileSize, fields.FileSize);
  EXPECT_EQ(child_.fields().FileStartAdd, fields.FileStartAdd);
}

INSTANTIATE_TEST_SUITE_P(All, LoadFaultsTest,
                         ::testing::Combine(::testing::ValuesIn(kFaults), ::testing::ValuesIn(kRoads)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param).name;
                         });

}  // namespace
