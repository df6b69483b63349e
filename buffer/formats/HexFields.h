#pragma once
// Hex digits, bytes and numbers read from a TextSource, keeping the two running sums the
// formats' checksums are made of: the sum of the bytes read (Intel Hex, Motorola S) and the
// sum of the digit values read (Tektronix). A field that does not read stops at the first
// character that is no hex digit (or at the end of the text) and leaves the position there,
// so the caller can say where the file is at fault.
#include <array>
#include <cstdint>

#include "buffer/formats/TextSource.h"

namespace formats {

// 0..15 for '0'..'9', 'A'..'F', 'a'..'f'; -1 for every other byte.
inline constexpr std::array<int8_t, 256> kHexDigitValues = [] {
  std::array<int8_t, 256> table{};
  for (auto& value : table) value = -1;
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<int8_t>(c - 'a' + 10);
  return table;
}();

class HexFieldReader {
 public:
  static constexpr int kBad = -1;

  explicit HexFieldReader(TextSource& source) : source_(source) {}

  TextSource& Source() { return source_; }

  // One digit's value, or kBad.
  int Nibble() {
    int c = source_.Peek();
    if (c == TextSource::kEnd) return kBad;
    int value = kHexDigitValues[static_cast<uint8_t>(c)];
    if (value < 0) return kBad;
    source_.Skip(1);
    nibbleSum_ += static_cast<uint32_t>(value);
    return value;
  }

  // Two digits as a byte, or kBad.
  int Byte() {
    int high = Nibble();
    if (high < 0) return kBad;
    int low = Nibble();
    if (low < 0) return kBad;
    int value = high << 4 | low;
    byteSum_ += static_cast<uint32_t>(value);
    return value;
  }

  // n bytes into out, both sums kept; false at the first character that does not read
  // (the bytes before it are stored). The common case of a whole run of digits is decoded
  // straight from the text.
  bool Bytes(uint8_t* out, size_t n) {
    if (source_.Remaining() >= 2 * n) {
      const uint8_t* text = source_.Text().data() + source_.Position();
      uint32_t bytes = 0, nibbles = 0;
      size_t k = 0;
      for (; k < n; ++k) {
        const int high = kHexDigitValues[text[2 * k]];
        const int low = kHexDigitValues[text[2 * k + 1]];
        if ((high | low) < 0) break;
        const int value = high << 4 | low;
        out[k] = static_cast<uint8_t>(value);
        bytes += static_cast<uint32_t>(value);
        nibbles += static_cast<uint32_t>(high + low);
      }
      byteSum_ += bytes;
      nibbleSum_ += nibbles;
      source_.Skip(2 * k);
      if (k == n) return true;
      out += k;
      n -= k;
    }
    for (size_t k = 0; k < n; ++k) {
      const int value = Byte();
      if (value < 0) return false;
      out[k] = static_cast<uint8_t>(value);
    }
    return true;
  }

  // `digits` digits (at most 8) as one number; false when one does not read. The bytes
  // of the number count in the byte sum, high byte first.
  bool Number(int digits, uint32_t& value) {
    uint32_t result = 0;
    for (int i = 0; i < digits; ++i) {
      int digit = Nibble();
      if (digit < 0) return false;
      result = result << 4 | static_cast<uint32_t>(digit);
      if (i % 2 == 1) byteSum_ += result & 0xFF;
    }
    value = result;
    return true;
  }

  uint32_t ByteSum() const { return byteSum_; }
  uint32_t NibbleSum() const { return nibbleSum_; }
  void ResetSums() { byteSum_ = nibbleSum_ = 0; }

 private:
  TextSource& source_;
  uint32_t byteSum_ = 0;
  uint32_t nibbleSum_ = 0;
};

}  // namespace formats
