#include "buffer/BufferTools.h"

#include "buffer/BlockDlg.h"
#include "buffer/DumpEdit.h"
#include "buffer/FillDataDlg.h"
#include "buffer/GetSumDlg.h"
#include "buffer/SaveDlg.h"
#include "buffer/SearchDlg.h"
#include "buffer/core/BlockOps.h"
#include "buffer/core/BufferOps.h"
#include "buffer/core/Checksum.h"
#include "buffer/core/DataSearch.h"
#include "buffer/core/FillData.h"
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

// Search and Search Next start beside the cursor of the page on show (both byte addresses).
void Search(TMainEdit& form) {
  const std::int64_t cursor =
      form.ShowsWordSheet() ? form.CursorAddress16() : form.CursorAddress8();
  if (form.GetSearchDirection() == 1) SearchBackward(form.Core(), cursor);
  else SearchForward(form.Core(), cursor);
  form.RefreshGrids();
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
  InstallFillAndBlockTools();
  InstallSearchAndSwapTools();
}

void InstallSearchAndSwapTools() {
  InstallToolDialog(ToolCommand::Search, [](TMainEdit& form) {
    auto dialog = std::make_unique<TSearchDialog>(form.Profile().hexKeyRule);
    dialog->AttachEditor(&form);
    return dialog;
  });
  InstallToolAction(ToolCommand::Search, Search);
  InstallToolAction(ToolCommand::SearchNext, Search);
  InstallToolAction(ToolCommand::ByteSwap, Swap(1));
  InstallToolAction(ToolCommand::WordSwap, Swap(2));
  InstallToolAction(ToolCommand::DWordSwap, Swap(4));
}

void InstallFillAndBlockTools(TBlockDialog::ResizeDialog resizeDialog) {
  InstallToolDialog(ToolCommand::Fill, [](TMainEdit& form) {
    return std::make_unique<TFillDataDialog>(form.Profile());
  });
  InstallToolAction(ToolCommand::Fill, [](TMainEdit& form) {
    FillFromDialog(form.Core());
    form.RefreshGrids();
  });
  InstallToolDialog(ToolCommand::Block, [resizeDialog](TMainEdit& form) {
    auto dialog = std::make_unique<TBlockDialog>(form.Profile());
    dialog->AttachEditor(&form);
    dialog->SetResizeDialog(resizeDialog);
    return dialog;
  });
  // A block action that returns early leaves the grids as they are.
  InstallToolAction(ToolCommand::Block, [](TMainEdit& form) {
    if (DoBlockAction(form.Core())) form.RefreshGrids();
  });
}

}  // namespace buffer
