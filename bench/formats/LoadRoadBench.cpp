// Loading 16 MiB as a user meets it, whole processes side by side: a 16 MiB image saved by
// objcopy as Intel Hex (16-byte records, about 47 MB of text) and as S3 records (about 50 MB)
// is converted to binary by `format_bench load` (the load dispatcher with detection into a
// fresh console buffer, the bytes written out), by objcopy and by srec_cat. Each run is a
// process of its own timed in wall time, start and exit included; ours is this executable.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr size_t kImage = 0x1000000;

enum class Text { IntelHex, S3 };
enum class Converter { Ours, Objcopy, SrecCat };

bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Made when a benchmark first asks for them, removed at exit.
class RoadFiles {
 public:
  RoadFiles()
      : dir_(fs::temp_directory_path() / ("load_road_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(dir_);
    std::mt19937 random(47);
    std::vector<char> bytes(kImage);
    for (auto& b : bytes) b = static_cast<char>(random());
    std::ofstream(Path("image.bin"), std::ios::binary).write(bytes.data(), kImage);
    const std::string bin = Path("image.bin");
    ready_ = Shell("objcopy -I binary -O ihex " + bin + " " + TextFile(Text::IntelHex)) &&
             Shell("objcopy -I binary -O srec --srec-forceS3 " + bin + " " + TextFile(Text::S3));
  }
  ~RoadFiles() {
    std::error_code error;
    fs::remove_all(dir_, error);
  }
  RoadFiles(const RoadFiles&) = delete;
  RoadFiles& operator=(const RoadFiles&) = delete;

  bool ready() const { return ready_; }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::string TextFile(Text text) const {
    return Path(text == Text::IntelHex ? "image.hex" : "image.s37");
  }

 private:
  fs::path dir_;
  bool ready_ = false;
};

const RoadFiles& TheRoadFiles() {
  static const RoadFiles files;
  return files;
}

std::string Command(Converter converter, Text text, const RoadFiles& f) {
  const std::string in = f.TextFile(text);
  const std::string out = f.Path("out.bin");
  switch (converter) {
    case Converter::Ours:
      return fs::read_symlink("/proc/self/exe").string() + " load " + in + " " + out;
    case Converter::Objcopy:
      return std::string("objcopy -I ") + (text == Text::IntelHex ? "ihex" : "srec") +
             " -O binary " + in + " " + out;
    case Converter::SrecCat:
      return "srec_cat " + in + (text == Text::IntelHex ? " -intel" : " -motorola") + " -o " +
             out + " -binary";
  }
  return {};
}

void BM_Load16MiBProcess(benchmark::State& state, Text text, Converter converter) {
  const RoadFiles& f = TheRoadFiles();
  if (!f.ready()) return state.SkipWithError("objcopy could not write the files");
  const std::string command = Command(converter, text, f);
  for (auto _ : state)
    if (!Shell(command)) return state.SkipWithError(command.c_str());
  state.counters["text_MB"] = static_cast<double>(fs::file_size(f.TextFile(text))) / 1e6;
}

}  // namespace

// Medians of five single runs; the three converters of a text follow one another.
#define LOAD_ROAD(name, text, converter)                                      \
  BENCHMARK_CAPTURE(BM_Load16MiBProcess, name, Text::text, Converter::converter) \
      ->Unit(benchmark::kMillisecond)                                         \
      ->UseRealTime()                                                         \
      ->Iterations(1)                                                         \
      ->Repetitions(5)                                                        \
      ->ReportAggregatesOnly(true)
LOAD_ROAD(IntelHex_Ours, IntelHex, Ours);
LOAD_ROAD(IntelHex_Objcopy, IntelHex, Objcopy);
LOAD_ROAD(IntelHex_SrecCat, IntelHex, SrecCat);
LOAD_ROAD(S3_Ours, S3, Ours);
LOAD_ROAD(S3_Objcopy, S3, Objcopy);
LOAD_ROAD(S3_SrecCat, S3, SrecCat);
