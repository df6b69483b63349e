#pragma once
// How the Dump Edit and its dialogs talk through the settings file: the buffer's
// description in [BufInf], each dialog's OK key, and the selected IC's information file.
// Every call opens the file for that one access (TIniFile), so nothing is cached. The path
// defaults to the program's settings file (SettingsPath()), which the update tool points at
// its own file.
#include <cstdint>
#include <optional>
#include <string>

#include "buffer/core/SettingsPath.h"

class IniWriteWatch;

namespace buffer {

inline constexpr const char* kBufInfSection = "BufInf";

// What [BufInf] says about the buffer, as a dialog keeps it.
struct BufferInfo {
  int32_t BufSize = 0;
  int32_t FileSize = 0;
  int32_t FileStartAdd = 0;
  int32_t BufHandle = 0;  // a nonzero token; tested for 0 only
};

// Writes [BufInf] (BufSize, FileSize, BufHandle, FileStartAdd), as the Dump Edit does right
// before a dialog that reads it opens.
void WriteBufferInfo(const BufferInfo& info, const std::string& settingsPath = SettingsPath());

// Reads [BufInf]; shows "History File Error !" when BufSize is below 1 and "MEMORY ERROR."
// when BufHandle is 0, and returns what it read all the same.
BufferInfo ReadBufferInfo(const std::string& settingsPath = SettingsPath());

// The integer value of OK in the section, 0 when absent.
int ReadDialogOk(const std::string& settingsPath, const std::string& section);
inline int ReadDialogOk(const std::string& section) { return ReadDialogOk(SettingsPath(), section); }

// Whether every write of the settings file that `watch` heard of worked. When one failed it
// shows "Cannot write the settings file <file>: <reason>", unless the user has been told of
// that failure already, and returns false: the command must not act on what the file held.
bool SettingsWritten(const IniWriteWatch& watch);

// Writes OK as "1" or "0"; false when the file could not be written.
bool WriteDialogOk(const std::string& section, bool ok,
                   const std::string& settingsPath = SettingsPath());

// Every dialog of the protocol calls this when it opens: OK becomes "0", so a dialog that
// closes other than by its buttons counts as refused and a stale OK never re-runs the
// last command.
void MarkDialogOpened(const std::string& section,
                      const std::string& settingsPath = SettingsPath());

// [System] Path + "\ini\" + [SelectDlg] IcFileName ("None" for each absent key), at most
// 256 characters.
std::string ReadIcFilePath(const std::string& settingsPath = SettingsPath());

// [ICInformation] ICSIZE (kilobits) of the selected IC's file, 0 when absent; shows
// "IC SIZE ERROR IN "<path>" FILE." when it is 0 or less.
int32_t ReadIcSize(const std::string& settingsPath = SettingsPath());

// The last byte and word addresses of an IC of the given size in kilobits (the range
// starts at 0); nothing for a size of 0 or less, which has no range.
struct IcRange {
  int32_t ByteEnd;
  int32_t WordEnd;
};
std::optional<IcRange> IcRangeOfSize(int32_t icSizeKbit);

// What the IC range buttons use: ReadIcSize (with its message) turned into a range.
std::optional<IcRange> ReadIcRange(const std::string& settingsPath = SettingsPath());

}  // namespace buffer
