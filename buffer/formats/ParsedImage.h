#pragma once
// The image a hex reader fills, indexed by the addresses of the file's records. It starts as
// `fillSize` bytes of the fill byte plus spare zero bytes, and grows with zero bytes when
// data arrive beyond it, up to a limit a little above the largest buffer the system makes
// (16 MiB plus the Motorola read's 0x20000 and the slack). Addresses are 64-bit, so a base
// plus an offset never wraps; a write that would reach past the limit is refused whole.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace formats {

class ParsedImage {
 public:
  static constexpr uint64_t kLimit = 0x1020000 + 0x400;
  static constexpr size_t kSpare = 1024;

  // Throws std::bad_alloc when the memory cannot be had.
  ParsedImage(int32_t fillSize, uint8_t fill);

  // The largest end this image may reach: kLimit, or its first size when that is larger.
  uint64_t Limit() const { return limit_; }
  uint64_t Size() const { return bytes_.size(); }

  // Room to grow to `end` without moving the bytes (at most the limit); the size stays.
  void ExpectEnd(uint64_t end);
  // Makes [0, end) exist; false, with nothing changed, when end is beyond the limit.
  bool Reserve(uint64_t end) { return end <= bytes_.size() || Grow(end); }
  // Room for n bytes at address, or nullptr when they would reach beyond the limit.
  uint8_t* At(uint64_t address, size_t n) {
    uint64_t end = address + n;
    if (end < address || !Reserve(end)) return nullptr;
    return bytes_.data() + address;
  }

  const uint8_t* Data() const { return bytes_.data(); }
  // The bytes, handed over; the image is empty afterwards.
  std::vector<uint8_t> Release() { return std::move(bytes_); }

 private:
  bool Grow(uint64_t end);

  std::vector<uint8_t> bytes_;
  uint64_t limit_;
};

}  // namespace formats
