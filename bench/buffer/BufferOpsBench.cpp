// Checksum, fills, swap, block copy, move and mask and the data search over 16 MiB against
// memset, memcpy, memmove and memmem of the same 16 MiB, in the same run. The operations step
// their progress per chunk (about a hundred steps a pass), never by a test at each byte;
// "steps" counts the bar's steps per pass. Goals: checksum, constant fill, swap, copy, move
// and forward search within 2x of their baseline; pattern fills and mask within 4x; random
// fill under 40 ms; backward search within 5x of memmem, also on a buffer full of the
// pattern's first byte.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "buffer/core/BlockOps.h"
#include "buffer/core/BufferOps.h"
#include "buffer/core/Checksum.h"
#include "buffer/core/DataSearch.h"
#include "buffer/core/DumpEditCore.h"
#include "buffer/core/FillData.h"
#include "buffer/core/Progress.h"

namespace {

using namespace buffer;

constexpr std::uint32_t k16MiB = 0x1000000;

// Counts the bar's steps; installed for one benchmark.
class CountingProgress : public ProgressSink {
 public:
  CountingProgress() : previous_(SetProgress(this)) {}
  ~CountingProgress() override { SetProgress(previous_); }
  void SetCaption(const std::string&) override {}
  void Show() override {}
  void SetPosition(int) override {}
  void StepIt() override { ++steps; }
  void Finish() override {}
  void Close() override {}
  int Position() const override { return 0; }

  std::int64_t steps = 0;

 private:
  ProgressSink* previous_;
};

// A console form whose buffer holds 16 MiB of varied bytes.
std::unique_ptr<DumpEditCore> SixteenMegabyteForm() {
  auto form = std::make_unique<DumpEditCore>(ConsoleProfile());
  form->Create();
  form->ResizeBuffer(k16MiB);
  BufferLock lock(form->buffer());
  for (std::uint32_t a = 0; a < k16MiB; ++a) lock[a] = static_cast<std::uint8_t>(a * 7 + a / 251);
  return form;
}

void Report(benchmark::State& state, const CountingProgress& progress) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * k16MiB);
  state.counters["steps"] =
      static_cast<double>(progress.steps) / static_cast<double>(state.iterations());
}

void BM_BaselineMemset(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(k16MiB);
  CountingProgress progress;
  std::uint8_t value = 0;
  for (auto _ : state) {
    std::memset(bytes.data(), ++value, bytes.size());
    benchmark::ClobberMemory();
  }
  Report(state, progress);
}
BENCHMARK(BM_BaselineMemset)->Unit(benchmark::kMicrosecond);

void BM_BaselineMemcpy(benchmark::State& state) {
  std::vector<std::uint8_t> from(k16MiB, 1);
  std::vector<std::uint8_t> to(k16MiB);
  CountingProgress progress;
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size());
    benchmark::ClobberMemory();
  }
  Report(state, progress);
}
BENCHMARK(BM_BaselineMemcpy)->Unit(benchmark::kMicrosecond);

void BM_ComputeChecksum(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  CountingProgress progress;
  for (auto _ : state) {
    ComputeChecksum(*form, 0, k16MiB - 1, kChecksumStoreOnly);
    benchmark::DoNotOptimize(form->fields().LastSum);
  }
  Report(state, progress);
}
BENCHMARK(BM_ComputeChecksum)->Unit(benchmark::kMicrosecond);

void BM_FillRange(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  CountingProgress progress;
  std::uint8_t value = 0;
  for (auto _ : state) {
    FillRange(*form, 0, k16MiB - 1, ++value);
    benchmark::ClobberMemory();
  }
  Report(state, progress);
}
BENCHMARK(BM_FillRange)->Unit(benchmark::kMicrosecond);

void BM_SwapBuffer(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  CountingProgress progress;
  const int unit = static_cast<int>(state.range(0));
  for (auto _ : state) {
    SwapBuffer(*form, unit);
    benchmark::ClobberMemory();
  }
  Report(state, progress);
}
BENCHMARK(BM_SwapBuffer)->Arg(1)->Arg(2)->Arg(4)->ArgName("unit")->Unit(benchmark::kMicrosecond);

// Copy and move shift 15 MiB up by 1 MiB, overlapping.
constexpr std::uint32_t kShift = 0x100000;
constexpr std::uint32_t kShifted = k16MiB - kShift;

void BM_BaselineMemmove(benchmark::State& state) {
  std::vector<std::uint8_t> bytes(k16MiB, 1);
  for (auto _ : state) {
    std::memmove(bytes.data() + kShift, bytes.data(), kShifted);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kShifted);
}
BENCHMARK(BM_BaselineMemmove)->Unit(benchmark::kMicrosecond);

void BM_BlockCopyMove(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  const bool move = state.range(0) == 1;
  for (auto _ : state) {
    if (move) BlockMove(form->buffer(), 0, kShifted - 1, kShift);
    else BlockCopy(form->buffer(), 0, kShifted - 1, kShift);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kShifted);
}
BENCHMARK(BM_BlockCopyMove)->Arg(0)->Arg(1)->ArgName("move")->Unit(benchmark::kMicrosecond);

void BM_FillPattern(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  CountingProgress progress;
  const auto kind = static_cast<FillKind>(state.range(0));
  for (auto _ : state) {
    FillPattern(*form, 0, k16MiB - 1, kind);
    benchmark::ClobberMemory();
  }
  Report(state, progress);
}
BENCHMARK(BM_FillPattern)
    ->Arg(static_cast<int>(FillKind::Random))
    ->Arg(static_cast<int>(FillKind::SequentialByte))
    ->Arg(static_cast<int>(FillKind::SequentialWord))
    ->ArgName("kind")
    ->Unit(benchmark::kMicrosecond);

void BM_BlockMask(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  for (auto _ : state) {
    BlockMask(form->buffer(), 1, k16MiB - 1, 0xFFFE);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * k16MiB);
}
BENCHMARK(BM_BlockMask)->Unit(benchmark::kMicrosecond);

// The worst case of a search: every byte is the pattern's first, and nothing matches. The
// argument is the pattern's length (its last byte differs).
std::vector<std::uint8_t> WorstPattern(std::int64_t length) {
  std::vector<std::uint8_t> pattern(static_cast<std::size_t>(length), 0x12);
  pattern.back() = 0x34;
  return pattern;
}

void BM_BaselineMemmem(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes(k16MiB, 0x12);
  const auto pattern = WorstPattern(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(bytes.data(), bytes.size(), pattern.data(), pattern.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * k16MiB);
}
BENCHMARK(BM_BaselineMemmem)->Arg(2)->Arg(10)->ArgName("length")->Unit(benchmark::kMicrosecond);

void BM_Search(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes(k16MiB, 0x12);
  const auto pattern = WorstPattern(state.range(0));
  const bool backward = state.range(1) == 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(backward ? FindBackward(bytes.data(), k16MiB, pattern, k16MiB)
                                      : FindForward(bytes.data(), k16MiB, pattern, -1));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * k16MiB);
}
BENCHMARK(BM_Search)
    ->ArgsProduct({{2, 10}, {0, 1}})
    ->ArgNames({"length", "backward"})
    ->Unit(benchmark::kMicrosecond);

// Varied bytes: matches of the first byte now and then, the pattern nowhere.
void BM_SearchVaried(benchmark::State& state) {
  auto form = SixteenMegabyteForm();
  const std::vector<std::uint8_t> pattern{0xAB, 0xCD, 0xEF, 0x01};
  const bool backward = state.range(0) == 1;
  BufferLock lock(form->buffer());
  for (auto _ : state) {
    benchmark::DoNotOptimize(backward ? FindBackward(lock.data(), k16MiB, pattern, k16MiB)
                                      : FindForward(lock.data(), k16MiB, pattern, -1));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * k16MiB);
}
BENCHMARK(BM_SearchVaried)->Arg(0)->Arg(1)->ArgName("backward")->Unit(benchmark::kMicrosecond);

}  // namespace
