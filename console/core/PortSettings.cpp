#include "console/core/PortSettings.h"

#include <cstdio>

#include "console/core/PortAddressText.h"
#include "platform/winapi/IniFile.h"

namespace console {

std::string PortBaseText(uint32_t base) {
  char text[16];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(base));
  return text;
}

std::vector<std::string> DetectedPortList(const std::array<uint32_t, kLptTableSize>& table) {
  std::vector<std::string> list;
  for (int i = 0; i < 3; ++i)
    if (table[i] != 0) list.push_back(PortBaseText(table[i]));
  return list;
}

uint32_t StorePortChoice(const std::string& settingsPath, const std::string& typed) {
  TIniFile(settingsPath).WriteString("System", "DataPort", typed);
  return ParsePortAddress(typed);
}

std::string IntervalText(int intervalMs) {
  char text[32];
  std::snprintf(text, sizeof text, "Interval : %d ms", intervalMs);
  return text;
}

}  // namespace console
