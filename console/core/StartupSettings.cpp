#include "console/core/StartupSettings.h"

#include <filesystem>

#include "buffer/core/SettingsPath.h"
#include "console/core/FailureLog.h"
#include "console/core/PortAddressText.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/Paths.h"

namespace console {

int ReadOemMode(const std::string& startDirectory) {
  return TIniFile(startDirectory + "\\OEM.INI").ReadInteger("OEM", "ISOEM", 0);
}

bool ReadGangToolActive(const std::string& settingsPath) {
  return TIniFile(settingsPath).ReadInteger("GangTool", "Active", 0) != 0;
}

std::optional<uint32_t> ReadDataPort(const std::string& settingsPath) {
  static const std::string kNotSet = "NOSETUP";
  std::string text = TIniFile(settingsPath).ReadString("System", "DataPort", kNotSet);
  if (text == kNotSet) return std::nullopt;
  return ParsePortAddress(text);
}

bool ReadMenuListMode(const std::string& settingsPath) {
  return TIniFile(settingsPath).ReadInteger("System", "MenuList", 0) != 0;
}

std::string HistoryIniPathIn(const std::string& startDirectory) {
  return buffer::SettingsFileIn(startDirectory, "History.ini");
}

void DeleteFailureLog(const std::string& startDirectory) {
  std::error_code ignored;
  std::filesystem::remove(winapi::NativePath(FailureLogPath(startDirectory)), ignored);
}

}  // namespace console
