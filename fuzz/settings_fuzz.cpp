// A settings file as a user's editor or a cut write could leave it: the dialogs' reads of
// it, then one rewrite of a key, which must read back and leave every other section as it
// was.
#include <strings.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "buffer/core/DialogSettings.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/SaveDispatch.h"
#include "fuzz/FuzzSupport.h"
#include "platform/winapi/IniFile.h"

namespace {

const std::string& SettingsFile() {
  static const std::string path = "/tmp/settings_fuzz_" + std::to_string(::getpid()) + ".ini";
  return path;
}

struct Key {
  const char* section;
  const char* key;
};
constexpr std::array<Key, 6> kWritten{{{"LoadDlg", "OK"},
                                       {"BufInf", "BufSize"},
                                       {"FillDataDlg", "Select"},
                                       {"loaddlg", "name"},
                                       {"GangTool", "Active"},
                                       {"New", "Key"}}};

// The keys of every section the write must leave alone, with their values.
std::vector<std::string> SectionsBut(const TIniFile& ini, const char* section) {
  std::vector<std::string> keys;
  for (const char* name : {"LoadDlg", "BufInf", "FillDataDlg", "GangTool", "New", "System"}) {
    if (::strcasecmp(name, section) == 0) continue;
    for (const std::string& key : ini.ReadSection(name))
      keys.push_back(key + "=" + ini.ReadString(name, key, ""));
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const Key& written = kWritten[data[0] % kWritten.size()];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::ofstream(SettingsFile(), std::ios::binary | std::ios::trunc) << text;

  buffer::ReadBufferInfo(SettingsFile());
  buffer::ReadIcFilePath(SettingsFile());
  formats::ReadLoadSettings(SettingsFile());
  formats::ReadSaveRequest(SettingsFile());

  TIniFile ini(SettingsFile());
  const auto before = SectionsBut(ini, written.section);
  fuzz::Require(ini.WriteString(written.section, written.key, "0123"));
  fuzz::Require(ini.ReadString(written.section, written.key, "") == "0123");
  fuzz::Require(SectionsBut(ini, written.section) == before);
  return 0;
}
