#pragma once
// The settings the console reads once at start-up. Each file is opened for its read and
// closed right after; missing files and keys give the defaults.
#include <cstdint>
#include <optional>
#include <string>

namespace console {

// "<start directory>\OEM.INI" [OEM] ISOEM; 0 without the file.
int ReadOemMode(const std::string& startDirectory);

// [GangTool] Active of the settings file: the GANG TOOLS button is shown when nonzero.
bool ReadGangToolActive(const std::string& settingsPath);

// [System] DataPort of the settings file: the port base chosen by the user, or nothing when
// the key is absent or "NOSETUP".
std::optional<uint32_t> ReadDataPort(const std::string& settingsPath);

// [System] MenuList of the settings file, nonzero = a double click on the menu list also
// presses ENTER.
bool ReadMenuListMode(const std::string& settingsPath);

// "<start directory>\History.ini": the settings file all dialogs talk through.
std::string HistoryIniPathIn(const std::string& startDirectory);

// Removes "<start directory>\Error.ini", the failure log of the last run; a missing file is
// no error.
void DeleteFailureLog(const std::string& startDirectory);

}  // namespace console
