#include "console/core/FailureLog.h"

#include "platform/winapi/IniFile.h"

namespace console {

namespace {

constexpr const char* kSection = "ERROR";
constexpr const char* kTotalKey = "Total";

}  // namespace

std::string FailureLogPath(const std::string& startDirectory) { return startDirectory + "\\Error.ini"; }

bool AppendFailureLog(const std::string& startDirectory, const std::string& message) {
  TIniFile log(FailureLogPath(startDirectory));
  const int entry = log.ReadInteger(kSection, kTotalKey, -1) + 1;
  return log.WriteString(kSection, std::to_string(entry), message) &&
         log.WriteInteger(kSection, kTotalKey, entry);
}

}  // namespace console
