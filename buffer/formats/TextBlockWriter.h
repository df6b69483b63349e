#pragma once
// The writer every text format saves through. Records are built in one 64 KB block; before
// each record the block is written out when it holds more than 0xFF9C bytes, so a record of
// up to 100 characters always fits. The first write of a file creates it (an existing file
// is truncated), every later one appends; the last write after the end record creates the
// file when nothing was written before.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace formats {

inline constexpr size_t kTextBlockSize = 0x10000;
inline constexpr size_t kTextBlockFlushAbove = 0x10000 - 100;
inline constexpr size_t kFilePieceSize = 0xFFFF;
// Text writers save whole 32-byte slices: the length is rounded up to a multiple of this.
inline constexpr int32_t kSavedLengthUnit = 32;

// The saved length of a range of `length` bytes.
int64_t RoundSavedLength(int64_t length);

// Writes the bytes to the file in pieces of at most 0xFFFF bytes: append false creates the
// file (or truncates it), true adds to its end. False, with errno telling why, when the
// file cannot be created, opened, written or closed.
bool WriteFileChunks(std::span<const char> block, const std::string& name, bool append);

class TextBlockWriter {
 public:
  explicit TextBlockWriter(std::string fileName) : name_(std::move(fileName)) {}

  // Before each record: writes the block out when it holds more than the threshold, or when
  // a record of `recordLength` characters would not fit.
  void BeginRecord(size_t recordLength = 100) {
    if (fill_ > kTextBlockFlushAbove || fill_ + recordLength > kTextBlockSize) Flush();
  }

  void Append(std::string_view text) {
    text.copy(block_.data() + fill_, text.size());
    fill_ += text.size();
  }
  void AppendChar(char c) { block_[fill_++] = c; }
  // Upper-case hex digits of the low `digits` nibbles of value.
  void AppendHex(uint32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
      block_[fill_++] = kUpperHex[(value >> shift) & 0xF];
  }
  void AppendHexByte(uint8_t value) {
    block_[fill_++] = kUpperHex[value >> 4];
    block_[fill_++] = kUpperHex[value & 0xF];
  }
  // Two upper-case digits for each byte.
  void AppendHexBytes(const uint8_t* bytes, size_t n) {
    char* out = block_.data() + fill_;
    for (size_t k = 0; k < n; ++k) std::memcpy(out + 2 * k, kHexPairs[bytes[k]].data(), 2);
    fill_ += 2 * n;
  }
  void AppendLineEnd() {
    block_[fill_++] = '\r';
    block_[fill_++] = '\n';
  }

  // Writes what the block still holds; true when every write of the file succeeded, else
  // false with errno telling why the first one failed.
  bool Finish();

 private:
  static constexpr char kUpperHex[] = "0123456789ABCDEF";
  static constexpr std::array<std::array<char, 2>, 256> kHexPairs = [] {
    std::array<std::array<char, 2>, 256> pairs{};
    for (int value = 0; value < 256; ++value)
      pairs[value] = {kUpperHex[value >> 4], kUpperHex[value & 0xF]};
    return pairs;
  }();
  void Flush();

  std::string name_;
  std::array<char, kTextBlockSize> block_;
  size_t fill_ = 0;
  bool written_ = false;
  bool failed_ = false;
  int error_ = 0;  // the errno value of the first failure
};

}  // namespace formats
