#include "buffer/formats/FileImage.h"

namespace formats {

FileImage MakeFileImage(std::string name, std::span<const uint8_t> data) {
  FileImage image;
  image.name = std::move(name);
  image.bytes.reserve(data.size() + FileImage::kSpare);
  image.bytes.assign(data.begin(), data.end());
  image.bytes.resize(data.size() + FileImage::kSpare, 0);
  image.size = static_cast<int32_t>(data.size());
  return image;
}

}  // namespace formats
