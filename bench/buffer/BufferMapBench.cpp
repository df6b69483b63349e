// What one map redraw costs on a 16 MiB buffer, at its start and its last position: the
// classification against a plain memcmp of the same 98304 bytes, and the whole form stepping
// its map scroll bar (classify, row addresses, drawing, painting). Uniform blocks are the
// worst case: every byte of the window is read. The times must not grow with the buffer.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <cstring>
#include <vector>

#include "buffer/DumpEdit.h"
#include "buffer/core/BufferMapModel.h"

namespace {

using namespace buffer;

constexpr std::int32_t k16MiB = 0x1000000;
constexpr std::size_t kWindowBytes = kMapRows * kMapRowBytes;

std::int32_t OffsetOf(bool atEnd) {
  return atEnd ? MapOffsetAt(MapScrollRangeOf(k16MiB, kMapColumns, kMapRows).maximum, kMapColumns)
               : 0;
}

void BM_ClassifyMap(benchmark::State& state) {
  const std::vector<std::uint8_t> data(k16MiB + 1024, 0xFF);
  const std::int32_t offset = OffsetOf(state.range(0) != 0);
  for (auto _ : state) {
    auto cells = ClassifyMap(data.data(), k16MiB, offset, kMapRows, kMapColumns);
    benchmark::DoNotOptimize(cells.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kWindowBytes));
}
BENCHMARK(BM_ClassifyMap)->Arg(0)->Arg(1);

// Baseline: compare the whole window with a uniform one.
void BM_MemcmpWindow(benchmark::State& state) {
  const std::vector<std::uint8_t> data(k16MiB + 1024, 0xFF);
  const std::vector<std::uint8_t> ones(kWindowBytes, 0xFF);
  const std::int32_t offset = OffsetOf(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::memcmp(data.data() + offset, ones.data(), kWindowBytes));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kWindowBytes));
}
BENCHMARK(BM_MemcmpWindow)->Arg(0)->Arg(1);

void BM_BufferMapFormStep(benchmark::State& state) {
  const bool atEnd = state.range(0) != 0;
  TMainEdit form;
  form.ResizeBuffer(k16MiB);
  form.ShowForm();
  form.MainEditPage()->setCurrentIndex(3);
  QScrollBar* bar = form.InfoPages().BufMapScrollBar;
  if (atEnd) bar->triggerAction(QAbstractSlider::SliderToMaximum);
  QApplication::processEvents();
  // One row away from the end of the bar and back.
  int step = 0;
  for (auto _ : state) {
    const bool down = (step++ % 2 == 0) != atEnd;
    bar->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                            : QAbstractSlider::SliderSingleStepSub);
    QApplication::processEvents();
  }
  state.counters["offset"] = form.Fields().MapOffset;
}
BENCHMARK(BM_BufferMapFormStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
