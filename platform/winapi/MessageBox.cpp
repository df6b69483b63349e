#include "platform/winapi/MessageBox.h"

namespace winapi {
namespace {
MessageBoxHost* g_host = nullptr;
}

MessageBoxHost* SetMessageBoxHost(MessageBoxHost* host) {
  MessageBoxHost* previous = g_host;
  g_host = host;
  return previous;
}

MessageBoxHost* CurrentMessageBoxHost() { return g_host; }

int DefaultButton(unsigned flags) {
  switch (flags & MB_BUTTONMASK) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
  }
}

int MessageBox(Owner owner, const std::string& text, const std::string& caption,
               unsigned flags) {
  if (g_host == nullptr) return DefaultButton(flags);
  return g_host->Show(owner, text, caption, flags);
}

void MessageBeep(unsigned type) {
  if (g_host != nullptr) g_host->Beep(type);
}

}  // namespace winapi
