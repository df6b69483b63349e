#include "platform/winapi/Paths.h"

#include <algorithm>
#include <filesystem>

namespace winapi {
namespace {

std::string g_programPath;

}  // namespace

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string StoredName(const std::string& typed) {
  const char* blanks = " \t\r\n";
  const size_t first = typed.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return typed.substr(first, typed.find_last_not_of(blanks) - first + 1);
}

std::string CurrentDirectory() {
  std::error_code error;
  std::string dir = std::filesystem::current_path(error).string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string ProgramPath() {
  if (!g_programPath.empty()) return g_programPath;
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
}

std::string ProgramIniPath() {
  return std::filesystem::path(ProgramPath()).replace_extension(".INI").string();
}

void SetProgramPath(const std::string& path) { g_programPath = path; }

}  // namespace winapi
