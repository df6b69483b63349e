#include "buffer/BufferTools.h"

#include "buffer/DumpEdit.h"
#include "buffer/GetSumDlg.h"
#include "buffer/core/BufferOps.h"
#include "buffer/core/Checksum.h"

namespace buffer {
namespace {

ToolAction Swap(int unit) {
  return [unit](TMainEdit& form) {
    SwapBuffer(form.Core(), unit);
    form.RefreshGrids();
  };
}

}  // namespace

void InstallBufferTools() {
  // The dialogs have the application as owner: no parent window.
  InstallToolDialog(ToolCommand::GetSum, [](TMainEdit& form) {
    return std::make_unique<TGetSumDialog>(form.Profile());
  });
  InstallToolAction(ToolCommand::GetSum, [](TMainEdit& form) { GetSumFromDialog(form.Core()); });
  InstallToolAction(ToolCommand::ByteSwap, Swap(1));
  InstallToolAction(ToolCommand::WordSwap, Swap(2));
  InstallToolAction(ToolCommand::DWordSwap, Swap(4));
}

}  // namespace buffer
