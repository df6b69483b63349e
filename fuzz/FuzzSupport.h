#pragma once
// What every reader fuzz target shares: no boxes (the default host answers them), the
// input as a file image, and a check that a block handed to a merge holds what it claims.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "buffer/formats/FileImage.h"
#include "buffer/formats/LoadSource.h"

namespace fuzz {

inline formats::FileImage Image(const uint8_t* data, size_t size) {
  return formats::MakeFileImage("fuzz.bin", std::span<const uint8_t>(data, size));
}

// A merge copies `length` bytes from the block (a word split one more): they must be there.
inline void CheckSource(const formats::LoadedSource& source) {
  if (!source.place) return;
  const size_t needed = static_cast<size_t>(source.length) + (source.stride == 2 ? 1 : 0);
  if (source.length < 0 || source.block.size() < needed) std::abort();
}

// The input read from the front: a byte at a time, or a run of bytes (fewer at its end).
class InputBytes {
 public:
  InputBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ == size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::span<const uint8_t> Bytes(size_t count) {
    const size_t taken = count < size_ - at_ ? count : size_ - at_;
    const std::span<const uint8_t> bytes(data_ + at_, taken);
    at_ += taken;
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// A target's findings of its own: a broken promise of the code under test.
inline void Require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace fuzz
