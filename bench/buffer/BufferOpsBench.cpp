// Checksum, fill and swap over 16 MiB against memset and memcpy of the same 16 MiB, in the
// same run. The operations step their progress per chunk (about a hundred steps a pass), so
// they should stay within twice their baseline; "steps" counts the bar's steps per pass.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "buffer/core/BufferOps.h"
#include "buffer/core/Checksum.h"
#include "buffer/core/DumpEditCore.h"
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

}  // namespace
