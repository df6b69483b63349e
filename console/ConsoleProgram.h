#pragma once
// The console program from start to end: its forms in their order, the message loop, and
// the end that comes with closing the main form.
class QApplication;

namespace console {

// The console's title: its main window's, and the caption of the box for an error that no
// handler dealt with.
inline constexpr const char* kApplicationTitle = "GANG PROGRAM";

// Names the application. It sets no display name: the platform would append one to every
// window title and box caption, which must read exactly as they are given.
void NameApplication();

// Creates the main form and runs its start-up, then the Dump Edit, the progress window and
// GANG TOOLS; shows the main form and runs the message loop until the main form closes;
// frees the forms in the reverse order. Returns 0, also when the start-up ended at the
// driver warning. Only the main form's close ends the loop, and it always does.
int RunConsole(QApplication& app);

}  // namespace console
