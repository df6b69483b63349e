#pragma once
// GANG TOOLS' result rows and the report they are stored as.
#include <optional>
#include <string>
#include <vector>

namespace console {

inline constexpr const char* kProcessingStatus = "Processing";
inline constexpr const char* kFinishedStatus = "Finished";
inline constexpr const char* kFailStatus = "Fail";
inline constexpr const char* kTimeOutStatus = "Time out";

// One job run: the file name as it stood in the queue, its checksum (8 hex digits) and how it
// went.
struct ResultRow {
  std::string fileName;
  std::string checkSum;
  std::string status;
  friend bool operator==(const ResultRow&, const ResultRow&) = default;
};

// The status a job's result gives: 0 "Time out", positive "Finished", negative "Fail".
const char* StatusForResult(int result);

// The report: a banner with the date, a header, then one line per row, fields parted by two
// tabs, every line ended by a line feed.
std::string ReportText(const std::vector<ResultRow>& rows, const std::string& date);

// Writes the report in place of the file (or as a new one); the error to show when that
// failed, the file then as it was.
std::optional<std::string> WriteReport(const std::string& path, const std::vector<ResultRow>& rows,
                                       const std::string& date);

}  // namespace console
