#pragma once
// The console's box for an error that no handler dealt with: the message, under the
// application's title.
#include <string>

namespace console {

inline constexpr const char* kApplicationTitle = "GANG PROGRAM";

void ShowApplicationException(const std::string& message);

}  // namespace console
