#include "buffer/formats/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "buffer/core/FileChecks.h"
#include "buffer/core/Progress.h"
#include "buffer/formats/FormatMessages.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"

namespace formats {
namespace {

class ReadFailure {
 public:
  explicit ReadFailure(std::string what) : what_(std::move(what)) {}
  const std::string& what() const { return what_; }

 private:
  std::string what_;
};

std::string Describe(const std::string& name) {
  return "\"" + name + "\": " + std::strerror(errno);
}

class OpenFile {
 public:
  explicit OpenFile(const std::string& name)
      : fd_(::open(winapi::NativePath(name).c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) throw ReadFailure(Describe(name));
  }
  ~OpenFile() { ::close(fd_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// Reads up to `count` bytes at `offset` into `out`; returns how many there were.
size_t ReadAt(const OpenFile& file, const std::string& name, uint8_t* out, size_t count,
              off_t offset) {
  size_t done = 0;
  while (done < count) {
    ssize_t got = ::pread(file.fd(), out + done, count - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ReadFailure(Describe(name));
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// The most bytes a file image holds: its size and the spare bytes stay a 32-bit count.
constexpr int64_t kLargestImage = INT32_MAX - static_cast<int64_t>(FileImage::kSpare);

// The whole file, read to its end (files such as those of /proc report no size). A file too
// large for an image is out of memory, as its block could never be had.
std::vector<uint8_t> ReadWhole(const OpenFile& file, const std::string& name) {
  struct stat status {};
  if (::fstat(file.fd(), &status) != 0) throw ReadFailure(Describe(name));
  if (status.st_size > kLargestImage) throw std::bad_alloc();
  size_t capacity = static_cast<size_t>(std::max<off_t>(status.st_size, 0));
  std::vector<uint8_t> bytes(capacity + FileImage::kSpare);
  size_t size = 0;
  for (;;) {
    size += ReadAt(file, name, bytes.data() + size, capacity - size, static_cast<off_t>(size));
    if (size < capacity) break;
    // Full: the file may go on past the size it reported.
    uint8_t probe[4096];
    size_t more = ReadAt(file, name, probe, sizeof probe, static_cast<off_t>(size));
    if (more == 0) break;
    if (static_cast<int64_t>(size + more) > kLargestImage) throw std::bad_alloc();
    capacity = std::max(2 * capacity, size + sizeof probe);
    bytes.resize(capacity + FileImage::kSpare);
    std::memcpy(bytes.data() + size, probe, more);
    size += more;
  }
  bytes.resize(size + FileImage::kSpare);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(size), bytes.end(), 0);
  return bytes;
}

// `count` bytes from `start`; what lies past the end of the file reads 0xFF.
std::vector<uint8_t> ReadRange(const OpenFile& file, const std::string& name, int32_t start,
                               int32_t count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(count) + FileImage::kSpare, 0);
  std::memset(bytes.data(), 0xFF, static_cast<size_t>(count));
  ReadAt(file, name, bytes.data(), static_cast<size_t>(count), start);
  return bytes;
}

}  // namespace

BinarySource ReadBinarySource(const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  BinarySource source;
  source.name = ini.ReadString("LoadDlg", "Name", "None");
  source.sourceStart = ini.ReadInteger("LoadDlg", "SourceSAdd", 0);
  source.sourceEnd = ini.ReadInteger("LoadDlg", "SourceEAdd", 0);
  return source;
}

std::optional<FileImage> ReadBinaryFile(const BinarySource& source) {
  if (!buffer::CheckFileExists(source.name, false)) {
    buffer::ShowMessage(messages::kFileNotFound);
    return std::nullopt;
  }
  FileImage image;
  image.name = source.name;
  try {
    OpenFile file(source.name);
    if (source.sourceStart != 0) {
      int64_t count = int64_t{source.sourceEnd} - source.sourceStart + 1;
      count = std::clamp<int64_t>(count, 0, kLargestBinaryLoad);
      image.bytes = ReadRange(file, source.name, source.sourceStart, static_cast<int32_t>(count));
    } else {
      image.bytes = ReadWhole(file, source.name);
    }
  } catch (const ReadFailure& failure) {
    buffer::ShowMessage(messages::kFileUnreadable, failure.what());
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kFileImageMemory);
    return std::nullopt;
  }
  image.size = static_cast<int32_t>(image.bytes.size() - FileImage::kSpare);
  buffer::Progress().Finish();
  buffer::Progress().Close();
  return image;
}

}  // namespace formats
