#include "console/core/FailureLog.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/winapi/IniFile.h"

namespace console {

namespace {

constexpr const char* kSection = "ERROR";
constexpr const char* kTotalKey = "Total";

}  // namespace

std::string FailureLogPath(const std::string& startDirectory) { return startDirectory + "\\Error.ini"; }

bool AppendFailureLog(const std::string& startDirectory, const std::string& message) {
  TIniFile log(FailureLogPath(startDirectory));
  // Total is read back as an int, so it stops at INT_MAX: from there each failure replaces
  // the last entry, which keeps the newest message and a Total that still names it.
  const int64_t next = int64_t{log.ReadInteger(kSection, kTotalKey, -1)} + 1;
  const int entry = static_cast<int>(std::min<int64_t>(next, std::numeric_limits<int>::max()));
  return log.WriteString(kSection, std::to_string(entry), message) &&
         log.WriteInteger(kSection, kTotalKey, entry);
}

}  // namespace console
