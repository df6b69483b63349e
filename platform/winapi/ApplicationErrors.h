#pragma once
// The box in which the application shows an error that no handler dealt with: the message,
// under the title of the program that shows it.
#include <string>

namespace winapi {

void ShowApplicationException(const std::string& message, const char* title);

}  // namespace winapi
