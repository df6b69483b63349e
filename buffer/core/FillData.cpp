#include "buffer/core/FillData.h"

#include <algorithm>

#include "buffer/core/BufferOps.h"
#include "buffer/core/Progress.h"
#include "platform/winapi/Clock.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

// SplitMix64: the n-th value depends on the seed and n only, so every progress run
// computes its own values without carrying the generator across runs.
constexpr std::uint64_t kGamma = 0x9E3779B97F4A7C15ull;

std::uint8_t RandomByte(std::uint64_t seed, std::uint64_t n) {
  std::uint64_t z = seed + (n + 1) * kGamma;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint8_t>(z ^ (z >> 31));
}

// Writes the bytes [from, to) of a fill that began at `start`.
void FillRun(std::uint8_t* bytes, std::int64_t start, std::int64_t from, std::int64_t to,
             FillKind kind, std::uint64_t seed) {
  switch (kind) {
    case FillKind::Random:
      for (std::int64_t a = from; a < to; ++a) {
        bytes[a] = RandomByte(seed, static_cast<std::uint64_t>(a - start));
      }
      break;
    case FillKind::SequentialByte:
      for (std::int64_t a = from; a < to; ++a) bytes[a] = static_cast<std::uint8_t>(a);
      break;
    case FillKind::SequentialWord: {
      std::int64_t a = from;
      // A run that begins on a word's second byte finishes that word first.
      if ((a - start) % 2 == 1 && a < to) {
        bytes[a] = static_cast<std::uint8_t>(a - 1);
        ++a;
      }
      for (; a + 1 < to; a += 2) {
        bytes[a] = static_cast<std::uint8_t>(a >> 8);
        bytes[a + 1] = static_cast<std::uint8_t>(a);
      }
      if (a < to) bytes[a] = static_cast<std::uint8_t>(a >> 8);
      break;
    }
  }
}

}  // namespace

void FillPattern(DumpEditCore& form, std::int32_t start, std::int32_t end, FillKind kind) {
  if (start >= end || start < 0 || end >= form.buffer().BufSize()) return;
  ProgressSteps steps(std::int64_t{end} - start);
  const auto seed = static_cast<std::uint64_t>(winapi::CurrentClock().Seconds());
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
