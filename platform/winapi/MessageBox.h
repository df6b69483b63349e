#pragma once
// Message boxes and beeps as the programs see them: a text, a caption and the MB_ flags go
// in, the pressed button's ID comes out. The host that shows them is replaceable, so the
// programs show Qt boxes and the tests answer from a script.
#include <string>

namespace winapi {

enum MessageBoxFlags : unsigned {
  MB_OK = 0x00,
  MB_OKCANCEL = 0x01,
  MB_ABORTRETRYIGNORE = 0x02,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
  MB_RETRYCANCEL = 0x05,
  MB_ICONHAND = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONSTOP = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONASTERISK = 0x40,
  MB_ICONINFORMATION = 0x40,
  MB_DEFBUTTON2 = 0x100,
  MB_APPLMODAL = 0x0000,
  MB_SYSTEMMODAL = 0x1000,
  MB_TASKMODAL = 0x2000,
  MB_BUTTONMASK = 0x0F,
  MB_ICONMASK = 0xF0,
};

enum DialogResult : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
};

// The owner is the window the box is modal to; it is opaque here (a QWidget* in the
// programs, nullptr for "no owner").
using Owner = void*;

class MessageBoxHost {
 public:
  virtual ~MessageBoxHost() = default;
  virtual int Show(Owner owner, const std::string& text, const std::string& caption,
                   unsigned flags) = 0;
  virtual void Beep(unsigned type) = 0;
};

// Installs the host every box goes to and returns the previous one. Without a host a box
// answers as if its default (first) button had been pressed.
MessageBoxHost* SetMessageBoxHost(MessageBoxHost* host);
MessageBoxHost* CurrentMessageBoxHost();

int MessageBox(Owner owner, const std::string& text, const std::string& caption,
               unsigned flags);
void MessageBeep(unsigned type);

// The answer a box gives when nobody presses anything: its first button.
int DefaultButton(unsigned flags);

}  // namespace winapi
