#include "buffer/core/SettingsPath.h"

namespace buffer {
namespace {
std::string g_settings_path = "History.ini";
}

const std::string& SettingsPath() { return g_settings_path; }

void SetSettingsPath(const std::string& path) { g_settings_path = path; }

std::string SettingsFileIn(const std::string& startDirectory, const std::string& name) {
  return startDirectory + "\\" + name;
}

}  // namespace buffer
