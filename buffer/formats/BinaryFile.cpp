#include "buffer/formats/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "buffer/core/FileChecks.h"
#include "buffer/core/LargeBlocks.h"
#include "buffer/core/Progress.h"
#include "buffer/formats/FileFaults.h"
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

std::string Describe(const std::string& name, const std::string& reason) {
  return "\"" + name + "\": " + reason;
}
std::string Describe(const std::string& name) { return Describe(name, std::strerror(errno)); }

class OpenFile {
 public:
  explicit OpenFile(const std::string& name)
      : fd_(InjectedFailure(FileCall::Open, name) != 0
                ? -1
                : ::open(winapi::NativePath(name).c_str(), O_RDONLY | O_CLOEXEC)) {
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
    if (InjectedFailure(FileCall::Read, name) != 0) throw ReadFailure(Describe(name));
    ssize_t got = ::pread(file.fd(), out + done, count - done, offset + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ReadFailure(Describe(name));
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// What shows that a file changed: its size and the time of its last change.
struct FileStamp {
  off_t size = 0;
  timespec modified{};
  bool operator==(const FileStamp& other) const {
    return size == other.size && modified.tv_sec == other.modified.tv_sec &&
           modified.tv_nsec == other.modified.tv_nsec;
  }
};

FileStamp Stamp(const OpenFile& file, const std::string& name) {
  struct stat status {};
  if (::fstat(file.fd(), &status) != 0) throw ReadFailure(Describe(name));
  return {std::max<off_t>(status.st_size, 0), status.st_mtim};
}

// A file another program wrote to while it was read would give a half old, half new image;
// so would one that ends before the size it reported (files such as those of /proc report
// none). Either is refused.
void CheckReadIntact(const FileStamp& before, const OpenFile& file, const std::string& name, off_t expected,
                    size_t got) {
  if (!(Stamp(file, name) == before)) throw ReadFailure(Describe(name, kFileChanged));
  if (before.size > 0 && static_cast<off_t>(got) != expected)
    throw ReadFailure(
        Describe(name, "the file ended after " + std::to_string(got) + " of " + std::to_string(expected) + " bytes"));
}

// The most bytes a file image holds: its size and the spare bytes stay a 32-bit count.
constexpr int64_t kLargestImage = INT32_MAX - static_cast<int64_t>(FileImage::kSpare);

// The whole file, read to its end. It comes in pieces through a buffer small enough to stay
// in the cache, so the image's memory is written once, not cleared first and written again.
// A file too large for an image is out of memory, as its block could never be had.
std::vector<uint8_t> ReadWhole(const OpenFile& file, const std::string& name) {
  constexpr size_t kPiece = 256 * 1024;
  const FileStamp before = Stamp(file, name);
  if (before.size > kLargestImage) throw std::bad_alloc();
  std::vector<uint8_t> bytes;
  buffer::ReserveLargeBlock(bytes, static_cast<size_t>(before.size) + FileImage::kSpare);
  std::vector<uint8_t> piece(kPiece);
  // On to a read that finds nothing: the file may go on past the size it reported.
  for (;;) {
    const size_t got = ReadAt(file, name, piece.data(), kPiece, static_cast<off_t>(bytes.size()));
    if (got == 0) break;
    if (static_cast<int64_t>(bytes.size() + got) > kLargestImage) throw std::bad_alloc();
    bytes.insert(bytes.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
  }
  CheckReadIntact(before, file, name, before.size, bytes.size());
  bytes.resize(bytes.size() + FileImage::kSpare, 0);
  return bytes;
}

// `count` bytes from `start`; what lies past the end of the file reads 0xFF.
std::vector<uint8_t> ReadRange(const OpenFile& file, const std::string& name, int32_t start,
                               int32_t count) {
  const FileStamp before = Stamp(file, name);
  std::vector<uint8_t> bytes(static_cast<size_t>(count) + FileImage::kSpare, 0);
  std::memset(bytes.data(), 0xFF, static_cast<size_t>(count));
  const size_t got = ReadAt(file, name, bytes.data(), static_cast<size_t>(count), start);
  CheckReadIntact(before, file, name, std::clamp<off_t>(before.size - start, 0, count), got);
  return bytes;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& name, std::string& failure) {
  try {
    OpenFile file(name);
    std::vector<uint8_t> bytes = ReadWhole(file, name);
    bytes.resize(bytes.size() - FileImage::kSpare);
    return bytes;
  } catch (const ReadFailure& read) {
    failure = read.what();
  } catch (const std::bad_alloc&) {
    failure = Describe(name, std::strerror(ENOMEM));
  }
  return std::nullopt;
}

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
