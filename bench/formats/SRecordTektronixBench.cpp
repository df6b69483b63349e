// Motorola S3 and Tektronix against the outside tools in the same run: loading a 16 MiB
// image saved as S3 records (about 50 MB of text, written by srec_cat) against objcopy and
// srec_cat converting it to binary, saving it against objcopy converting the same bytes;
// loading and saving 64 KiB (the Tektronix limit) against srec_cat. The tools run as
// subprocesses and are timed in wall time, like ours (whose saves also flush the file to
// the disk before putting it in place).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/formats/FolderCleaner.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/Tektronix.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kS3Image = 0x1000000;
constexpr int32_t kTektronixImage = 0x10000;

struct Files {
  fs::path dir;
  std::string Path(const char* name) const { return (dir / name).string(); }
  std::vector<uint8_t> block;  // 16 MiB random and a buffer's slack
  bool ready = false;
};

bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

formatbench::FolderCleaner cleanup;

Files& TheFiles() {
  static Files files = [] {
    Files f;
    f.dir = fs::temp_directory_path() / ("srecord_bench_" + std::to_string(::getpid()));
    fs::create_directories(f.dir);
    cleanup.dir = f.dir;
    std::mt19937 random(16);
    f.block.resize(formats::kMotorolaLoadBufSize + 2000);
    for (auto& b : f.block) b = static_cast<uint8_t>(random());
    std::ofstream(f.Path("image16.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(f.block.data()), kS3Image);
    std::ofstream(f.Path("image64k.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(f.block.data()), kTektronixImage);
    f.ready = Shell("srec_cat " + f.Path("image16.bin") + " -binary -o " + f.Path("image16.s37") +
                    " -motorola -address-length=4") &&
              Shell("srec_cat " + f.Path("image64k.bin") + " -binary -o " + f.Path("image64k.tek") +
                    " -tektronix");
    return f;
  }();
  return files;
}

// The load road of a forced format: the file read, detection, the reader.
void Load(benchmark::State& state, const char* file, int32_t format, int32_t bufSize,
          int32_t expected) {
  Files& f = TheFiles();
  if (!f.ready) return state.SkipWithError("srec_cat could not write the files");
  formats::KeepFileSegmentBase keep;
  formats::LoadSettings settings;
  settings.userFill = 0xFF;
  for (auto _ : state) {
    auto image = formats::ReadBinaryFile({f.Path(file), 0, 0});
    auto source = formats::ReadLoadSource(format, std::move(*image), settings, {nullptr, keep, bufSize});
    if (!source || source->length < expected) return state.SkipWithError("the file did not read");
    benchmark::DoNotOptimize(source->block.data());
  }
  state.counters["text_MB"] = static_cast<double>(fs::file_size(f.Path(file))) / 1e6;
}

void Tool(benchmark::State& state, const std::string& command) {
  if (!TheFiles().ready) return state.SkipWithError("srec_cat could not write the files");
  for (auto _ : state)
    if (!Shell(command)) return state.SkipWithError(command.c_str());
}

void BM_LoadS3_16MiB_Ours(benchmark::State& state) {
  Load(state, "image16.s37", buffer::kFormatMotorolaHex, formats::kMotorolaLoadBufSize, kS3Image);
}
void BM_LoadS3_16MiB_Objcopy(benchmark::State& state) {
  Files& f = TheFiles();
  Tool(state, "objcopy -I srec -O binary " + f.Path("image16.s37") + " " + f.Path("o.bin"));
}
void BM_LoadS3_16MiB_SrecCat(benchmark::State& state) {
  Files& f = TheFiles();
  Tool(state, "srec_cat " + f.Path("image16.s37") + " -motorola -o " + f.Path("s.bin") + " -binary");
}
void BM_SaveS3_16MiB_Ours(benchmark::State& state) {
  Files& f = TheFiles();
  for (auto _ : state)
    if (!formats::WriteMotorolaS(f.Path("ours.s37"), kS3Image, formats::MotorolaRecords::S3, 0, f.block))
      return state.SkipWithError("the writer failed");
}
void BM_SaveS3_16MiB_Objcopy(benchmark::State& state) {
  Files& f = TheFiles();
  Tool(state, "objcopy -I binary -O srec --srec-forceS3 " + f.Path("image16.bin") + " " + f.Path("o.s37"));
}

void BM_LoadTektronix64KiB_Ours(benchmark::State& state) {
  Load(state, "image64k.tek", buffer::kFormatTektronixHex, kTektronixImage, kTektronixImage);
}
void BM_LoadTektronix64KiB_SrecCat(benchmark::State& state) {
  Files& f = TheFiles();
  Tool(state, "srec_cat " + f.Path("image64k.tek") + " -tektronix -o " + f.Path("t.bin") + " -binary");
}
void BM_SaveTektronix64KiB_Ours(benchmark::State& state) {
  Files& f = TheFiles();
  for (auto _ : state)
    if (!formats::WriteTektronix(f.Path("ours.tek"), kTektronixImage, 0, f.block))
      return state.SkipWithError("the writer failed");
}
void BM_SaveTektronix64KiB_SrecCat(benchmark::State& state) {
  Files& f = TheFiles();
  Tool(state, "srec_cat " + f.Path("image64k.bin") + " -binary -o " + f.Path("t.tek") + " -tektronix");
}

}  // namespace

BENCHMARK(BM_LoadS3_16MiB_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadS3_16MiB_Objcopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadS3_16MiB_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_SaveS3_16MiB_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveS3_16MiB_Objcopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadTektronix64KiB_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadTektronix64KiB_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveTektronix64KiB_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveTektronix64KiB_SrecCat)->Unit(benchmark::kMillisecond)->UseRealTime();
