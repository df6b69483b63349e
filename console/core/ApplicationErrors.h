#pragma once
// The console's box for an error that no handler dealt with: the message, under the
// application's title.
#include <string>

namespace console {

inline constexpr const char* kApplicationTitle = "GANG PROGRAM";

// The box goes under the title of the program that shows it.
void ShowApplicationException(const std::string& message, const char* title = kApplicationTitle);

}  // namespace console
