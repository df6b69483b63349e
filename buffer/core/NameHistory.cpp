#include "buffer/core/NameHistory.h"

#include "platform/winapi/IniFile.h"

namespace buffer {

std::string HistoryKey(int32_t index) { return "H" + std::to_string(index); }

std::vector<std::string> ReadNameHistory(const std::string& iniPath, const std::string& section,
                                         int32_t maxLength) {
  std::vector<std::string> list;
  TIniFile ini(iniPath);
  for (int32_t n = 0; n < maxLength; ++n) {
    std::string text = ini.ReadString(section, HistoryKey(n), "");
    if (text.empty()) break;
    list.push_back(text);
  }
  return list;
}

std::vector<std::string> HistoryWithText(std::vector<std::string> list, const std::string& text,
                                         int32_t maxLength) {
  if (!text.empty()) list.insert(list.begin(), text);
  std::vector<std::string> kept;
  for (size_t i = 0; i < list.size(); ++i) {
    bool repeat = i > 0 && list[i] == text;
    bool beyondLimit = i > 0 && static_cast<int64_t>(i) >= maxLength;
    if (!repeat && !beyondLimit) kept.push_back(list[i]);
  }
  return kept;
}

bool WriteNameHistory(const std::string& iniPath, const std::string& section,
                      const std::vector<std::string>& list) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (size_t k = 0; k < list.size(); ++k)
    entries.emplace_back(HistoryKey(static_cast<int32_t>(k)), list[k]);
  return TIniFile(iniPath).ReplaceSection(section, entries);
}

}  // namespace buffer
