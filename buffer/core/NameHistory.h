#pragma once
// The name history of the file-name boxes: a list of texts kept in one section of an INI
// file under the keys H0, H1, ... (H0 the most recent). Every call opens the file afresh.
#include <cstdint>
#include <string>
#include <vector>

namespace buffer {

// The key of the k-th entry: "H" and k in decimal.
std::string HistoryKey(int32_t index);

// Entries from H0 on, up to the first empty or missing key, at most maxLength of them
// (none when maxLength is 0 or less).
std::vector<std::string> ReadNameHistory(const std::string& iniPath, const std::string& section,
                                         int32_t maxLength);

// The list a confirmed text leaves: the text on top (unless it is empty), every later entry
// equal to it (case counts) dropped, and nothing from index maxLength on; the first entry
// always stays. The rest keep their order.
std::vector<std::string> HistoryWithText(std::vector<std::string> list, const std::string& text,
                                         int32_t maxLength);

// Replaces the section by the list, H0 first, in one rewrite. False when the file cannot be
// written, which keeps the old list whole; the program's folder may be read-only, and a lost
// history must never stop the work that wrote it.
bool WriteNameHistory(const std::string& iniPath, const std::string& section,
                      const std::vector<std::string>& list);

}  // namespace buffer
