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
// As the system's own path resolution gives up on a loop of links.
constexpr int kMaxLinkHops = 40;

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

// Gives the new file the old one's owner, group and mode, as far as this user may set them
// (root always can; others keep at least a group they belong to). A settings file rewritten
// by a console started with sudo so stays its user's. The mode comes last, as a change of
// owner clears the set-id bits.
void KeepOwnerAndMode(int fd, const struct stat& existing) {
  const bool ownerKept = ::fchown(fd, existing.st_uid, existing.st_gid) == 0 ||
                         ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) == 0;
  static_cast<void>(ownerKept);  // where it cannot be, the file is this user's like any other
  ::fchmod(fd, existing.st_mode & 07777);
}

}  // namespace

std::string ReplacedFile(const std::string& path) {
  // Followed link by link rather than resolved, so a link to a file not made yet names the
  // file to make instead of being replaced by it.
  fs::path file(NativePath(path));
  std::error_code error;
  for (int hop = 0; hop < kMaxLinkHops && fs::is_symlink(file, error); ++hop) {
    const fs::path target = fs::read_symlink(file, error);
    if (error) break;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file.string();
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
    if (replaces) KeepOwnerAndMode(fd, existing);
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
