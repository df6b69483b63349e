#include "console/core/ApplicationErrors.h"

#include "platform/winapi/MessageBox.h"

namespace console {

void ShowApplicationException(const std::string& message, const char* title) {
  winapi::MessageBox(nullptr, message, title, winapi::MB_OK | winapi::MB_ICONSTOP);
}

}  // namespace console
