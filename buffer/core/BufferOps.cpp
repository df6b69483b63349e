#include "buffer/core/BufferOps.h"

#include <bit>
#include <cstring>
#include <numeric>

#include "buffer/core/Progress.h"

namespace buffer {
namespace {

// One 8-byte word with each pair of Unit-byte groups in it exchanged.
template <int Unit>
std::uint64_t SwapPairsInWord(std::uint64_t word) {
  if constexpr (Unit == 1) {
    constexpr std::uint64_t kLow = 0x00FF00FF00FF00FFull;
    return (word & kLow) << 8 | (word >> 8 & kLow);
  } else if constexpr (Unit == 2) {
    constexpr std::uint64_t kLow = 0x0000FFFF0000FFFFull;
    return (word & kLow) << 16 | (word >> 16 & kLow);
  } else {
    return std::rotl(word, 32);
  }
}

// Exchanges the groups of `pairs` pairs from `bytes` on, a word of whole pairs at a time,
// the pairs left over one by one.
template <int Unit>
void SwapPairs(std::uint8_t* bytes, std::int64_t pairs) {
  constexpr std::int64_t kPairBytes = 2 * Unit;
  const std::int64_t words = pairs * kPairBytes / 8;
  for (std::int64_t w = 0; w < words; ++w) {
    std::uint64_t word;
    std::memcpy(&word, bytes + 8 * w, sizeof word);
    word = SwapPairsInWord<Unit>(word);
    std::memcpy(bytes + 8 * w, &word, sizeof word);
  }
  for (std::int64_t p = words * 8; p < pairs * kPairBytes; p += kPairBytes) {
    std::uint8_t group[Unit];
    std::memcpy(group, bytes + p, Unit);
    std::memmove(bytes + p, bytes + p + Unit, Unit);
    std::memcpy(bytes + p + Unit, group, Unit);
  }
}

void SwapPairs(std::uint8_t* bytes, int unit, std::int64_t pairs) {
  switch (unit) {
    case 1: SwapPairs<1>(bytes, pairs); break;
    case 2: SwapPairs<2>(bytes, pairs); break;
    case 4: SwapPairs<4>(bytes, pairs); break;
  }
}

}  // namespace

void FillRange(DumpEditCore& form, std::int32_t start, std::int32_t end, std::uint8_t value) {
  ProgressSteps steps(std::int64_t{end} - start);
  if (start >= end || start < 0 || end >= form.buffer().BufSize()) return;
  {
    BufferLock lock(form.buffer());
    steps.Run(start, end, [&](std::int64_t from, std::int64_t to) {
      std::memset(lock.data() + from, value, static_cast<std::size_t>(to - from));
    });
  }
  steps.Finish();
}

void SwapBuffer(DumpEditCore& form, int unit) {
  if (unit != 1 && unit != 2 && unit != 4) return;
  {
    BufferLock lock(form.buffer());
    ProgressShown shown("Processing...");
    ProgressSteps steps(lock.size());
    const std::int64_t pairBytes = 2 * unit;
    const std::int64_t pairs = lock.size() / pairBytes;
    // The bar steps at each pair whose address is a multiple of the step size: every
    // stepInterval-th pair.
    const std::int64_t stepInterval =
        std::lcm<std::int64_t>(steps.StepSize(), pairBytes) / pairBytes;
    if (lock.data()) {
      RunInSteps(
          0, pairs - 1, stepInterval,
          [&](std::int64_t from, std::int64_t to) {
            SwapPairs(lock.data() + from * pairBytes, unit, to - from);
          },
          [&] { steps.Sink().StepIt(); });
    }
    steps.Finish();
  }
  form.grids().RefreshGrids();
}

}  // namespace buffer
