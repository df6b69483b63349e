#include "platform/winapi/ApplicationErrors.h"

#include "platform/winapi/MessageBox.h"

namespace winapi {

void ShowApplicationException(const std::string& message, const char* title) {
  MessageBox(nullptr, message, title, MB_OK | MB_ICONSTOP);
}

}  // namespace winapi
