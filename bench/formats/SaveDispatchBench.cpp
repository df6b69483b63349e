// The Save command's road from [SaveDlg] to the file, temporary file and rename included,
// for the largest range of each format family: 16 MiB binary and S3, 1 MiB Intel Hex,
// 64 KiB Tektronix. `cp` of the same 16 MiB gives the disk's own pace.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/formats/FolderCleaner.h"
#include "buffer/formats/SaveDispatch.h"
#include "platform/winapi/IniFile.h"

namespace {

namespace fs = std::filesystem;

struct SaveFiles {
  fs::path dir;
  std::vector<uint8_t> block;  // 16 MiB random and a buffer's slack
  std::string Path(const char* name) const { return (dir / name).string(); }
};

formatbench::FolderCleaner cleanup;

SaveFiles& TheSaveFiles() {
  static SaveFiles files = [] {
    SaveFiles f;
    f.dir = fs::temp_directory_path() / ("save_bench_" + std::to_string(::getpid()));
    fs::create_directories(f.dir);
    cleanup.dir = f.dir;
    std::mt19937 random(12);
    f.block.resize(0x1000000 + 2000);
    for (auto& b : f.block) b = static_cast<uint8_t>(random());
    std::ofstream(f.Path("image.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(f.block.data()), 0x1000000);
    return f;
  }();
  return files;
}

void Save(benchmark::State& state, formats::SaveFormat format, int32_t bytes) {
  SaveFiles& f = TheSaveFiles();
  const std::string settings = f.Path("History.ini");
  TIniFile ini(settings);
  ini.WriteInteger("SaveDlg", "SourceSAdd", 0);
  ini.WriteInteger("SaveDlg", "SourceEAdd", bytes - 1);
  ini.WriteInteger("SaveDlg", "Format", static_cast<int32_t>(format));
  ini.WriteString("SaveDlg", "Name", f.Path("saved"));
  for (auto _ : state)
    if (!formats::SaveBufferToFile(f.block, settings)) return state.SkipWithError("save failed");
  state.SetBytesProcessed(state.iterations() * int64_t{bytes});
}

void BM_SaveDispatch_Binary16MiB(benchmark::State& s) { Save(s, formats::SaveFormat::Binary, 0x1000000); }
void BM_SaveDispatch_S3_16MiB(benchmark::State& s) { Save(s, formats::SaveFormat::MotorolaS3, 0x1000000); }
void BM_SaveDispatch_Intel1MiB(benchmark::State& s) { Save(s, formats::SaveFormat::IntelHex, 0x100000); }
void BM_SaveDispatch_Tektronix64KiB(benchmark::State& s) { Save(s, formats::SaveFormat::Tektronix, 0x10000); }
void BM_Copy16MiB_Cp(benchmark::State& state) {
  SaveFiles& f = TheSaveFiles();
  const std::string command = "cp " + f.Path("image.bin") + " " + f.Path("copy.bin");
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) return state.SkipWithError("cp failed");
}

}  // namespace

BENCHMARK(BM_SaveDispatch_Binary16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Copy16MiB_Cp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveDispatch_S3_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveDispatch_Intel1MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveDispatch_Tektronix64KiB)->Unit(benchmark::kMillisecond)->UseRealTime();
