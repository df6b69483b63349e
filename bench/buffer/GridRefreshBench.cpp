// How long a grid refresh takes on a large buffer, at its start and at its end: the grid
// editor's own texts, and the whole form with its six widgets (scroll, sync the grids, paint).
// Every iteration moves the view by one row or by a page, so every cell's text changes. A row
// moves the grids' pixels and draws the row that came into view; a page draws every cell, as
// every scroll did before. The times must not grow with the buffer. The form runs offscreen
// unless QT_QPA_PLATFORM names a platform (xcb, under Xvfb, shows what a real X server costs).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include "buffer/DumpEdit.h"
#include "buffer/DumpGrid.h"
#include "buffer/core/DumpEditCore.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace {

using namespace buffer;

constexpr std::uint32_t k16MiB = 0x1000000;

void FillWithAddresses(DataBuffer& data) {
  BufferLock lock(data);
  for (std::int32_t a = 0; a < lock.size(); ++a) lock[static_cast<std::size_t>(a)] = (a * 7 + a / 16) & 0xFF;
}

// The first of the two rows the view alternates between: the start, or the last screens.
std::int64_t FirstRow(const DumpView& view, bool atEnd) { return atEnd ? view.MaxRow() - 1 : 0; }

void BM_GridEditorRefresh(benchmark::State& state) {
  const bool atEnd = state.range(1) != 0;
  DumpEditCore core(ConsoleProfile());
  core.Create();
  core.ResizeBuffer(static_cast<std::uint32_t>(state.range(0)));
  FillWithAddresses(core.buffer());
  const std::int64_t row = FirstRow(core.view(), atEnd);
  std::int64_t step = 0;
  for (auto _ : state) {
    core.view().MoveToRow(row + (step++ & 1));
    core.grids().RefreshGrids();
    benchmark::DoNotOptimize(core.grids().Text(GridId::Hex8, 15, 16).data());
  }
}
BENCHMARK(BM_GridEditorRefresh)
    ->ArgsProduct({{0x100000, k16MiB}, {0, 1}})
    ->ArgNames({"size", "end"})
    ->Unit(benchmark::kMicrosecond);

void BM_DumpEditFormScroll(benchmark::State& state) {
  const bool atEnd = state.range(1) != 0;
  const bool byPage = state.range(2) != 1;
  TMainEdit form;
  form.ResizeBuffer(static_cast<std::uint32_t>(state.range(0)));
  FillWithAddresses(form.Buffer());
  form.ShowForm();
  if (atEnd) {
    // FFFFFF typed into the address cells jumps to the last screen.
    for (int digit = 0; digit < 6; ++digit) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier, "F");
      QApplication::sendEvent(form.Grid(GridId::Address8), &key);
    }
  }
  QApplication::processEvents();
  QScrollBar* bar = form.ScrollBar(ScrollBarId::Bits8);
  // Back and forth: every cell of every grid changes each time.
  using Step = QAbstractSlider::SliderAction;
  const Step toEnd = byPage ? Step::SliderPageStepAdd : Step::SliderSingleStepAdd;
  const Step toStart = byPage ? Step::SliderPageStepSub : Step::SliderSingleStepSub;
  const Step away = atEnd ? toStart : toEnd;
  const Step back = atEnd ? toEnd : toStart;
  bool out = false;
  for (auto _ : state) {
    bar->triggerAction((out = !out) ? away : back);
    QApplication::processEvents();
  }
  std::int32_t page = 0;
  form.QueryPageNo(page);
  state.counters["page"] = page;
}
BENCHMARK(BM_DumpEditFormScroll)
    ->ArgsProduct({{0x100000, k16MiB}, {0, 1}, {1, 16}})
    ->ArgNames({"size", "end", "rows"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

// The form needs a QApplication, which benchmark_main does not make.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  winapi::ScriptedMessageBoxes boxes;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
