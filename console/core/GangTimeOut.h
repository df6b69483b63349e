#pragma once
// The time-out of a GANG TOOLS job: the limit the user types in seconds, the check of what is
// typed, and the bar that shows how much of the limit a job has used.
#include <cstdint>
#include <string_view>

#include "console/core/ConnectionDisplay.h"

namespace console {

inline constexpr const char* kDefaultTimeOutText = "300";
inline constexpr uint32_t kLargestTimeOutSeconds = 10000;
inline constexpr int kTimeOutBarMaximum = 200;

// The leading decimal digits of the text (none: 0), held at UINT32_MAX instead of wrapping.
uint32_t LeadingNumber(std::string_view text);

// The limit in milliseconds: the text's leading number, 0 counting as 1, times 1000 (held at
// UINT32_MAX).
uint32_t JobTimeOutMs(std::string_view text);

// What the time-out edit accepts: digits only, at most 10000 (an empty text too). Anything
// else gets the "Input error !" box and the default text.
bool TimeOutTextAccepted(std::string_view text);

// The bar for `elapsed` of `limit` milliseconds: one step per limit / 200 ms, its colour as
// the connection gauge's.
struct TimeOutBar {
  int progress = 0;
  Rgb colour = kTeal;
};
TimeOutBar TimeOutBarFor(uint32_t elapsed, uint32_t limit, Rgb colour);

}  // namespace console
