// An error inside the Dump Edit's Load, Save, Get Check Sum and Fill commands (their dialogs
// answered already, in the settings file): the progress window is closed, the application's
// box shows the error and the program carries on.
#include <gtest/gtest.h>

#include <QToolButton>
#include <stdexcept>

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/LoadDispatcher.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
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

class CommandErrorsTest : public ::testing::TestWithParam<Command> {
 protected:
  CommandErrorsTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    InstallBufferTools();
    InstallLoadCommand();
    InstallToolDialog(GetParam().command, nullptr);
    SetCommandErrorBox([this](const std::string& message) { errors_.push_back(message); });
    form_.ShowForm();
  }
  ~CommandErrorsTest() override {
    SetCommandErrorBox(nullptr);
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
    SetSettingsPath(previous_);
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
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

}  // namespace
}  // namespace buffer
