#include "buffer/formats/Palunit.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/HexFields.h"
#include "buffer/formats/SafeFileWriter.h"
#include "buffer/formats/TextBlockWriter.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"

namespace formats {
namespace {

constexpr uint8_t kStx = 0x02;
constexpr uint8_t kPastText = 0xFF;
constexpr size_t kDefaultStateSlack = 1024;
constexpr int kLongestFuseNumber = 14;
constexpr int kLongestUserBits = 63;
constexpr int kFusesPerLine = 40;
constexpr uint32_t kChecksumMask = 0xFFFF;

// The text as the parse walks it: a position and the rules of skipping.
class JedecScan {
 public:
  explicit JedecScan(std::span<const uint8_t> text) : text_(text) {}

  size_t Size() const { return text_.size(); }
  // The character at i, -1 past the end.
  int At(size_t i) const { return i < text_.size() ? text_[i] : -1; }
  // The first i at or after `from` holding c, or Size().
  size_t Find(uint8_t c, size_t from) const {
    if (from >= text_.size()) return text_.size();
    const void* hit = std::memchr(text_.data() + from, c, text_.size() - from);
    return hit ? static_cast<size_t>(static_cast<const uint8_t*>(hit) - text_.data()) : text_.size();
  }
  // The first i at or after `from` that is neither a space nor LF.
  size_t SkipBlanks(size_t from) const {
    while (At(from) == ' ' || At(from) == '\n') ++from;
    return from;
  }
  bool IsHexDigit(size_t i) const { return At(i) >= 0 && kHexDigitValues[At(i)] >= 0; }

 private:
  std::span<const uint8_t> text_;
};

// The c of the first "*F c *" (blanks allowed around c), or -1.
int DefaultState(const JedecScan& scan) {
  for (size_t star = scan.Find('*', 0); star < scan.Size(); star = scan.Find('*', star + 1)) {
    const size_t f = scan.SkipBlanks(star + 1);
    if (scan.At(f) != 'F' || scan.At(f + 1) < 0) continue;
    if (scan.At(scan.SkipBlanks(f + 2)) == '*') return scan.At(f + 1);
  }
  return -1;
}

// The fuse lists, stored into the buffer; the address after the last list's last fuse,
// or 0 without lists.
enum class ListsRead { Done, GaveUp, BeyondBuffer };

ListsRead ReadFuseLists(const JedecScan& scan, uint8_t* fuses, int64_t bufSize, int64_t& end) {
  end = 0;
  for (size_t at = scan.Find('L', 0); at < scan.Size(); at = scan.Find('L', at)) {
    ++at;
    uint64_t address = 0;
    int digits = 0;
    for (; scan.At(at) >= '0' && scan.At(at) <= '9'; ++at, ++digits) {
      if (digits == kLongestFuseNumber) return ListsRead::GaveUp;
      address = address * 10 + static_cast<uint64_t>(scan.At(at) - '0');
    }
    if (digits == 0) continue;
    for (; at < scan.Size(); ++at) {
      const int c = scan.At(at);
      if (c == 'L' || c == 'l') break;
      if (c == '*') {
        ++at;
        break;
      }
      if (c != '0' && c != '1') continue;
      if (address >= static_cast<uint64_t>(bufSize)) return ListsRead::BeyondBuffer;
      fuses[address++] = static_cast<uint8_t>(c - '0');
    }
    end = static_cast<int64_t>(std::min<uint64_t>(address, INT64_MAX));
  }
  return ListsRead::Done;
}

// The value of the first "C" with 3 to 8 hex digits and then (after blanks) '*'; 0 when
// there is none.
uint32_t ExpectedChecksum(const JedecScan& scan) {
  for (size_t c = scan.Find('C', 0); c < scan.Size(); c = scan.Find('C', c + 1)) {
    size_t end = c + 1;
    while (scan.IsHexDigit(end)) ++end;
    const size_t digits = end - c - 1;
    if (digits < 3 || digits > 8 || scan.At(scan.SkipBlanks(end)) != '*') continue;
    uint32_t value = 0;
    for (size_t i = c + 1; i < end; ++i)
      value = value << 4 | static_cast<uint32_t>(kHexDigitValues[scan.At(i)]);
    return value;
  }
  return 0;
}

// The bits of the first "*U B bits *" or "*U H digits *" field; false when the first U
// after a '*' is followed by neither B nor H, or when there is no such field.
bool UserBits(const JedecScan& scan, std::vector<uint8_t>& bits) {
  for (size_t star = scan.Find('*', 0); star < scan.Size(); star = scan.Find('*', star + 1)) {
    const size_t u = scan.SkipBlanks(star + 1);
    if (scan.At(u) != 'U' && scan.At(u) != 'u') continue;
    const int kind = scan.At(u + 1);
    if (kind != 'B' && kind != 'b' && kind != 'H' && kind != 'h') return false;
    const bool binary = kind == 'B' || kind == 'b';
    size_t at = scan.SkipBlanks(u + 2);
    const size_t first = at;
    while (at - first < kLongestUserBits &&
           (binary ? scan.At(at) == '0' || scan.At(at) == '1' : scan.IsHexDigit(at)))
      ++at;
    if (scan.At(scan.SkipBlanks(at)) != '*') continue;
    bits.clear();
    if (binary) {
      for (size_t i = first; i < at; ++i) bits.push_back(static_cast<uint8_t>(scan.At(i) - '0'));
    } else {
      // Digits in pairs, each byte's bits most significant first; an odd last digit
      // gives none.
      for (size_t i = first; i + 1 < at; i += 2) {
        const int byte = kHexDigitValues[scan.At(i)] << 4 | kHexDigitValues[scan.At(i + 1)];
        for (int bit = 7; bit >= 0; --bit) bits.push_back(static_cast<uint8_t>(byte >> bit & 1));
      }
    }
    return true;
  }
  return false;
}

std::string Hex4(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value & kChecksumMask));
  return text;
}

}  // namespace

bool AllocJedecText(JedecText& text, const std::string& name) {
  text.block = {};
  text.size = 0;
  struct stat status {};
  int64_t size = 0;
  if (::stat(winapi::NativePath(name).c_str(), &status) == 0) size = status.st_size;
  try {
    if (size > INT32_MAX - static_cast<int64_t>(JedecText::kExtra)) throw std::bad_alloc();
    text.block.assign(static_cast<size_t>(size) + JedecText::kExtra, 0);
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kJedecTextTooBig);
    return false;
  }
  text.size = static_cast<int32_t>(size);
  return true;
}

bool ReadJedecText(JedecText& text, const std::string& name) {
  std::string failure;
  const std::optional<std::vector<uint8_t>> read = ReadFileBytes(name, failure);
  // The text was sized for the file as it was: one that has changed since is refused too.
  if (read && read->size() != static_cast<size_t>(text.size)) failure = "\"" + name + "\": " + kFileChanged;
  if (!failure.empty()) {
    buffer::ShowMessage(messages::kJedecUnreadable, failure);
    return false;
  }
  const std::vector<uint8_t>& raw = *read;
  const size_t size = static_cast<size_t>(text.size);
  size_t length = 0;
  for (size_t i = 0; i < raw.size() && length < size; ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text.block[length++] = raw[i] == 0 ? '0' : raw[i];
  }
  std::fill(text.block.begin() + static_cast<std::ptrdiff_t>(length),
            text.block.begin() + static_cast<std::ptrdiff_t>(size), kPastText);
  text.block[size] = 0;
  return true;
}

uint32_t JedecFuseChecksum(int64_t fuseCount, const uint8_t* fuses) {
  uint32_t sum = 0;
  for (int64_t group = 0; group < fuseCount; group += 8) {
    uint32_t byte = 0;
    for (int64_t j = 0; j < 8 && group + j < fuseCount; ++j)
      if (fuses[group + j] == 1) byte |= 1u << j;
    sum += byte;
  }
  return sum;
}

bool ParseJedec(std::span<const uint8_t> text, buffer::DataBuffer& buffer,
                const LoadSettings& settings) {
  if (!buffer.exists()) return false;
  buffer::BufferLock lock(buffer);
  const int64_t bufSize = lock.size();
  const JedecScan scan(text);

  // The default state covers the buffer and the first of its slack.
  const size_t preset = static_cast<size_t>(bufSize) +
                        std::min(kDefaultStateSlack, buffer.BlockSize() - static_cast<size_t>(bufSize));
  if (const int state = DefaultState(scan); state >= 0)
    std::memset(lock.data(), static_cast<uint8_t>(state - '0'), preset);
  else if (settings.FillUnused())
    std::memset(lock.data(), settings.Fill(), preset);

  if (scan.Find('*', 0) == scan.Size()) return false;

  int64_t end = 0;
  switch (ReadFuseLists(scan, lock.data(), bufSize, end)) {
    case ListsRead::GaveUp:
      return false;
    case ListsRead::BeyondBuffer:
      buffer::ShowMessage(messages::kJedecFuseSize);
      return false;
    case ListsRead::Done:
      break;
  }
  // A list may end past its last fuse digit; the checksum stays inside the buffer.
  const int64_t fuses = std::min(end, bufSize);

  const uint32_t checksum = JedecFuseChecksum(fuses, lock.data()) & kChecksumMask;
  if (checksum == ExpectedChecksum(scan))
    buffer::ShowMessage(messages::kJedecLoaded, Hex4(checksum));
  else
    buffer::ShowMessage(messages::kJedecChecksumMismatch);

  std::vector<uint8_t> bits;
  if (UserBits(scan, bits)) {
    const size_t room = static_cast<size_t>(bufSize - fuses);
    std::copy_n(bits.begin(), std::min(bits.size(), room), lock.data() + fuses);
  }
  return true;
}

bool IsJedecFile(const JedecText& text) {
  const std::span<const uint8_t> bytes = text.Text();
  const auto star = std::find(bytes.begin(), bytes.end(), '*');
  if (star != bytes.end() && std::count(bytes.begin(), star, kStx) == 1) return true;
  buffer::ShowMessage(messages::kNotJedec);
  return false;
}

bool LoadJedecFile(JedecText& text, const std::string& name, buffer::DataBuffer& buffer,
                   const LoadSettings& settings) {
  if (!AllocJedecText(text, name) || !ReadJedecText(text, name)) return false;
  ParseJedec(text.Text(), buffer, settings);
  return IsJedecFile(text);
}

bool WriteJedec(const std::string& name, int32_t start, int32_t count,
                std::span<const uint8_t> block) {
  if (start < 0 || count < 1 || int64_t{start} + count > static_cast<int64_t>(block.size()))
    return false;
  const uint8_t* fuses = block.data() + start;
  std::string text;
  try {
    text.reserve(static_cast<size_t>(count) + static_cast<size_t>(count) / 4 + 100);
    text += static_cast<char>(kStx);
    text += " Generated by ZORV R-77.\r\n\r\n\r\n*\r\n";
    text += "QF" + std::to_string(count) + "*\r\n";
    for (int32_t line = 0; line < count; line += kFusesPerLine) {
      text += "L" + std::to_string(line) + "  ";
      for (int32_t i = line; i < std::min(count, line + kFusesPerLine); ++i)
        text += fuses[i] == 1 ? '1' : '0';
      text += "*\r\n";
    }
    text += "C" + Hex4(JedecFuseChecksum(count, fuses)) + "*\r\n";
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kJedecSaveMemory);
    return false;
  }
  return SaveReplacing(name, [&](const std::string& temporary) {
    return WriteFileChunks(text, temporary, false);
  });
}

bool SaveJedecFile(std::span<const uint8_t> block, const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  const int32_t start = ini.ReadInteger("SaveDlg", "SourceSAdd", 0);
  const int32_t end = ini.ReadInteger("SaveDlg", "SourceEAdd", 0);
  const std::string name = ini.ReadString("SaveDlg", "Name", "None");
  return WriteJedec(name, start, static_cast<int32_t>(int64_t{end} - start + 1), block);
}

}  // namespace formats
