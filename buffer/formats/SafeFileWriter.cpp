#include "buffer/formats/SafeFileWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "buffer/core/Messages.h"
#include "buffer/formats/FileFaults.h"
#include "buffer/formats/FormatMessages.h"
#include "platform/winapi/FileReplace.h"

namespace formats {
namespace {

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

SafeFileWriter::SafeFileWriter(const std::string& target, bool showFailure)
    : target_(winapi::ReplacedFile(target)), shown_(target), showFailure_(showFailure) {
  temporary_ = winapi::CreateFileBeside(
      target_, [](const std::string& name) { return InjectedFailure(FileCall::Open, name); });
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
  error_ = error;
  if (showFailure_) buffer::ShowMessage(messages::kSaveFailed, "\"" + shown_ + "\": " + std::strerror(error));
  return false;
}

bool SaveReplacing(const std::string& target,
                   const std::function<bool(const std::string& name)>& write) {
  SafeFileWriter file(target);
  return file.Commit(file.Ready() && write(file.TemporaryName()));
}

}  // namespace formats
