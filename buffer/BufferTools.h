#pragma once
// The Dump Edit's own operations behind its tool buttons: the Get Check Sum, Fill Data,
// Block and Search dialogs with their operations, Search Next, the Save dialog and the save
// in its format, and the byte, word and double-word swaps. Each program installs them once
// at start-up, before the Dump Edit's buttons can be pressed.
namespace buffer {

void InstallBufferTools();

}  // namespace buffer
