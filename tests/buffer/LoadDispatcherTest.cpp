// The load road end to end through the Dump Edit: the Load button's action on a confirmed
// [LoadDlg], the detection, each format's placement, FileStartAdd and FileSize, the boxes in
// order, the information page, JedecSendMode, and the GANG TOOLS calls with reports off.
#include <gtest/gtest.h>

#include <QLabel>
#include <cerrno>
#include <QToolButton>
#include <map>
#include <optional>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/LoadDispatcher.h"
#include "buffer/core/Checksum.h"
#include "buffer/core/HexText.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/Pof.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/buffer/AnsweredGetSum.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Keys = std::map<std::string, int>;

constexpr const char* kIntelText = ":0300300002337A1E\r\n:00000001FF\r\n";
constexpr const char* kMotorolaText = "S10600300233791B\r\nS9030000FC\r\n";
constexpr std::int32_t kConsoleSize = 0x100000;  // the console's buffer at start, all 0xFF

Bytes Counting(std::size_t n, std::uint8_t first = 0) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}
std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// "POF" at 0, header bytes below 0x200, the first run of eight 0xFF at 0x200, data after.
Bytes PofFile() {
  Bytes file(0x200, 0x11);
  file[0] = 'P', file[1] = 'O', file[2] = 'F';
  file.insert(file.end(), 8, 0xFF);
  for (std::uint8_t b : {0x01, 0x0F, 0x80, 0x3C}) file.push_back(b);
  return file;
}

class LoadDispatcherTest : public ::testing::Test {
 protected:
  LoadDispatcherTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    SetLastLoadFormat(kFormatAutoDetect);
    InstallBufferTools();
    InstallLoadCommand();
    InstallToolDialog(ToolCommand::GetSum, [this](TMainEdit& form) {
      ++getSumDialogs_;
      return std::make_unique<AnsweredGetSum>(form.Profile(), exitShown_);
    });
    LoadCommandHooks hooks;
    hooks.setJedecSendMode = [this](std::int32_t mode) { jedecSendMode_ = mode; };
    hooks.loadJedec = [this](TMainEdit&, const std::string& name) {
      jedecNames_.push_back(name);
      return jedecPasses_;
    };
    SetLoadCommandHooks(std::move(hooks));
    form_.ShowForm();
  }
  ~LoadDispatcherTest() override {
    SetLoadCommandHooks({});
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
    SetLastLoadFormat(kFormatAutoDetect);
    SetSettingsPath(previous_);
  }

  // What a confirmed Load dialog leaves: the file, its format, the keys; then the button.
  // `settingsFault`: the settings file's writes fail with it once the keys are in.
  void PressLoad(const std::string& file, int format, const Keys& keys, int settingsFault = 0) {
    dir_.Write("in.dat", file);
    WriteLoadDlg(format, keys);
    if (settingsFault != 0) SetIniWriteFault([settingsFault](const std::string&) { return settingsFault; });
    form_.findChild<QToolButton*>("LoadFileB")->click();
    SetIniWriteFault(nullptr);
  }
  void WriteLoadDlg(int format, const Keys& keys) {
    TIniFile ini(SettingsPath());
    ini.WriteString("LoadDlg", "Name", dir_.File("in.dat"));
    ini.WriteInteger("LoadDlg", "Format", format);
    for (const auto& [key, value] : keys) ini.WriteInteger("LoadDlg", key, value);
    ini.WriteInteger("LoadDlg", "OK", 1);
  }
  // GANG TOOLS' two calls, reports and messages off.
  int GangLoad(const std::string& file, const Keys& keys) {
    dir_.Write("in.dat", file);
    WriteLoadDlg(kFormatAutoDetect, keys);
    std::int32_t size = 0;
    formats::FileImage image;
    if (!ReadBinaryFile(form_, size, image)) return -1;
    return LoadFileToBuffer(form_, std::move(image), size, 0, 0);
  }
  Bytes Read(std::int32_t address, std::size_t count) {
    BufferLock lock(form_.Buffer());
    return Bytes(lock.data() + address, lock.data() + address + count);
  }
  Bytes Whole() { return Read(0, static_cast<std::size_t>(form_.Buffer().BufSize())); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> shown;
    for (const auto& box : boxes_.boxes()) shown.push_back(box.text + "|" + box.caption);
    return shown;
  }
  int FormatKey() const { return TIniFile(SettingsPath()).ReadInteger("LoadDlg", "Format", -1); }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
  RecordingProgress progress_;
  TMainEdit form_;
  bool exitShown_ = true;
  int getSumDialogs_ = 0;
  std::int32_t jedecSendMode_ = -1;
  bool jedecPasses_ = false;
  std::vector<std::string> jedecNames_;
};

struct LoadCase {
  const char* name;
  std::string file;
  int format;  // the dialog's choice: [LoadDlg] Format and LastLoadFormat
  Keys keys;
  std::vector<std::string> boxes;  // before the checksum report (the last box, "Get Check Sum")
  int formatAfter;                 // [LoadDlg] Format after the load
  std::int32_t at;                 // where `placed` must stand
  Bytes placed;
  std::int32_t fileStartAdd;
  std::int32_t fileSize;
  std::string reportStart;  // the checksum report's first line
  std::string formatName;   // on the information page
  std::int32_t bufSize = kConsoleSize;
  int settingsFault = 0;  // '@' in `boxes` stands for the test's folder
};
void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class LoadButtonTest : public LoadDispatcherTest,
                       public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadButtonTest, PlacesTheFileRecordsItAndReportsTheSum) {
  const LoadCase& c = GetParam();
  SetLastLoadFormat(c.format);
  PressLoad(c.file, c.format, c.keys, c.settingsFault);

  std::vector<std::string> boxes = Boxes();
  std::vector<std::string> expected = c.boxes;
  for (std::string& box : expected)
    if (box.find('@') != std::string::npos) box.replace(box.find('@'), 1, dir_.File(""));
  ASSERT_EQ(boxes.size(), expected.size() + 1) << ::testing::PrintToString(boxes);
  EXPECT_EQ(std::vector<std::string>(boxes.begin(), boxes.end() - 1), expected);
  EXPECT_EQ(boxes_.boxes().back().caption, "Get Check Sum");
  EXPECT_EQ(boxes_.boxes().back().text.rfind(c.reportStart, 0), 0u) << boxes.back();
  EXPECT_EQ(Read(c.at, c.placed.size()), c.placed);
  EXPECT_EQ(form_.GetFileStartAdd(), c.fileStartAdd);
  EXPECT_EQ(form_.Fields().FileSize, c.fileSize);
  EXPECT_EQ(form_.Buffer().BufSize(), c.bufSize);
  EXPECT_EQ(FormatKey(), c.formatAfter);
  EXPECT_EQ(LastLoadFormat(), c.format) << "the dialog's choice stays in force";
  EXPECT_EQ(jedecSendMode_, 0);
  EXPECT_EQ(form_.InfoPages().LastLoadFileNameLabel->text().toStdString(), dir_.File("in.dat"));
  EXPECT_EQ(form_.InfoPages().FileFormatLabel->text().toStdString(), c.formatName);
  EXPECT_EQ(getSumDialogs_, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LoadButtonTest,
    ::testing::Values(
        LoadCase{"AutoDetectIntelHex", kIntelText, kFormatAutoDetect, {},
                 {"This is Intel Hex format !|Auto detect"}, kFormatIntelHex, 0x2E,
                 {0x00, 0x00, 0x02, 0x33, 0x7A, 0xFF}, 0, 0x33,
                 "Address From 000000H To 000032H\n\nFile Check Sum = 000000AF", "Intel Hex."},
        // The detected format cannot be written back: the load stands, the user is told once,
        // and the information page names the format [LoadDlg] holds, as after any load.
        LoadCase{"DetectedFormatNotWrittenBack", kIntelText, kFormatAutoDetect, {},
                 {"This is Intel Hex format !|Auto detect",
                  "Cannot write the settings file @History.ini: No space left on device|ERROR"},
                 kFormatAutoDetect, 0x2E, {0x00, 0x00, 0x02, 0x33, 0x7A, 0xFF}, 0, 0x33,
                 "Address From 000000H To 000032H\n\nFile Check Sum = 000000AF", "Auto Detect.",
                 kConsoleSize, ENOSPC},
        // Motorola loads always leave the buffer 0x1020000 bytes long.
        LoadCase{"AutoDetectMotorolaS", kMotorolaText, kFormatAutoDetect, {},
                 {"This is Motorola Hex format !|Auto detect"}, kFormatMotorolaHex, 0x2E,
                 {0xFF, 0xFF, 0x02, 0x33, 0x79, 0xFF}, 0, 0x33,
                 "Address From 000000H To 000032H\n\nFile Check Sum = 0000307E", "Motorola Hex.",
                 0x1020000},
        LoadCase{"AutoDetectUnknownIsBinary", "hello", kFormatAutoDetect,
                 {{"SourceSAdd", 0}, {"SourceEAdd", 4}, {"EvenOdd", 0}},
                 {"Binary Code File|Detect"}, kFormatBinary, 0,
                 Bytes{'h', 'e', 'l', 'l', 'o', 0xFF},
                 0, 5, "Address From 000000H To 000004H\n\n", "Binary/Machine Code."},
        LoadCase{"BinaryRangeAtADestination", Text(Counting(0x40)), kFormatBinary,
                 {{"DistSAdd", 0x1000}, {"SourceSAdd", 0x10}, {"SourceEAdd", 0x1F}, {"EvenOdd", 0}},
                 {}, kFormatBinary, 0xFFF, Bytes{0xFF, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,
                                                 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E,
                                                 0x1F, 0xFF},
                 0x10, 0x20, "Address From 000010H To 00001FH\n\nFile Check Sum = 00000178",
                 "Binary/Machine Code."},
        LoadCase{"BinaryRangePastTheEndLoads0xFF", Text(Counting(0x40)), kFormatMsDosCom,
                 {{"SourceSAdd", 0x3C}, {"SourceEAdd", 0x43}, {"EvenOdd", 0}, {"DistSAdd", 0x20}},
                 {}, kFormatMsDosCom, 0x20, Bytes{0x3C, 0x3D, 0x3E, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF},
                 0x3C, 0x44, "Address From 00003CH To 000043H\n\n", "MS-DOS fn.com."},
        // A GANG TOOLS-style end equal to the file size places the file, never a byte after.
        LoadCase{"WholeFileEndAtItsSize", Text(Counting(16, 0x40)), kFormatBinary,
                 {{"SourceSAdd", 0}, {"SourceEAdd", 16}, {"EvenOdd", 0}, {"DistSAdd", 0x100}},
                 {}, kFormatBinary, 0x100, [] { Bytes b = Counting(16, 0x40); b.push_back(0xFF);
                                                return b; }(),
                 0, 16, "Address From 000000H To 00000FH\n\n", "Binary/Machine Code."},
        LoadCase{"ExeOfOnlyItsHeaderPlacesNothing", std::string(512, 'M'), kFormatMsDosExe,
                 {{"DistSAdd", 0x80}}, {}, kFormatMsDosExe, 0x80, Bytes(16, 0xFF), 0x80, 0x80,
                 "Address From 000080H To 00007FH\n\n", "MS-DOS fn.exe."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadDispatcherTest, PofOpensTheSumDialogWithoutExitAndWithReportsOffOpensNothing) {
  form_.WriteBufferInfo();  // as a tool button did before; the command after a POF load does not
  SetLastLoadFormat(kFormatPof);
  PressLoad(Text(PofFile()), kFormatPof, {{"DistSAdd", 0x40}});
  const Bytes data{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0xF0, 0x01, 0x3C};
  EXPECT_EQ(Read(0x40, data.size()), data) << "bits reversed from the run on";
  EXPECT_EQ(form_.GetFileStartAdd(), 0x40);
  EXPECT_EQ(form_.Fields().FileSize, 0x40 + 12);
  EXPECT_EQ(getSumDialogs_, 1);
  EXPECT_FALSE(exitShown_);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Address From 000000H To 0FFFFFH\n\nCheck Sum = " +
                                        FormatHex(ByteSum(Whole().data(), kConsoleSize), 8))
      << "the dialog opens on the whole buffer";

  boxes_.Clear();
  EXPECT_EQ(GangLoad(Text(PofFile()), {{"DistSAdd", 0x100}}), 1);
  EXPECT_EQ(getSumDialogs_, 1) << "no modal dialog with reports off";
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(form_.Fields().LastSum, 8u * 0xFF + 0x80 + 0xF0 + 0x01 + 0x3C);
  EXPECT_EQ(form_.Fields().LastSumStart, 0x100);
  EXPECT_EQ(form_.Fields().LastSumEnd, 0x10B);
}

// A refused file leaves every byte, the buffer's size and the file range as they were, and
// still clears JedecSendMode.
TEST_F(LoadDispatcherTest, ARefusedFileLeavesTheBufferAsItWas) {
  struct Refusal {
    std::string file;
    int format;
    std::vector<std::string> boxes;
  };
  // Larger than the buffer: a read that grew it first would leave it grown.
  const std::string bigText = std::string(kConsoleSize + 0x100, 'x');
  const Refusal refusals[] = {
      {kMotorolaText, kFormatIntelHex, {"File is not Intel Hex format !|ERROR !"}},
      // A refused Motorola file does not leave the buffer at the Motorola load's size.
      {kIntelText, kFormatMotorolaHex, {"File is not Motorola Hex format !|ERROR !"}},
      {bigText, kFormatIntelHex, {"File is not Intel Hex format !|ERROR !"}},
      // Detected, then cut short: the reader's own box.
      {":0300300002337A1E\r\n:0400000001:00000001FF\r\n", kFormatIntelHex, {}},
      {std::string(511, 'M'), kFormatMsDosExe, {"Format Error !|Load"}},
      {"POF" + std::string(0x40, '\x12'), kFormatPof, {"File is not POF format !|ERROR !"}},
  };
  form_.SetFileStartAdd(0x1234);
  form_.SetFileSize(0x5678);
  { BufferLock lock(form_.Buffer()); lock[7] = 0x42; }
  const Bytes before = Whole();
  for (const Refusal& r : refusals) {
    boxes_.Clear();
    jedecSendMode_ = -1;
    SetLastLoadFormat(r.format);
    PressLoad(r.file, r.format, {{"UnuserFillCheck", 1}, {"UserFill", 0x5A}});
    if (!r.boxes.empty()) {
      EXPECT_EQ(Boxes(), r.boxes);
    }
    EXPECT_FALSE(boxes_.boxes().empty()) << "a refusal says why";
    EXPECT_EQ(form_.Buffer().BufSize(), kConsoleSize);
    EXPECT_TRUE(Whole() == before) << "format " << r.format;
    EXPECT_EQ(form_.GetFileStartAdd(), 0x1234);
    EXPECT_EQ(form_.Fields().FileSize, 0x5678);
    EXPECT_EQ(jedecSendMode_, 0);
  }
  boxes_.Clear();
  TIniFile(SettingsPath()).WriteString("LoadDlg", "Name", dir_.File("missing.bin"));
  form_.findChild<QToolButton*>("LoadFileB")->click();
  EXPECT_EQ(Boxes(), std::vector<std::string>{"FILE NOT FOUND !|"});
  EXPECT_EQ(jedecSendMode_, 0);
}

TEST_F(LoadDispatcherTest, GangToolsLoadsWithTheLastDialogChoiceAndNoBoxes) {
  // The section says 0; the user last chose Intel Hex in the dialog.
  SetLastLoadFormat(kFormatIntelHex);
  EXPECT_EQ(GangLoad(kIntelText, {{"DistSAdd", 0x200}}), 1);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(Read(0x230, 3), (Bytes{0x02, 0x33, 0x7A}));
  EXPECT_EQ(form_.Fields().FileSize, 0x233);
  EXPECT_EQ(form_.Fields().LastSum, 0x02u + 0x33 + 0x7A);
  EXPECT_EQ(FormatKey(), kFormatIntelHex);

  EXPECT_EQ(GangLoad(kMotorolaText, {}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"File is not Intel Hex format !|ERROR !"})
      << "the forced format's box shows with reports off";

  boxes_.Clear();
  SetLastLoadFormat(kFormatJedec);
  EXPECT_EQ(GangLoad(kIntelText, {{"DistSAdd", 0}, {"SourceSAdd", 0}, {"SourceEAdd", 3},
                                  {"EvenOdd", 0}}),
            1);
  EXPECT_EQ(Read(0, 4), (Bytes{':', '0', '3', '0'})) << "a JEDEC choice loads as binary";
  EXPECT_TRUE(jedecNames_.empty());
}

TEST_F(LoadDispatcherTest, JedecFilesGoToTheJedecLoaderAndSetTheSendModeOnlyWhenTheyPass) {
  form_.SetFileSize(0x77);
  SetLastLoadFormat(kFormatJedec);
  PressLoad("not a fuse file", kFormatJedec, {});
  EXPECT_EQ(jedecNames_, std::vector<std::string>{dir_.File("in.dat")});
  EXPECT_EQ(jedecSendMode_, -1) << "a failed JEDEC load leaves the mode";
  jedecPasses_ = true;
  PressLoad("\x02QF8*", kFormatJedec, {});
  EXPECT_EQ(jedecSendMode_, 1);
  EXPECT_EQ(form_.Fields().FileSize, 0x77);
  EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
}  // namespace buffer
