#pragma once
// The boxes the dialog helpers show, with their exact texts, captions and flags, so that
// every dialog shows the same words and tests can compare against one table.
#include <string>

#include "platform/winapi/MessageBox.h"

namespace buffer {

struct Message {
  const char* text;
  const char* caption;
  unsigned flags;
};

namespace messages {

// [BufInf] BufSize below 1 when a buffer dialog opens.
inline constexpr Message kHistoryFileError{"History File Error !", "Get Check Sum",
                                           winapi::MB_ICONERROR};
// [BufInf] BufHandle 0 when a buffer dialog opens.
inline constexpr Message kMemoryError{"MEMORY ERROR.", "GET SUM DIALOG", winapi::MB_OK};
// The IC information file gives no usable ICSIZE; %s is the file's path.
inline constexpr Message kIcSizeError{"IC SIZE ERROR IN \"%s\" FILE.", "Error !", winapi::MB_OK};
// A hex value not below its limit (or below its lower bound).
inline constexpr Message kValueNotBelowLimit{"Input Value Error !", "ERROR",
                                             winapi::MB_ICONERROR};
// A range whose start is not below its end.
inline constexpr Message kStartNotBelowEnd{"Input Value Error !", "Error", winapi::MB_ICONERROR};
// A write of the settings file failed; %s is the file and the system's reason.
inline constexpr Message kSettingsWriteFailed{"Cannot write the settings file %s", "ERROR",
                                              winapi::MB_ICONERROR};
// A file name that names no file.
inline constexpr Message kFileNotFound{"Not Found File ! ", "ERROR", winapi::MB_ICONERROR};

}  // namespace messages

// Shows the message; a "%s" in its text is replaced by the argument. The owner is a
// QWidget* in the programs, nullptr for none. Returns the pressed button's ID.
int ShowMessage(const Message& message, winapi::Owner owner = nullptr);
int ShowMessage(const Message& message, const std::string& argument,
                winapi::Owner owner = nullptr);

}  // namespace buffer
