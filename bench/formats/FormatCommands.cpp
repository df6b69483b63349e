#include "FormatCommands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/BufferLoad.h"
#include "buffer/formats/SaveDispatch.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/MessageBox.h"

namespace formatbench {
namespace {

namespace fs = std::filesystem;

constexpr int kUsage = 2;
constexpr int kRefused = 1;

// Every box on stderr, answered by its first button.
class StderrBoxes : public winapi::MessageBoxHost {
 public:
  StderrBoxes() : previous_(winapi::SetMessageBoxHost(this)) {}
  ~StderrBoxes() override { winapi::SetMessageBoxHost(previous_); }
  int Show(winapi::Owner, const std::string& text, const std::string& caption,
           unsigned flags) override {
    std::cerr << (caption.empty() ? "" : caption + ": ") << text << "\n";
    return winapi::DefaultButton(flags);
  }
  void Beep(unsigned) override {}

 private:
  winapi::MessageBoxHost* previous_;
};

// A settings file of the run's own, so the user's History.ini is never read or changed.
class ScratchSettings {
 public:
  ScratchSettings()
      : dir_(fs::temp_directory_path() / ("format_bench_" + std::to_string(::getpid()))),
        previous_(buffer::SettingsPath()) {
    fs::create_directories(dir_);
    buffer::SetSettingsPath((dir_ / "History.ini").string());
  }
  ~ScratchSettings() {
    buffer::SetSettingsPath(previous_);
    std::error_code error;
    fs::remove_all(dir_, error);
  }

 private:
  fs::path dir_;
  std::string previous_;
};

// A fresh console buffer holding IN as the load dispatcher placed it: destination 0, fill
// 0xFF over the unused area, stride 1, the whole file for a binary one.
bool LoadFresh(buffer::DumpEditCore& form, const std::string& in, int32_t format) {
  std::optional<formats::FileImage> image = formats::ReadBinaryFile({in, 0, 0});
  if (!image || !form.Create()) return false;
  TIniFile ini(buffer::SettingsPath());
  ini.WriteString("LoadDlg", "Name", in);
  ini.WriteInteger("LoadDlg", "Format", format);
  ini.WriteInteger("LoadDlg", "DistSAdd", 0);
  ini.WriteInteger("LoadDlg", "UserFill", 0xFF);
  ini.WriteInteger("LoadDlg", "UnuserFillCheck", 1);
  ini.WriteInteger("LoadDlg", "EvenOdd", 0);
  ini.WriteInteger("LoadDlg", "SourceSAdd", 0);
  ini.WriteInteger("LoadDlg", "SourceEAdd", image->size - 1);
  buffer::SetLastLoadFormat(format);

  formats::KeepFileSegmentBase keep;  // the start-address form's default choice
  const int32_t size = image->size;
  return formats::LoadIntoBuffer(form, std::move(*image), size, {0, 0, nullptr, keep}) !=
         formats::LoadOutcome::kRefused;
}

int Load(const std::string& in, const std::string& out) {
  buffer::DumpEditCore form(buffer::ConsoleProfile());
  if (!LoadFresh(form, in, buffer::kFormatAutoDetect)) return kRefused;
  const int32_t end = std::clamp(form.fields().FileSize, 0, form.buffer().BufSize());
  buffer::BufferLock lock(form.buffer());
  // The program's own binary writer, so a failed write keeps the old OUT and says why.
  return formats::WriteBinaryFile(out, end, 0, {lock.data(), form.buffer().BlockSize()})
             ? 0
             : kRefused;
}

// The command-line names of the Save dialog's formats but JEDEC, which saves no buffer image.
struct NamedSaveFormat {
  const char* name;
  formats::SaveFormat format;
};
constexpr std::array<NamedSaveFormat, 6> kSaveFormats{{
    {"bin", formats::SaveFormat::Binary},
    {"intel", formats::SaveFormat::IntelHex},
    {"s1", formats::SaveFormat::MotorolaS1},
    {"s2", formats::SaveFormat::MotorolaS2},
    {"s3", formats::SaveFormat::MotorolaS3},
    {"tek", formats::SaveFormat::Tektronix},
}};

// IN into a fresh buffer, then the Save dialog's keys for the whole file and the program's
// save over the whole block (the text formats' 32-byte rounding may read its slack), so its
// limits, boxes and keeping of the old file on a failed write are the ones measured here.
int Save(const std::string& in, const std::string& formatName, const std::string& out) {
  const auto found = std::find_if(kSaveFormats.begin(), kSaveFormats.end(),
                                  [&](const NamedSaveFormat& f) { return formatName == f.name; });
  if (found == kSaveFormats.end()) {
    std::cerr << "Unknown save format \"" << formatName << "\"\n";
    return kUsage;
  }
  buffer::DumpEditCore form(buffer::ConsoleProfile());
  if (!LoadFresh(form, in, buffer::kFormatBinary)) return kRefused;
  TIniFile ini(buffer::SettingsPath());
  const char* section = formats::kSaveDlgSection;
  bool written = ini.WriteString(section, "Name", out);
  written = written && ini.WriteInteger(section, "Format", static_cast<int32_t>(found->format));
  written = written && ini.WriteInteger(section, "SourceSAdd", 0);
  written = written && ini.WriteInteger(section, "SourceEAdd", form.fields().FileSize - 1);
  if (!written) {
    std::cerr << "Cannot write the settings file " << ini.FileName() << "\n";
    return kRefused;
  }
  buffer::BufferLock lock(form.buffer());
  return formats::SaveBufferToFile({lock.data(), form.buffer().BlockSize()}) ? 0 : kRefused;
}

void Usage() {
  std::cerr << "usage: format_bench load IN OUT.bin\n"
               "       format_bench save IN.bin FORMAT OUT   (FORMAT:";
  for (const NamedSaveFormat& format : kSaveFormats) std::cerr << " " << format.name;
  std::cerr << ")\n       format_bench [benchmark options]\n";
}

}  // namespace

bool IsCommand(int argc, char** argv) {
  return argc > 1 && std::strncmp(argv[1], "--", 2) != 0;
}

int RunCommand(int argc, char** argv) {
  const std::string command = argv[1];
  StderrBoxes boxes;
  ScratchSettings settings;
  if (command == "load" && argc == 4) return Load(argv[2], argv[3]);
  if (command == "save" && argc == 5) return Save(argv[2], argv[3], argv[4]);
  Usage();
  return kUsage;
}

}  // namespace formatbench
