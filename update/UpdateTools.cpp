#include "update/UpdateTools.h"

#include "buffer/BufferTools.h"
#include "buffer/DumpEdit.h"
#include "buffer/GetSumDlg.h"
#include "buffer/LoadDialog.h"
#include "buffer/SaveDlg.h"
#include "buffer/core/Checksum.h"
#include "buffer/formats/SaveDispatch.h"
#include "update/ResizeBufDlg.h"

namespace update {
namespace {

using buffer::ToolCommand;

// The writers read the whole block: the text formats' 32-byte rounding may reach into the
// slack past BufSize.
void SaveBuffer(buffer::TMainEdit& edit) {
  buffer::BufferLock lock(edit.Buffer());
  formats::SaveBufferToFile({lock.data(), edit.Buffer().BlockSize()});
}

}  // namespace

void InstallUpdateTools(std::function<void(buffer::TMainEdit& edit)> loadImage) {
  // The dialogs have the application as owner: no parent window.
  buffer::InstallToolDialog(ToolCommand::Load, [](buffer::TMainEdit&) {
    return std::make_unique<buffer::TLoadDlg>(buffer::UpdateToolLoadDialog());
  });
  buffer::InstallToolAction(ToolCommand::Load, std::move(loadImage));
  buffer::InstallToolDialog(ToolCommand::GetSum, [](buffer::TMainEdit& edit) {
    return std::make_unique<buffer::TGetSumDialog>(edit.Profile());
  });
  buffer::InstallToolAction(ToolCommand::GetSum, [](buffer::TMainEdit& edit) {
    buffer::GetSumFromDialog(edit.Core(), buffer::kChecksumSumReport);
  });
  buffer::InstallToolDialog(ToolCommand::Save, [](buffer::TMainEdit& edit) {
    return std::make_unique<buffer::TLoadSaveDlg>(edit.Profile().hexKeyRule);
  });
  buffer::InstallToolAction(ToolCommand::Save, SaveBuffer);
  buffer::InstallFillAndBlockTools(ShowResizeDialog);
  buffer::InstallSearchAndSwapTools();
}

void RemoveUpdateTools() {
  for (int command = 0; command < buffer::kToolCommandCount; ++command) {
    buffer::InstallToolDialog(ToolCommand(command), nullptr);
    buffer::InstallToolAction(ToolCommand(command), nullptr);
  }
}

}  // namespace update
