#include "FormatCommands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <span>
#include <string>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/BufferLoad.h"
#include "buffer/formats/IntelHex.h"
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

bool WriteBytes(const std::string& name, std::span<const uint8_t> bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

int Load(const std::string& in, const std::string& out) {
  buffer::DumpEditCore form(buffer::ConsoleProfile());
  if (!LoadFresh(form, in, buffer::kFormatAutoDetect)) return kRefused;
  const int32_t end = std::clamp(form.fields().FileSize, 0, form.buffer().BufSize());
  buffer::BufferLock lock(form.buffer());
  if (!WriteBytes(out, {lock.data(), static_cast<size_t>(end)})) {
    std::cerr << "Cannot write " << out << "\n";
    return kRefused;
  }
  return 0;
}

// One row per save format: its name on the command line, the Save dialog's limit on
// end - start (none: -1) with its message, and the writer over the buffer block.
using Writer = std::function<bool(const std::string& name, int32_t length,
                                  std::span<const uint8_t> block)>;
struct SaveFormat {
  const char* name;
  int64_t limit;
  const char* tooBig;
  Writer write;
};

const std::array<SaveFormat, 2>& SaveFormats() {
  static const std::array<SaveFormat, 2> formats{{
      {"bin", -1, "",
       [](const std::string& name, int32_t length, std::span<const uint8_t> block) {
         return WriteBytes(name, block.first(static_cast<size_t>(length)));
       }},
      {"intel", 0xFFFFF, "File Too Big for Intel Format,\nPlease Select other Format.",
       [](const std::string& name, int32_t length, std::span<const uint8_t> block) {
         return formats::WriteIntelHex(name, length, 0, block);
       }},
  }};
  return formats;
}

const SaveFormat* FindSaveFormat(const std::string& name) {
  for (const SaveFormat& format : SaveFormats())
    if (name == format.name) return &format;
  return nullptr;
}

int Save(const std::string& in, const std::string& formatName, const std::string& out) {
  const SaveFormat* format = FindSaveFormat(formatName);
  if (!format) {
    std::cerr << "Unknown save format \"" << formatName << "\"\n";
    return kUsage;
  }
  buffer::DumpEditCore form(buffer::ConsoleProfile());
  if (!LoadFresh(form, in, buffer::kFormatBinary)) return kRefused;
  const int32_t length = form.fields().FileSize;
  if (format->limit >= 0 && int64_t{length} - 1 > format->limit) {
    std::cerr << "SAVE: " << format->tooBig << "\n";
    return kRefused;
  }
  buffer::BufferLock lock(form.buffer());
  if (!format->write(out, length, {lock.data(), form.buffer().BlockSize()})) {
    std::cerr << "Cannot write " << out << "\n";
    return kRefused;
  }
  return 0;
}

void Usage() {
  std::cerr << "usage: format_bench load IN OUT.bin\n"
               "       format_bench save IN.bin FORMAT OUT   (FORMAT:";
  for (const SaveFormat& format : SaveFormats()) std::cerr << " " << format.name;
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
