#include "programmer/SystemImage.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace programmer {

namespace {
// The last image bytes, after the model, balance the sum.
constexpr uint32_t kBalanceAt = 0x1FFF6;
}  // namespace

std::vector<uint8_t> MakeSystemImage(std::string_view model, uint32_t seed) {
  if (model.size() > kModelLength) throw std::invalid_argument("a model text holds at most 15 characters");
  std::vector<uint8_t> image(kSystemImageSize);
  uint32_t state = seed * 2654435761u + 1;
  for (uint8_t& byte : image) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(state >> 16);
  }
  std::copy(kFormatTag.begin(), kFormatTag.end(), image.begin());
  std::copy(kFormatTag.begin(), kFormatTag.end(), image.begin() + kFormatTagAt);
  std::fill_n(image.begin() + kModelAt, kModelLength, 0);
  std::copy(model.begin(), model.end(), image.begin() + kModelAt);
  // One byte brings the low byte of the sum to 0x00; the tags keep the sum above 0.
  image[kBalanceAt] = 0;
  const uint32_t sum = std::accumulate(image.begin(), image.end(), 0u);
  image[kBalanceAt] = static_cast<uint8_t>(0x100 - (sum & 0xFF));
  return image;
}

std::string ImageFormatTag(const std::vector<uint8_t>& image) {
  if (image.size() < kFormatTagAt + kFormatTag.size()) return {};
  return std::string(image.begin() + kFormatTagAt, image.begin() + kFormatTagAt + kFormatTag.size());
}

std::string ImageModel(const std::vector<uint8_t>& image) {
  if (image.size() < kModelAt + kModelLength) return {};
  const auto begin = image.begin() + kModelAt;
  return std::string(begin, std::find(begin, begin + kModelLength, 0));
}

}  // namespace programmer
