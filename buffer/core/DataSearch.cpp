#include "buffer/core/DataSearch.h"

#include <algorithm>
#include <cstring>

#include "buffer/core/HexText.h"

namespace buffer {
namespace {

// Backward searches scan windows of this many candidates from the end, each with memmem.
constexpr std::int64_t kBackwardWindow = 4096;

using Finder = std::optional<std::int64_t> (*)(const std::uint8_t*, std::int64_t,
                                               std::span<const std::uint8_t>, std::int64_t);

bool SearchAndShow(DumpEditCore& form, std::int64_t cursor, Finder find) {
  const std::vector<std::uint8_t> pattern = PatternBytes(form.fields().SearchPattern);
  std::optional<std::int64_t> match;
  {
    BufferLock lock(form.buffer());
    if (lock.data()) match = find(lock.data(), lock.size(), pattern, cursor);
  }
  if (!match) {
    ShowMessage(messages::kSearchNotFound);
    return false;
  }
  form.grids().ShowAddressInRow(
      *match, MatchRow(*match, form.view().MaxRow(), form.profile().rowsShown));
  return true;
}

}  // namespace

std::vector<std::uint8_t> PatternBytes(std::string_view hexText) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t k = 0; k < hexText.size(); k += 2) {
    bytes.push_back(static_cast<std::uint8_t>(ParseHexDigits(hexText.substr(k, 2))));
  }
  return bytes;
}

std::optional<std::int64_t> FindForward(const std::uint8_t* bytes, std::int64_t size,
                                        std::span<const std::uint8_t> pattern,
                                        std::int64_t cursor) {
  const auto n = static_cast<std::int64_t>(pattern.size());
  const std::int64_t from = std::max<std::int64_t>(cursor + 1, 0);
  if (n == 0 || from + n > size) return std::nullopt;
  const void* found =
      memmem(bytes + from, static_cast<std::size_t>(size - from), pattern.data(), pattern.size());
  if (!found) return std::nullopt;
  return static_cast<const std::uint8_t*>(found) - bytes;
}

std::optional<std::int64_t> FindBackward(const std::uint8_t* bytes, std::int64_t size,
                                         std::span<const std::uint8_t> pattern,
                                         std::int64_t cursor) {
  const auto n = static_cast<std::int64_t>(pattern.size());
  if (n == 0) return std::nullopt;
  const std::int64_t lastCandidate = std::min(cursor - 1, size - n);
  for (std::int64_t high = lastCandidate; high >= 0; high -= kBackwardWindow) {
    const std::int64_t low = std::max<std::int64_t>(high - kBackwardWindow + 1, 0);
    // The window's candidates are low..high; the last one found in it is the answer.
    const std::uint8_t* end = bytes + high + n;
    std::optional<std::int64_t> last;
    for (const std::uint8_t* from = bytes + low; from + n <= end;) {
      const void* found =
          memmem(from, static_cast<std::size_t>(end - from), pattern.data(), pattern.size());
      if (!found) break;
      const auto* at = static_cast<const std::uint8_t*>(found);
      last = at - bytes;
      from = at + 1;
    }
    if (last) return last;
  }
  return std::nullopt;
}

int MatchRow(std::int64_t address, std::int32_t maxRow, int rowsShown) {
  const std::int64_t row = address / kRowBytes;
  std::int64_t first = std::min<std::int64_t>(row, std::max(maxRow, 0));
  if (row - first >= rowsShown) first = row - rowsShown + 1;
  return static_cast<int>(row - first + 1);
}

bool SearchForward(DumpEditCore& form, std::int64_t cursor) {
  return SearchAndShow(form, cursor, FindForward);
}

bool SearchBackward(DumpEditCore& form, std::int64_t cursor) {
  return SearchAndShow(form, cursor, FindBackward);
}

}  // namespace buffer
