#include "buffer/core/BufferOps.h"

#include <bit>
#include <cstring>
#include <numeric>

#include "buffer/core/Progress.h"

namespace buffer {
namespace {

// Swaps the two halves of each of `pairs` pairs of Word-sized groups: one rotate per pair.
template <class Pair>
void SwapHalves(std::uint8_t* bytes, std::int64_t pairs) {
  constexpr int kHalfBits = sizeof(Pair) * 4;
  for (std::int64_t k = 0; k < pairs; ++k) {
    Pair pair;
    std::memcpy(&pair, bytes + k * sizeof(Pair), sizeof(Pair));
    pair = std::rotl(pair, kHalfBits);
    std::memcpy(bytes + k * sizeof(Pair), &pair, sizeof(Pair));
  }
}

void SwapPairs(std::uint8_t* bytes, int unit, std::int64_t pairs) {
  switch (unit) {
    case 1: SwapHalves<std::uint16_t>(bytes, pairs); break;
    case 2: SwapHalves<std::uint32_t>(bytes, pairs); break;
    case 4: SwapHalves<std::uint64_t>(bytes, pairs); break;
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
