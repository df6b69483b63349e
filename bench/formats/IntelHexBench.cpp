// Intel Hex against the outside tools in the same run: reading a 16 MiB image saved as
// Intel Hex (about 40 MB of text) against objcopy and srec_cat converting it to binary, and
// writing 1 MiB (the largest Intel save) against objcopy converting the same bytes. The tools
// run as subprocesses and are timed in wall time, like ours.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/formats/FolderCleaner.h"
#include "buffer/core/DumpEditCore.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/BufferLoad.h"
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/LoadSource.h"
#include "platform/winapi/IniFile.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kConsoleBufSize = 0x100000;
constexpr size_t kLoadImage = 0x1000000;
constexpr int32_t kSaveRange = 0x100000;

struct Files {
  fs::path dir;
  std::string bin16;            // 16 MiB random
  std::string hex16;            // the same as Intel Hex
  std::string bin1;             // 1 MiB random
  std::vector<uint8_t> block1;  // the 1 MiB with a buffer's slack
  bool ready = false;
};

bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint8_t> Random(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes, size_t n) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(n));
}

formatbench::FolderCleaner cleanup;

Files& TheFiles() {
  static Files files = [] {
    Files f;
    f.dir = fs::temp_directory_path() / ("intel_hex_bench_" + std::to_string(::getpid()));
    fs::create_directories(f.dir);
    cleanup.dir = f.dir;
    f.bin16 = (f.dir / "image16.bin").string();
    f.hex16 = (f.dir / "image16.hex").string();
    f.bin1 = (f.dir / "image1.bin").string();
    Write(f.bin16, Random(kLoadImage, 16), kLoadImage);
    f.block1 = Random(kSaveRange + 2000, 1);
    Write(f.bin1, f.block1, kSaveRange);
    f.ready = Shell("srec_cat " + f.bin16 + " -binary -o " + f.hex16 + " -intel -address-length=4");
    return f;
  }();
  return files;
}

void ReportText(benchmark::State& state, const std::string& path) {
  state.counters["text_MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
}

void BM_LoadIntelHex16MiB_Ours(benchmark::State& state) {
  Files& f = TheFiles();
  if (!f.ready) return state.SkipWithError("srec_cat could not write the file");
  formats::KeepFileSegmentBase keep;
  formats::LoadSettings settings;
  settings.userFill = 0xFF;
  for (auto _ : state) {
    auto image = formats::ReadBinaryFile({f.hex16, 0, 0});
    auto source = formats::ReadLoadSource(buffer::kFormatIntelHex, std::move(*image), settings,
                                          {nullptr, keep, kConsoleBufSize});
    if (!source || source->length != static_cast<int32_t>(kLoadImage))
      return state.SkipWithError("the file did not read");
    benchmark::DoNotOptimize(source->block.data());
  }
  ReportText(state, f.hex16);
}

// The whole load road: the file read, detection, the reader, the merge into a console
// buffer with the unused area filled, and the stored checksum.
void BM_LoadIntelHex16MiB_IntoBuffer(benchmark::State& state) {
  Files& f = TheFiles();
  if (!f.ready) return state.SkipWithError("srec_cat could not write the file");
  const std::string previous = buffer::SettingsPath();
  buffer::SetSettingsPath((f.dir / "History.ini").string());
  TIniFile ini(buffer::SettingsPath());
  ini.WriteInteger("LoadDlg", "UserFill", 0xFF);
  ini.WriteInteger("LoadDlg", "UnuserFillCheck", 1);
  buffer::SetLastLoadFormat(buffer::kFormatAutoDetect);
  formats::KeepFileSegmentBase keep;
  for (auto _ : state) {
    buffer::DumpEditCore form(buffer::ConsoleProfile());
    auto image = formats::ReadBinaryFile({f.hex16, 0, 0});
    if (!form.Create() || !image) return state.SkipWithError("no buffer or no file");
    const int32_t size = image->size;
    if (formats::LoadIntoBuffer(form, std::move(*image), size, {0, 0, nullptr, keep}) !=
            formats::LoadOutcome::kLoaded ||
        form.fields().FileSize != static_cast<int32_t>(kLoadImage))
      return state.SkipWithError("the file did not load");
  }
  buffer::SetSettingsPath(previous);
  ReportText(state, f.hex16);
}

// Times the tool converting the 16 MiB Intel Hex file.
void TimeToolLoad(benchmark::State& state, const std::string& command) {
  Files& f = TheFiles();
  if (!f.ready) return state.SkipWithError("srec_cat could not write the file");
  for (auto _ : state)
    if (!Shell(command)) return state.SkipWithError(command.c_str());
  ReportText(state, f.hex16);
}

void BM_LoadIntelHex16MiB_Objcopy(benchmark::State& state) {
  Files& f = TheFiles();
  TimeToolLoad(state,
               "objcopy -I ihex -O binary " + f.hex16 + " " + (f.dir / "objcopy.bin").string());
}

void BM_LoadIntelHex16MiB_SrecCat(benchmark::State& state) {
  Files& f = TheFiles();
  TimeToolLoad(state, "srec_cat " + f.hex16 + " -intel -o " + (f.dir / "srec_cat.bin").string() +
                          " -binary");
}

void BM_SaveIntelHex1MiB_Ours(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string out = (f.dir / "ours.hex").string();
  for (auto _ : state)
    if (!formats::WriteIntelHex(out, kSaveRange, 0, f.block1))
      return state.SkipWithError("the writer failed");
}

void BM_SaveIntelHex1MiB_Objcopy(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string out = (f.dir / "objcopy.hex").string();
  for (auto _ : state)
    if (!Shell("objcopy -I binary -O ihex " + f.bin1 + " " + out))
      return state.SkipWithError("objcopy failed");
}

}  // namespace

BENCHMARK(BM_LoadIntelHex16MiB_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadIntelHex16MiB_IntoBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadIntelHex16MiB_Objcopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadIntelHex16MiB_SrecCat)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_SaveIntelHex1MiB_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveIntelHex1MiB_Objcopy)->Unit(benchmark::kMillisecond)->UseRealTime();
