#include "platform/winapi/Paths.h"

#include <algorithm>
#include <filesystem>

namespace winapi {

std::string NativePath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string CurrentDirectory() {
  std::error_code error;
  std::string dir = std::filesystem::current_path(error).string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

}  // namespace winapi
