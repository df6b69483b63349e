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

}  // namespace fuzz
