#pragma once
// The tool buttons of the update tool's Dump Edit children that differ from the console's:
// Load opens the update tool's Load File dialog and then runs the frame's image load; Sum
// opens the Get Check Sum dialog and shows the sum alone ("%08lX" / "Get Check Sum"); Save
// opens the Save File dialog (its hex keys without backspace) and writes through the save
// dispatcher, a format without a writer of its own as binary; Fill and Block open their
// dialogs built for the update profile, the Block dialog resizing through its own dialog.
// Search, Search Next and the three swaps are the console's.
#include <functional>

namespace buffer {
class TMainEdit;
}

namespace update {

void InstallUpdateTools(std::function<void(buffer::TMainEdit& edit)> loadImage);
void RemoveUpdateTools();

}  // namespace update
