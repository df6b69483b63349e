#include "console/core/ApplicationErrors.h"

#include "platform/winapi/MessageBox.h"

namespace console {

void ShowApplicationException(const std::string& message) {
  winapi::MessageBox(nullptr, message, kApplicationTitle, winapi::MB_OK | winapi::MB_ICONSTOP);
}

}  // namespace console
