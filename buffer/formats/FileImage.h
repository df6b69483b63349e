#pragma once
// A file's bytes as the load road hands them from reader to reader: the bytes, then 1024
// spare zero bytes (a word split's last word may take its second byte from there), and
// the name of the file they came from, for error messages.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace formats {

struct FileImage {
  static constexpr size_t kSpare = 1024;

  std::string name;
  std::vector<uint8_t> bytes;  // size + kSpare bytes
  int32_t size = 0;

  std::span<const uint8_t> Text() const { return {bytes.data(), static_cast<size_t>(size)}; }
};

// The image of the given bytes under the given name (the spare bytes are added).
FileImage MakeFileImage(std::string name, std::span<const uint8_t> data);

}  // namespace formats
