#include "buffer/formats/TextBlockWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "buffer/formats/FileFaults.h"
#include "platform/winapi/Paths.h"

namespace formats {
namespace {

bool WriteAll(int fd, const std::string& name, const char* data, size_t count) {
  while (count > 0) {
    if (InjectedFailure(FileCall::Write, name) != 0) return false;
    ssize_t done = ::write(fd, data, count);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    count -= static_cast<size_t>(done);
  }
  return true;
}

// Closes the file: 0, or the errno value of a failed close (a full disk can show there).
int CloseFile(int fd, const std::string& name) {
  const int injected = InjectedFailure(FileCall::Close, name);
  if (::close(fd) != 0) return errno;
  return injected;
}

}  // namespace

int64_t RoundSavedLength(int64_t length) {
  return (length + kSavedLengthUnit - 1) / kSavedLengthUnit * kSavedLengthUnit;
}

bool WriteFileChunks(std::span<const char> block, const std::string& name, bool append) {
  const int flags = O_WRONLY | O_CLOEXEC | (append ? O_APPEND : O_CREAT | O_TRUNC);
  if (InjectedFailure(FileCall::Open, name) != 0) return false;
  int fd = ::open(winapi::NativePath(name).c_str(), flags, 0644);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t at = 0; ok && at < block.size(); at += kFilePieceSize)
    ok = WriteAll(fd, name, block.data() + at, std::min(kFilePieceSize, block.size() - at));
  // The first failure is the one the save names.
  const int writeError = ok ? 0 : errno;
  const int closeError = CloseFile(fd, name);
  errno = writeError != 0 ? writeError : closeError;
  return errno == 0;
}

void TextBlockWriter::Flush() {
  // After a failure the file is lost anyway: nothing more goes to it.
  if (!failed_ && !WriteFileChunks({block_.data(), fill_}, name_, written_)) {
    failed_ = true;
    error_ = errno;
  }
  written_ = true;
  fill_ = 0;
}

bool TextBlockWriter::Finish() {
  Flush();
  if (failed_) errno = error_;
  return !failed_;
}

}  // namespace formats
