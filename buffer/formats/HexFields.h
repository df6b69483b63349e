#pragma once
// Hex digits, bytes and numbers read from a TextSource, keeping the two running sums the
// formats' checksums are made of: the sum of the bytes read (Intel Hex, Motorola S) and the
// sum of the digit values read (Tektronix). A field that does not read stops at the first
// character that is no hex digit (or at the end of the text) and leaves the position there,
// so the caller can say where the file is at fault.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

// Sixteen characters into eight bytes at once, the common case inside a long data field:
// false, with nothing stored, unless all sixteen are hex digits. The sums gain the eight
// bytes and the sixteen digit values. The characters are worked on side by side in one
// vector (lanes of 8 bits, then pairs of them as lanes of 16); no lane carries into the next.
inline bool DecodeSixteenDigits(const uint8_t* text, uint8_t* out, uint32_t& byteSum,
                                uint32_t& nibbleSum) {
  // A pair of characters read as one 16-bit lane has its first character low.
  if constexpr (std::endian::native != std::endian::little) return false;
  using Chars = int8_t __attribute__((vector_size(16)));
  using Pairs = uint16_t __attribute__((vector_size(16)));
  using Bytes = uint8_t __attribute__((vector_size(8)));
  Chars chars;
  std::memcpy(&chars, text, sizeof chars);
  // All ones where true. Characters from 0x80 up are negative: never a digit.
  const Chars folded = chars | 0x20;  // 'A'..'F' as 'a'..'f'
  const Chars letter = (folded >= 'a') & (folded <= 'f');
  const Chars digit = (chars >= '0') & (chars <= '9');
  const Chars valid = digit | letter;
  uint64_t halves[2];
  std::memcpy(halves, &valid, sizeof halves);
  if ((halves[0] & halves[1]) != ~uint64_t{0}) return false;
  // A digit keeps its low four bits; a letter adds 9 to them ('A' is 0x41).
  const Chars nibbles = (chars & 0x0F) + (letter & 9);
  Pairs pairs;
  std::memcpy(&pairs, &nibbles, sizeof pairs);
  const Bytes bytes = __builtin_convertvector((pairs & 0xFF) << 4 | pairs >> 8, Bytes);
  std::memcpy(out, &bytes, sizeof bytes);
  // The sums, eight bytes of one word and sixteen nibbles of two, each folded by a multiply
  // that adds every lane into the top one.
  uint64_t word;
  std::memcpy(&word, &bytes, sizeof word);
  constexpr uint64_t kLow16 = 0x00FF00FF00FF00FF;
  const uint64_t byteLanes = (word & kLow16) + (word >> 8 & kLow16);  // four sums <= 510
  byteSum += static_cast<uint32_t>((byteLanes * 0x0001000100010001) >> 48);
  std::memcpy(halves, &nibbles, sizeof halves);
  nibbleSum += static_cast<uint32_t>(((halves[0] + halves[1]) * 0x0101010101010101) >> 56);
  return true;
}

// The byte two digits make, or -1 when either is no hex digit; the nibble sum gains the two
// digit values when they read.
inline int DecodeDigitPair(const uint8_t* text, uint32_t& nibbleSum) {
  const int high = kHexDigitValues[text[0]];
  const int low = kHexDigitValues[text[1]];
  if ((high | low) < 0) return -1;
  nibbleSum += static_cast<uint32_t>(high + low);
  return high << 4 | low;
}

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
    const int value = source_.Remaining() >= 2 ? DecodeDigitPair(Here(), nibbleSum_) : kBad;
    if (value < 0) return StopAtBadDigit();
    source_.Skip(2);
    byteSum_ += static_cast<uint32_t>(value);
    return value;
  }

  // n bytes into out, both sums kept; false at the first character that does not read
  // (the bytes before it are stored).
  bool Bytes(uint8_t* out, size_t n) {
    if (DecodeRun(out, n) == n) return true;
    StopAtBadDigit();
    return false;
  }

  // `digits` digits (at most 8) as one number; false when one does not read. The bytes
  // of the number count in the byte sum, high byte first (an odd last digit does not).
  bool Number(int digits, uint32_t& value) {
    uint32_t result = 0;
    for (int i = 0; i + 2 <= digits; i += 2) {
      const int byte = Byte();
      if (byte < 0) return false;
      result = result << 8 | static_cast<uint32_t>(byte);
    }
    if (digits % 2 == 1) {
      const int digit = Nibble();
      if (digit < 0) return false;
      result = result << 4 | static_cast<uint32_t>(digit);
    }
    value = result;
    return true;
  }

  uint32_t ByteSum() const { return byteSum_; }
  uint32_t NibbleSum() const { return nibbleSum_; }
  void ResetSums() { byteSum_ = nibbleSum_ = 0; }

 private:
  const uint8_t* Here() const { return source_.Text().data() + source_.Position(); }

  // Pairs of digits straight from the text into out while they read, at most n; the sums
  // gain them and the source moves past them. How many bytes were decoded.
  size_t DecodeRun(uint8_t* out, size_t n) {
    n = std::min(n, source_.Remaining() / 2);
    const uint8_t* text = Here();
    uint32_t bytes = 0;
    size_t k = 0;
    while (k + 8 <= n && DecodeSixteenDigits(text + 2 * k, out + k, bytes, nibbleSum_)) k += 8;
    for (; k < n; ++k) {
      const int value = DecodeDigitPair(text + 2 * k, nibbleSum_);
      if (value < 0) break;
      out[k] = static_cast<uint8_t>(value);
      bytes += static_cast<uint32_t>(value);
    }
    byteSum_ += bytes;
    source_.Skip(2 * k);
    return k;
  }

  // At a pair that does not read: moves to the digit at fault, the first one counted when it
  // reads. kBad.
  int StopAtBadDigit() {
    if (Nibble() != kBad) Nibble();
    return kBad;
  }

  TextSource& source_;
  uint32_t byteSum_ = 0;
  uint32_t nibbleSum_ = 0;
};

}  // namespace formats
