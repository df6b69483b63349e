#include "buffer/core/BlockOps.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "buffer/core/HexText.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

bool Inside(std::int64_t first, std::int64_t last, std::int32_t bufSize) {
  return first >= 0 && first <= last && last < bufSize;
}

// The source [start..end] and its copy at destination both lie in the buffer.
bool BothInside(const BufferLock& lock, std::int32_t start, std::int32_t end,
                std::int32_t destination) {
  return lock.data() && Inside(start, end, lock.size()) &&
         Inside(destination, std::int64_t{destination} + end - start, lock.size());
}

void CopyBytes(const BufferLock& lock, std::int32_t start, std::int32_t end,
               std::int32_t destination) {
  std::memmove(lock.data() + destination, lock.data() + start,
               static_cast<std::size_t>(std::int64_t{end} - start + 1));
}

}  // namespace

bool BlockCopy(DataBuffer& buffer, std::int32_t start, std::int32_t end, std::int32_t destination) {
  BufferLock lock(buffer);
  if (!BothInside(lock, start, end, destination)) return false;
  if (destination != start && start != end) CopyBytes(lock, start, end, destination);
  return true;
}

bool BlockMove(DataBuffer& buffer, std::int32_t start, std::int32_t end, std::int32_t destination) {
  BufferLock lock(buffer);
  if (!BothInside(lock, start, end, destination)) return false;
  if (destination == start) return true;
  CopyBytes(lock, start, end, destination);
  const std::int64_t destinationEnd = std::int64_t{destination} + end - start;
  // The source bytes the copy did not overwrite: below the destination, or above its end.
  const std::int64_t clearFrom =
      destination > start ? start : std::max<std::int64_t>(start, destinationEnd + 1);
  const std::int64_t clearTo =
      destination > start ? std::min<std::int64_t>(end, destination - 1) : end;
  if (clearFrom <= clearTo) {
    std::memset(lock.data() + clearFrom, 0, static_cast<std::size_t>(clearTo - clearFrom + 1));
  }
  return true;
}

bool BlockMask(DataBuffer& buffer, std::int32_t start, std::int32_t end, std::uint16_t mask) {
  BufferLock lock(buffer);
  if (!lock.data()) return false;
  const std::int64_t first = std::max(start, 0);
  const std::int64_t last = std::min(end, lock.size() - 1);
  if (first > last) return true;
  const auto high = static_cast<std::uint8_t>(mask >> 8);
  const auto low = static_cast<std::uint8_t>(mask);
  std::uint8_t* bytes = lock.data() + first;
  const std::int64_t count = last - first + 1;
  // Eight bytes at a time: the pattern high, low, high, ... in memory order.
  std::uint8_t pattern[8] = {high, low, high, low, high, low, high, low};
  std::uint64_t word;
  std::memcpy(&word, pattern, sizeof word);
  std::int64_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t value;
    std::memcpy(&value, bytes + i, sizeof value);
    value &= word;
    std::memcpy(bytes + i, &value, sizeof value);
  }
  for (; i < count; ++i) bytes[i] &= i % 2 == 0 ? high : low;
  return true;
}

bool BlockSwap(DataBuffer& buffer, std::int32_t start, std::int32_t end, std::int32_t destination) {
  BufferLock lock(buffer);
  if (!BothInside(lock, start, end, destination)) return false;
  std::uint8_t* bytes = lock.data();
  const std::int64_t offset = std::int64_t{destination} - start;
  if (start == end || offset == 0) return true;
  // One at a time from the start: where the ranges overlap, a byte swapped away is met again.
  for (std::int64_t i = start; i <= end; ++i) std::swap(bytes[i], bytes[i + offset]);
  return true;
}

bool DoBlockAction(DumpEditCore& form) {
  TIniFile ini(SettingsPath());
  const std::int32_t start = ini.ReadInteger(kBlockSection, "StartAdd", 0);
  const std::int32_t end = ini.ReadInteger(kBlockSection, "EndAdd", 0);
  const std::int32_t destination = ini.ReadInteger(kBlockSection, "DistSAdd", 0);
  const std::int32_t action = ini.ReadInteger(kBlockSection, "Action", 0);
  const bool swaps = form.profile().blockDialog == BlockDialogBuild::SwapAndResizeDialog;
  if (end < 1 || (swaps && start == destination)) return false;
  switch (action) {
    case static_cast<int>(BlockAction::Copy):
      BlockCopy(form.buffer(), start, end, destination);
      break;
    case static_cast<int>(BlockAction::Move):
      BlockMove(form.buffer(), start, end, destination);
      break;
    case static_cast<int>(BlockAction::Mask):
      if (swaps) {
        BlockSwap(form.buffer(), start, end, destination);
      } else {
        const std::int32_t mask = ini.ReadInteger(kBlockSection, "MaskData", 0);
        BlockMask(form.buffer(), start, end, static_cast<std::uint16_t>(mask));
      }
      break;
    default:
      break;
  }
  form.grids().RefreshGrids();
  return true;
}

std::int32_t TrackBarSize(int position) { return std::int32_t{0x10000} << position; }

int TrackBarPositionFor(std::int32_t bufSize) {
  for (int p = 0; p < kTrackBarPositions; ++p) {
    if (TrackBarSize(p) >= bufSize) return p;
  }
  return kTrackBarPositions;
}

std::int32_t ResizeTarget(std::string_view newSizeText) {
  const std::uint32_t size = ParseHex(newSizeText);
  return static_cast<std::int32_t>(std::clamp<std::uint32_t>(size, 0x10000, 0x1000000));
}

}  // namespace buffer
