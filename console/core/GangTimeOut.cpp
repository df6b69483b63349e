#include "console/core/GangTimeOut.h"

#include <algorithm>
#include <limits>

namespace console {

namespace {

constexpr uint32_t kMsPerSecond = 1000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

uint32_t LeadingNumber(std::string_view text) {
  constexpr uint64_t kMost = std::numeric_limits<uint32_t>::max();
  uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    value = std::min(value * 10 + static_cast<uint64_t>(c - '0'), kMost);
  }
  return static_cast<uint32_t>(value);
}

uint32_t JobTimeOutMs(std::string_view text) {
  const uint64_t seconds = std::max<uint32_t>(LeadingNumber(text), 1);
  return static_cast<uint32_t>(std::min<uint64_t>(seconds * kMsPerSecond, std::numeric_limits<uint32_t>::max()));
}

bool TimeOutTextAccepted(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsDigit) && LeadingNumber(text) <= kLargestTimeOutSeconds;
}

TimeOutBar TimeOutBarFor(uint32_t elapsed, uint32_t limit, Rgb colour) {
  const uint32_t step = std::max<uint32_t>(limit / kTimeOutBarMaximum, 1);
  const int progress = static_cast<int>(std::min<uint32_t>(elapsed / step, std::numeric_limits<int>::max()));
  return {progress, GaugeColourFor(progress, colour)};
}

}  // namespace console
