// The settings writes of one Fill command (the buffer's four keys, the dialog's opening OK,
// its five keys and OK: eleven rewrites) on an 8 KiB History.ini, each under the folder's lock
// and a new file given the old one's owner and mode and renamed over it, beside the same eleven
// rewrites made in place (truncate and write), which a full disk cuts and another program's
// rewrite interleaves with. Goal: within 2.5x of the in-place writes, and well under a
// millisecond per key, so a dialog's accept stays instant.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "buffer/core/DialogSettings.h"
#include "platform/winapi/IniFile.h"

namespace {

namespace fs = std::filesystem;

class ScratchHistory {
 public:
  ScratchHistory() : path_(fs::temp_directory_path() / ("settings_bench_" + std::to_string(::getpid()))) {
    std::ofstream out(path_, std::ios::binary);
    out << "[Names]\r\n";
    for (int k = 0; out.tellp() < 8192; ++k) out << "H" << k << "=/data/file" << k << ".hex\r\n";
    out << "[GangTool]\r\nActive=1\r\n";
  }
  ~ScratchHistory() { fs::remove(path_); }
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

void FillCommandWrites(const std::string& path) {
  buffer::WriteBufferInfo({.BufSize = 0x100000, .FileSize = 0x400, .FileStartAdd = 0, .BufHandle = 1},
                          path);
  buffer::MarkDialogOpened("FillDataDlg", path);
  TIniFile ini(path);
  for (const char* key : {"StartAdd", "EndAdd", "UserCheck", "Select", "UserData"})
    ini.WriteInteger("FillDataDlg", key, 1);
  buffer::WriteDialogOk("FillDataDlg", true, path);
}

void BM_FillCommandSettingsWrites(benchmark::State& state) {
  ScratchHistory history;
  for (auto _ : state) FillCommandWrites(history.Path());
  state.SetItemsProcessed(state.iterations() * 11);
}
BENCHMARK(BM_FillCommandSettingsWrites)->Unit(benchmark::kMicrosecond);

// The baseline: the same file text written over the old one in place, eleven times.
void BM_InPlaceRewrites(benchmark::State& state) {
  ScratchHistory history;
  std::ifstream in(history.Path(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (auto _ : state) {
    for (int k = 0; k < 11; ++k) {
      std::ofstream out(history.Path(), std::ios::binary | std::ios::trunc);
      out << text;
    }
  }
  state.SetItemsProcessed(state.iterations() * 11);
}
BENCHMARK(BM_InPlaceRewrites)->Unit(benchmark::kMicrosecond);

}  // namespace
