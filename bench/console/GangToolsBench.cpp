// GANG TOOLS' own work: Start on a 1 MiB file (the [LoadDlg] keys, the load road with its
// detectors, the information page, the row and the key; the progress window, with its fixed
// pause, is the silent one here), and Select All over a folder of 10,000 files (goal: under
// 100 ms).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "buffer/DumpEdit.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "console/GangTool.h"
#include "console/Qz_M_Unit.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace {

class Folder {
 public:
  Folder() : path_(std::filesystem::temp_directory_path() / ("qz_gang_bench_" + std::to_string(std::random_device()()))) {
    std::filesystem::create_directories(path_);
  }
  ~Folder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::string Path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

struct Console {
  Console() {
    buffer::SetSettingsPath(folder.File("History.ini"));
    buffer::SetMainEditForm(&edit);
    QZ_M_Form = &form;
    form.ConnectTimer->stop();
    tools.TestTimer->stop();
  }
  ~Console() {
    QZ_M_Form = nullptr;
    buffer::SetMainEditForm(nullptr);
  }

  Folder folder;
  winapi::ScriptedMessageBoxes boxes;
  TQZ_M_Form form;
  buffer::TMainEdit edit;
  TGangTools tools;
};

void BM_StartOneMiB(benchmark::State& state) {
  Console console;
  {
    std::ofstream file(console.folder.File("image.bin"), std::ios::binary);
    std::mt19937 random(7);
    for (int i = 0; i < 0x100000; ++i) file.put(static_cast<char>(random()));
  }
  console.tools.SetDirectory(console.folder.Path());
  for (auto _ : state) {
    state.PauseTiming();
    console.tools.BitBtn4Click();
    state.ResumeTiming();
    console.tools.GangToolStartButtonClick();
    state.PauseTiming();
    console.tools.SetJobResult(1);
    state.ResumeTiming();
  }
  if (console.tools.ResultRows().size() != static_cast<size_t>(state.iterations()))
    state.SkipWithError("a Start did not start its job");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 0x100000);
}
BENCHMARK(BM_StartOneMiB)->Unit(benchmark::kMillisecond);

void BM_SelectAllTenThousand(benchmark::State& state) {
  Console console;
  for (int i = 0; i < 10000; ++i) std::ofstream(console.folder.File("job" + std::to_string(i) + ".bin")) << 'x';
  console.tools.SetDirectory(console.folder.Path());
  for (auto _ : state) {
    state.PauseTiming();
    console.tools.GangToolDelAllButtonClick();
    state.ResumeTiming();
    console.tools.BitBtn4Click();
  }
  if (console.tools.GangToolListBox1->count() != 10000) state.SkipWithError("not every file was queued");
}
BENCHMARK(BM_SelectAllTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace
