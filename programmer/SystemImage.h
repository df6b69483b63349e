#pragma once
// The programmer's system image as it sits in its flash and as the update files carry it:
// 0x20000 bytes with the format identifier "QZ7100" at 0 and again at 0x1FFE0, the model
// text at 0x1FFE7, and a byte sum that is a nonzero multiple of 0x100.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace programmer {

inline constexpr uint32_t kSystemImageSize = 0x20000;
inline constexpr uint32_t kFormatTagAt = 0x1FFE0;
inline constexpr uint32_t kModelAt = 0x1FFE7;
inline constexpr uint32_t kModelLength = 15;
inline constexpr std::string_view kFormatTag = "QZ7100";

// An image of the given model (at most 15 characters) whose other bytes follow from `seed`.
std::vector<uint8_t> MakeSystemImage(std::string_view model, uint32_t seed);

// The tags as an image holds them: the six characters at 0x1FFE0, the model up to its first
// 0x00 within its 15 bytes.
std::string ImageFormatTag(const std::vector<uint8_t>& image);
std::string ImageModel(const std::vector<uint8_t>& image);

}  // namespace programmer
