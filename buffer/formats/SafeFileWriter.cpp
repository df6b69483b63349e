#include "buffer/formats/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "buffer/core/Messages.h"
#include "buffer/formats/FileFaults.h"
#include "buffer/formats/FormatMessages.h"
#include "platform/winapi/Paths.h"

namespace formats {
namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 100;

std::string ResolvedTarget(const std::string& target) {
  fs::path path(winapi::NativePath(target));
  std::error_code error;
  if (fs::is_symlink(path, error)) {
    fs::path resolved = fs::weakly_canonical(path, error);
    if (!error) return resolved.string();
  }
  return path.string();
}

// Creates an empty file beside the target, with the target's permissions when it exists
// (otherwise those the process gives new files); its name, or empty with errno set.
std::string CreateTemporary(const std::string& target) {
  const fs::path path(target);
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  struct stat existing {};
  const bool replaces = ::stat(target.c_str(), &existing) == 0;
  static unsigned counter = 0;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.saving", static_cast<long>(::getpid()), counter++);
    const std::string name = (folder / ("." + path.filename().string() + suffix)).string();
    if (InjectedFailure(FileCall::Open, name) != 0) return {};
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

// The new bytes on the disk before the rename makes them the target's: 0 or the errno value.
int SyncToDisk(const std::string& name) {
  if (int injected = InjectedFailure(FileCall::Sync, name); injected != 0) return injected;
  const int fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = ::fsync(fd) == 0 ? 0 : errno;
  ::close(fd);
  return error;
}

}  // namespace

SafeFileWriter::SafeFileWriter(const std::string& target)
    : target_(ResolvedTarget(target)), shown_(target) {
  temporary_ = CreateTemporary(target_);
  ready_ = !temporary_.empty();
  createError_ = ready_ ? 0 : errno;
  // What the writer leaves in errno tells why it failed.
  errno = 0;
}

SafeFileWriter::~SafeFileWriter() {
  if (ready_ && !committed_) ::unlink(temporary_.c_str());
}

bool SafeFileWriter::Commit(bool written) {
  if (!ready_) return Fail(createError_);
  if (!written) return Fail(errno != 0 ? errno : EIO);
  if (int error = SyncToDisk(temporary_); error != 0) return Fail(error);
  if (InjectedFailure(FileCall::Rename, temporary_) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0)
    return Fail(errno);
  committed_ = true;
  return true;
}

bool SafeFileWriter::Fail(int error) {
  if (ready_) ::unlink(temporary_.c_str());
  committed_ = true;  // nothing left to remove
  buffer::ShowMessage(messages::kSaveFailed, "\"" + shown_ + "\": " + std::strerror(error));
  return false;
}

bool SaveReplacing(const std::string& target,
                   const std::function<bool(const std::string& name)>& write) {
  SafeFileWriter file(target);
  return file.Commit(file.Ready() && write(file.TemporaryName()));
}

}  // namespace formats
