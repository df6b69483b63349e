#include "platform/winapi/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/winapi/Paths.h"

namespace winapi {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;

// 0, or the errno value of the write that failed.
int WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

}  // namespace

std::string ReplacedFile(const std::string& path) {
  fs::path native(NativePath(path));
  std::error_code error;
  if (fs::is_symlink(native, error)) {
    fs::path resolved = fs::weakly_canonical(native, error);
    if (!error) return resolved.string();
  }
  return native.string();
}

std::string CreateFileBeside(const std::string& target, const CreateFault& fault) {
  const fs::path path(target);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  struct stat existing {};
  const bool replaces = ::stat(target.c_str(), &existing) == 0;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.saving", static_cast<long>(::getpid()), counter++);
    const std::string name = (folder / ("." + path.filename().string() + suffix)).string();
    if (fault) {
      if (const int refused = fault(name); refused != 0) {
        errno = refused;
        return {};
      }
    }
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return {};
    if (replaces) ::fchmod(fd, existing.st_mode & 07777);
    ::close(fd);
    return name;
  }
  errno = EEXIST;
  return {};
}

int ReplaceFileContent(const std::string& path, std::string_view text) {
  const std::string target = ReplacedFile(path);
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
    return errno;
  const std::string temporary = CreateFileBeside(target);
  if (temporary.empty()) return errno;
  int error = 0;
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
  } else {
    error = WriteAll(fd, text);
    if (::close(fd) != 0 && error == 0) error = errno;
  }
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temporary.c_str());
  return error;
}

}  // namespace winapi
