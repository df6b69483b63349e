// An error inside the Dump Edit's Load, Save, Get Check Sum and Fill commands (their dialogs
// answered already, in the settings file): the progress window is closed, the application's
// box shows the error and the program carries on. A write of the settings file that fails
// ends the command, through its real dialog, before it acts on what the file held.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/Hstcbo.h"
#include "buffer/LoadDialog.h"
#include "buffer/LoadDispatcher.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

// The progress window, failing at its first step while `failing` is set.
class FailingProgress : public RecordingProgress {
 public:
  void StepIt() override {
    if (failing) throw std::runtime_error("Disk full.");
    RecordingProgress::StepIt();
  }
  bool failing = true;
};

struct Command {
  ToolCommand command;
  const char* button;
  const char* section;
  std::vector<std::pair<const char*, int>> keys;
};
void PrintTo(const Command& c, std::ostream* os) { *os << c.section; }

// The Dump Edit's tools installed over a settings file of the test's own, and taken away.
class InstalledTools {
 protected:
  InstalledTools() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    InstallBufferTools();
    InstallLoadCommand();
  }
  ~InstalledTools() {
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
    SetSettingsPath(previous_);
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

class CommandErrorsTest : public InstalledTools, public ::testing::TestWithParam<Command> {
 protected:
  CommandErrorsTest() {
    InstallToolDialog(GetParam().command, nullptr);
    SetCommandErrorBox([this](const std::string& message) { errors_.push_back(message); });
    form_.ShowForm();
  }
  ~CommandErrorsTest() override { SetCommandErrorBox(nullptr); }

  FailingProgress progress_;
  TMainEdit form_;
  std::vector<std::string> errors_;
};

TEST_P(CommandErrorsTest, TheErrorIsShownAndTheWindowsAreGone) {
  const Command& c = GetParam();
  dir_.Write("data.bin", std::string(0x400, 'x'));
  TIniFile ini(SettingsPath());
  ini.WriteString(c.section, "Name", dir_.File(c.command == ToolCommand::Load ? "data.bin"
                                                                              : "saved.hex"));
  for (const auto& [key, value] : c.keys) ini.WriteInteger(c.section, key, value);
  ini.WriteString(c.section, "OK", "1");

  form_.findChild<QToolButton*>(c.button)->click();
  EXPECT_EQ(errors_, std::vector<std::string>{"Disk full."});
  EXPECT_FALSE(progress_.visible);

  progress_.failing = false;
  form_.findChild<QToolButton*>(c.button)->click();
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_GT(progress_.finishes, 0);
  EXPECT_FALSE(progress_.visible);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandErrorsTest,
    ::testing::Values(
        Command{ToolCommand::GetSum, "GetSumSpeed", "GetSumDlg", {{"StartAdd", 0}, {"EndAdd", 0xFF}}},
        Command{ToolCommand::Fill, "FillDataSeep", "FillDataDlg", {{"StartAdd", 0}, {"EndAdd", 0xFF}}},
        Command{ToolCommand::Save, "SaveFileB", "SaveDlg",
                {{"SourceSAdd", 0}, {"SourceEAdd", 0xFF}, {"Format", 1}}},
        Command{ToolCommand::Load, "LoadFileB", "LoadDlg", {{"Format", 3}}}),
    [](const auto& info) { return std::string(info.param.section); });

// Every section holds OK=1 from an earlier use: acting on it would fill the buffer with 00,
// load other.bin, save, copy 0..FF to 100 or show a sum.
constexpr const char* kStaleSettings =
    "[FillDataDlg]\nStartAdd=0\nEndAdd=1048575\nSelect=1\nUserCheck=0\nUserData=255\nOK=1\n"
    "[LoadDlg]\nName=@other.bin\nFormat=3\nSourceSAdd=0\nSourceEAdd=1023\nDistSAdd=0\n"
    "UserFill=255\nUnuserFillCheck=0\nEvenOdd=0\nOK=1\n"
    "[SaveDlg]\nName=@saved.bin\nFormat=0\nSourceSAdd=0\nSourceEAdd=255\nOK=1\n"
    "[BlockDlg]\nStartAdd=0\nEndAdd=255\nDistSAdd=256\nAction=0\nOK=1\n"
    "[GetSumDlg]\nStartAdd=0\nEndAdd=255\nOK=1\n";

struct UnwrittenRun {
  const char* name;
  const char* button;
  // The button the user presses in the dialog, should it open; with `typedName` typed first.
  const char* answer;
  const char* typedName;
  // The file becomes unwritable only once the dialog is open (a disk that fills up).
  bool failsWhileOpen;
};
void PrintTo(const UnwrittenRun& r, std::ostream* os) { *os << r.name; }

class UnwrittenSettingsTest : public InstalledTools, public ::testing::TestWithParam<UnwrittenRun> {
 protected:
  UnwrittenSettingsTest() {
    InstallToolDialog(ToolCommand::Load, [](TMainEdit&) { return std::make_unique<TLoadDlg>(); });
    form_.ShowForm();
    dir_.Write("data.bin", std::string(0x400, 'd'));
    dir_.Write("other.bin", std::string(0x400, 'o'));
    std::string settings = kStaleSettings;
    for (size_t at; (at = settings.find('@')) != std::string::npos;)
      settings.replace(at, 1, dir_.File(""));
    dir_.Write("History.ini", settings);
    SetLoadedFileReporter([this](const std::string& name) { reported_.push_back(name); });
    winapi::SetProgramPath(dir_.File("QZ_HOME"));
    BufferLock lock(form_.Buffer());
    std::fill_n(lock.data(), 0x100, 0x5A);
  }
  ~UnwrittenSettingsTest() override {
    SetLoadedFileReporter(nullptr);
    winapi::SetProgramPath("");
    SetIniWriteFault(nullptr);
  }

  std::vector<std::uint8_t> Bytes() {
    BufferLock lock(form_.Buffer());
    return {lock.data(), lock.data() + lock.size()};
  }
  void FailWrites() {
    SetIniWriteFault([this](const std::string& path) {
      return path == dir_.File("History.ini") ? EACCES : 0;
    });
  }

  TMainEdit form_;
  std::vector<std::string> reported_;
};

TEST_P(UnwrittenSettingsTest, TheCommandChangesNothingAndSaysWhyOnce) {
  const UnwrittenRun& r = GetParam();
  const std::vector<std::uint8_t> before = Bytes();
  const std::string settings = dir_.Read("History.ini");
  if (!r.failsWhileOpen) FailWrites();
  bool opened = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    opened = true;
    if (r.failsWhileOpen) FailWrites();
    if (r.typedName) dialog->findChild<THistoryComboBox*>()->SetText(dir_.File(r.typedName));
    auto* answer = dialog->findChild<QPushButton*>(r.answer);
    ASSERT_NE(answer, nullptr);
    QTest::mouseClick(answer, Qt::LeftButton);
    // A dialog that refused the answer must not hold the test.
    if (dialog->isVisible()) qobject_cast<QDialog*>(dialog)->reject();
  });
  form_.findChild<QToolButton*>(r.button)->click();
  QCoreApplication::sendPostedEvents();

  // A dialog that could not mark itself opened is not shown: it could not be refused.
  EXPECT_EQ(opened, r.failsWhileOpen);
  EXPECT_TRUE(Bytes() == before) << "the buffer changed";
  EXPECT_FALSE(std::filesystem::exists(dir_.File("saved.bin")));
  EXPECT_TRUE(reported_.empty()) << "the status bar names " << reported_.front();
  EXPECT_FALSE(std::filesystem::exists(dir_.File("QZ_HOME.INI"))) << "a name went into the history";
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text,
            "Cannot write the settings file " + dir_.File("History.ini") + ": Permission denied");
  // A file that could not be written from the start is as it was, byte for byte.
  if (!r.failsWhileOpen) {
    EXPECT_EQ(dir_.Read("History.ini"), settings);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UnwrittenSettingsTest,
    ::testing::Values(UnwrittenRun{"FillThenCancel", "FillDataSeep", "CancelBtn", nullptr, false},
                      UnwrittenRun{"LoadOfAnotherFile", "LoadFileB", "BitBtn2", "data.bin", false},
                      UnwrittenRun{"Save", "SaveFileB", "BitBtn2", nullptr, false},
                      UnwrittenRun{"Block", "BlockSpeed", "GetSumBtn", nullptr, false},
                      UnwrittenRun{"GetSum", "GetSumSpeed", "GetSumBtn", nullptr, false},
                      UnwrittenRun{"FillOnAFullDisk", "FillDataSeep", "FillBtn", nullptr, true},
                      UnwrittenRun{"LoadOnAFullDisk", "LoadFileB", "BitBtn2", "data.bin", true},
                      UnwrittenRun{"SaveOnAFullDisk", "SaveFileB", "BitBtn2", "saved.bin", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace buffer
