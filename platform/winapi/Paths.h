#pragma once
// Paths as the programs build them ("dir\\name") turned into paths this system opens.
#include <string>

namespace winapi {

// Every '\\' becomes '/'.
std::string NativePath(std::string path);

// The process's current directory, without a trailing separator.
std::string CurrentDirectory();

}  // namespace winapi
