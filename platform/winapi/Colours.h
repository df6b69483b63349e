#pragma once
// The framework's colours: red, green and blue parts, and the named colours the forms use.
#include <cstdint>

namespace winapi {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kGreen{0, 128, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kTeal{0, 128, 128};
inline constexpr Rgb kLime{0, 255, 0};
inline constexpr Rgb kYellow{255, 255, 0};

}  // namespace winapi
