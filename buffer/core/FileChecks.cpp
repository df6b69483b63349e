#include "buffer/core/FileChecks.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "buffer/core/HexText.h"
#include "buffer/core/Messages.h"
#include "platform/winapi/Paths.h"

namespace buffer {
namespace {

bool IsRegularFile(const std::string& name) {
  std::error_code error;
  return !name.empty() && std::filesystem::is_regular_file(winapi::NativePath(name), error);
}

}  // namespace

std::optional<int32_t> ReadFileSize(const std::string& name) {
  // A directory opens as a stream too, and seeks to a meaningless end.
  if (!IsRegularFile(name)) return std::nullopt;
  std::ifstream file(winapi::NativePath(name), std::ios::binary | std::ios::ate);
  if (!file) return std::nullopt;
  std::streamoff size = file.tellg();
  if (size < 0) return std::nullopt;
  return static_cast<int32_t>(std::min<std::streamoff>(size, INT32_MAX));
}

std::optional<FileRangeTexts> FileRange(const std::string& name, int digits) {
  auto size = ReadFileSize(name);
  if (!size) return std::nullopt;
  uint32_t last = static_cast<uint32_t>(*size - 1);
  uint32_t largest = digits >= 8 ? UINT32_MAX : (uint32_t{1} << (4 * digits)) - 1;
  return FileRangeTexts{"000000", FormatHex(std::min(last, largest), 6)};
}

bool CheckFileExists(const std::string& name, bool showMessage) {
  if (IsRegularFile(name)) return true;
  if (showMessage) ShowMessage(messages::kFileNotFound);
  return false;
}

}  // namespace buffer
