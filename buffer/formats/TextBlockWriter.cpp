#include "buffer/formats/TextBlockWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/winapi/Paths.h"

namespace formats {
namespace {

bool WriteAll(int fd, const char* data, size_t count) {
  while (count > 0) {
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

}  // namespace

int64_t RoundSavedLength(int64_t length) {
  return (length + kSavedLengthUnit - 1) / kSavedLengthUnit * kSavedLengthUnit;
}

bool WriteFileChunks(std::span<const char> block, const std::string& name, bool append) {
  const int flags = O_WRONLY | O_CLOEXEC | (append ? O_APPEND : O_CREAT | O_TRUNC);
  int fd = ::open(winapi::NativePath(name).c_str(), flags, 0644);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t at = 0; ok && at < block.size(); at += kFilePieceSize)
    ok = WriteAll(fd, block.data() + at, std::min(kFilePieceSize, block.size() - at));
  return ::close(fd) == 0 && ok;
}

void TextBlockWriter::Flush() {
  if (!WriteFileChunks({block_.data(), fill_}, name_, written_)) failed_ = true;
  written_ = true;
  fill_ = 0;
}

bool TextBlockWriter::Finish() {
  Flush();
  return !failed_;
}

}  // namespace formats
