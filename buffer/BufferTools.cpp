#include "buffer/BufferTools.h"

#include "buffer/DumpEdit.h"
#include "buffer/GetSumDlg.h"
#include "buffer/SaveDlg.h"
#include "buffer/core/BufferOps.h"
#include "buffer/core/Checksum.h"
#include "buffer/formats/SaveDispatch.h"

namespace buffer {
namespace {

ToolAction Swap(int unit) {
  return [unit](TMainEdit& form) {
    SwapBuffer(form.Core(), unit);
    form.RefreshGrids();
  };
}

// The writers read the whole block: the 32-byte rounding of the text formats may reach into
// the slack past BufSize.
void SaveFromDialog(TMainEdit& form) {
  BufferLock lock(form.Buffer());
  formats::SaveFromDialog({lock.data(), form.Buffer().BlockSize()});
}

}  // namespace

void InstallBufferTools() {
  // The dialogs have the application as owner: no parent window.
  InstallToolDialog(ToolCommand::GetSum, [](TMainEdit& form) {
    return std::make_unique<TGetSumDialog>(form.Profile());
  });
  InstallToolAction(ToolCommand::GetSum, [](TMainEdit& form) { GetSumFromDialog(form.Core()); });
  InstallToolDialog(ToolCommand::Save, [](TMainEdit&) { return std::make_unique<TLoadSaveDlg>(); });
  InstallToolAction(ToolCommand::Save, SaveFromDialog);
  InstallToolAction(ToolCommand::ByteSwap, Swap(1));
  InstallToolAction(ToolCommand::WordSwap, Swap(2));
  InstallToolAction(ToolCommand::DWordSwap, Swap(4));
}

}  // namespace buffer
