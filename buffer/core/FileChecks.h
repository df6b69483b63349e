#pragma once
// File checks of the Load and Save dialogs and GANG TOOLS. Names may be written with '\'.
#include <cstdint>
#include <optional>
#include <string>

namespace buffer {

// The file's size in bytes (at most 0x7FFFFFFF); nothing when it is no regular file or
// cannot be opened.
std::optional<int32_t> ReadFileSize(const std::string& name);

// The texts the Load dialog's range edits show for a file: "000000" and the last byte's
// address; nothing when the file cannot be opened. An address beyond `digits` hex digits
// shows as the largest that many digits hold, so an edit of that length keeps it whole
// instead of cutting it to a different address.
struct FileRangeTexts {
  std::string start;
  std::string end;
};
std::optional<FileRangeTexts> FileRange(const std::string& name, int digits = 8);

// True when the name is an existing regular file (no wildcards, no directories); otherwise
// false, after "Not Found File ! " when showMessage is set.
bool CheckFileExists(const std::string& name, bool showMessage);

}  // namespace buffer
