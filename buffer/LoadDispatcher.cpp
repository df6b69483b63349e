#include "buffer/LoadDispatcher.h"

#include "buffer/DumpEdit.h"
#include "buffer/SetHexPosition.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/BufferLoad.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

LoadCommandHooks& Hooks() {
  static LoadCommandHooks hooks;
  return hooks;
}

void SetJedecSendMode(std::int32_t mode) {
  if (Hooks().setJedecSendMode) Hooks().setJedecSendMode(mode);
}

// The JEDEC road bypasses the dispatcher: FileStartAdd, FileSize and the information page
// stay as they are, and a file that fails its check leaves JedecSendMode alone.
void LoadJedec(TMainEdit& editor, const std::string& name) {
  if (!Hooks().loadJedec || !Hooks().loadJedec(editor, name)) return;
  SetJedecSendMode(1);
  editor.RefreshGrids();
}

void LoadThroughDispatcher(TMainEdit& editor) {
  std::int32_t size = 0;
  formats::FileImage image;
  if (ReadBinaryFile(editor, size, image) &&
      LoadFileToBuffer(editor, std::move(image), size, kChecksumFileReportArgument, 1)) {
    editor.ShowBufferInfo();
  }
  SetJedecSendMode(0);
}

}  // namespace

int ReadBinaryFile(TMainEdit& /*editor*/, std::int32_t& size, formats::FileImage& image) {
  // The buffer grows to the image's size only once a reader has taken the file
  // (LoadFileToBuffer), so a refused file leaves it as it was.
  std::optional<formats::FileImage> read = formats::ReadBinaryFile(formats::ReadBinarySource());
  if (!read) return 0;
  size = read->size;
  image = std::move(*read);
  return 1;
}

int LoadFileToBuffer(TMainEdit& editor, formats::FileImage image, std::int32_t size, int report,
                     int messages) {
  THexFormChooser chooser(&editor);
  const formats::LoadOutcome outcome = formats::LoadIntoBuffer(
      editor.Core(), std::move(image), size, {report, messages, &editor, chooser});
  if (outcome == formats::LoadOutcome::kRefused) return 0;
  if (outcome == formats::LoadOutcome::kAskForSum) editor.GetSumSpeedClick(false);
  editor.RefreshGrids();
  return 1;
}

void RunLoadCommand(TMainEdit& editor) {
  TIniFile ini(SettingsPath());
  const std::int32_t format = ini.ReadInteger("LoadDlg", "Format", kFormatAutoDetect);
  const std::string name = ini.ReadString("LoadDlg", "Name", "None");
  if (format > kFormatPof) {
    LoadJedec(editor, name);
  } else {
    LoadThroughDispatcher(editor);
  }
}

void InstallLoadCommand() { InstallToolAction(ToolCommand::Load, RunLoadCommand); }

void SetLoadCommandHooks(LoadCommandHooks hooks) { Hooks() = std::move(hooks); }

}  // namespace buffer
