#pragma once
// The Dump Edit's own operations behind its tool buttons: the Get Check Sum, Fill Data,
// Block and Search dialogs with their operations, Search Next, the Save dialog and the save
// in its format, and the byte, word and double-word swaps. Each program installs them once
// at start-up, before the Dump Edit's buttons can be pressed.
#include "buffer/BlockDlg.h"

namespace buffer {

void InstallBufferTools();
// The Fill Data and Block dialogs with their operations, each dialog built for the form's
// profile. The update tool's Block dialog resizes through `resizeDialog`.
void InstallFillAndBlockTools(TBlockDialog::ResizeDialog resizeDialog = {});
// The Search dialog with Search and Search Next, and the three swaps: the same in both
// programs.
void InstallSearchAndSwapTools();

}  // namespace buffer
