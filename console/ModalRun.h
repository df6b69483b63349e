#pragma once
// How the console shows its own forms modally. Tests replace the run, so that no form
// waits for a real user and no timer needs real time.
#include <functional>

class QDialog;

namespace console {

// Shows the form modally and returns its result; the default runs the form's own loop.
using ModalRunner = std::function<int(QDialog&)>;

int RunModal(QDialog& form);
// Installs the run every RunModal uses and returns the previous one; an empty runner
// restores the form's own loop.
ModalRunner SetModalRunner(ModalRunner runner);

}  // namespace console

class QWidget;

namespace console {

// A fixed dialog of the console: caption and close box only, not resizable, centred on
// the screen.
void MakeFixedDialog(QWidget& form, const char* caption, int clientWidth, int clientHeight);

}  // namespace console
