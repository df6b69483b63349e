#pragma once
// The link's failure log, "<start directory>\Error.ini": section [ERROR], entries numbered
// from 0 under their number, and Total holding the number of the last entry.
#include <string>

namespace console {

std::string FailureLogPath(const std::string& startDirectory);

// Appends `message` as the next entry, or in place of entry INT_MAX once Total has reached it.
// False when the file cannot be written.
bool AppendFailureLog(const std::string& startDirectory, const std::string& message);

}  // namespace console
