#include "buffer/core/FillData.h"

#include <algorithm>
#include <cstring>

#include "buffer/core/BufferOps.h"
#include "buffer/core/Progress.h"
#include "platform/winapi/Clock.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

// The n-th value is a mix (the lowbias32 hash) of the seed's Weyl sequence: it depends on
// the seed and n only, so every progress run computes its own values, and the loop over
// them has no chain from one byte to the next.
std::uint8_t RandomByte(std::uint32_t seed, std::uint32_t n) {
  std::uint32_t x = seed + (n + 1) * 0x9E3779B9u;
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return static_cast<std::uint8_t>(x);
}

// The sequential fills repeat with these periods (a word's byte pair keeps its parity).
constexpr std::int64_t kBytePeriod = 0x100;
constexpr std::int64_t kWordPeriod = 0x10000;

// [from, to) after its first `period` bytes are written: copies of what is written already,
// doubling up to one period at a time, so the source stays in cache.
void RepeatFirstPeriod(std::uint8_t* bytes, std::int64_t from, std::int64_t to,
                       std::int64_t period) {
  for (std::int64_t a = from + period; a < to;) {
    const std::int64_t count = std::min({a - from, to - a, std::max(period, kWordPeriod)});
    std::memcpy(bytes + a, bytes + from, static_cast<std::size_t>(count));
    a += count;
  }
}

// Writes the bytes [from, to) of a fill that began at `start`.
void FillRun(std::uint8_t* bytes, std::int64_t start, std::int64_t from, std::int64_t to,
             FillKind kind, std::uint32_t seed) {
  switch (kind) {
    case FillKind::Random:
      for (std::int64_t a = from; a < to; ++a) {
        bytes[a] = RandomByte(seed, static_cast<std::uint32_t>(a - start));
      }
      break;
    case FillKind::SequentialByte: {
      const std::int64_t first = std::min(to, from + kBytePeriod);
      for (std::int64_t a = from; a < first; ++a) bytes[a] = static_cast<std::uint8_t>(a);
      RepeatFirstPeriod(bytes, from, to, kBytePeriod);
      break;
    }
    case FillKind::SequentialWord: {
      const std::int64_t first = std::min(to, from + kWordPeriod);
      std::int64_t a = from;
      // A run that begins on a word's second byte finishes that word first.
      if ((a - start) % 2 == 1) {
        bytes[a] = static_cast<std::uint8_t>(a - 1);
        ++a;
      }
      for (; a + 1 < first; a += 2) {
        bytes[a] = static_cast<std::uint8_t>(a >> 8);
        bytes[a + 1] = static_cast<std::uint8_t>(a);
      }
      if (a < first) bytes[a] = static_cast<std::uint8_t>(a >> 8);
      // Past the first period every byte repeats the one a period before; a lone last
      // byte of the fill lands on a word's first byte, as the loop writes it.
      RepeatFirstPeriod(bytes, from, to, kWordPeriod);
      break;
    }
  }
}

}  // namespace

void FillPattern(DumpEditCore& form, std::int32_t start, std::int32_t end, FillKind kind) {
  if (start >= end || start < 0 || end >= form.buffer().BufSize()) return;
  ProgressSteps steps(std::int64_t{end} - start);
  const auto seed = static_cast<std::uint32_t>(winapi::CurrentClock().Seconds());
  {
    BufferLock lock(form.buffer());
    steps.Run(start, end, [&](std::int64_t from, std::int64_t to) {
      FillRun(lock.data(), start, from, to, kind, seed);
    });
  }
  steps.Finish();
}

void FillFromDialog(DumpEditCore& form) {
  TIniFile ini(SettingsPath());
  std::int32_t start = ini.ReadInteger(kFillDataSection, "StartAdd", 0);
  std::int32_t end = ini.ReadInteger(kFillDataSection, "EndAdd", 0);
  if (end < 1) return;
  const std::int32_t select = ini.ReadInteger(kFillDataSection, "Select", 0);
  const std::int32_t userData = ini.ReadInteger(kFillDataSection, "UserData", 0);
  const std::int32_t userCheck = ini.ReadInteger(kFillDataSection, "UserCheck", 0);
  start = std::max(start, 0);
  end = std::min(end, form.buffer().BufSize() - 1);

  ProgressShown shown;
  if (userCheck != 0) {
    FillRange(form, start, end, static_cast<std::uint8_t>(userData));
  } else if (select == 0 || select == 1) {
    FillRange(form, start, end, select == 0 ? 0xFF : 0x00);
  } else if (select >= 2 && select <= 4) {
    FillPattern(form, start, end, FillKind(select - 2));
  }
  form.grids().RefreshGrids();
}

}  // namespace buffer
