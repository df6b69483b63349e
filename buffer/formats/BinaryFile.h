#pragma once
// Reading a file from disk into a FileImage: the whole file, or the chosen source range of
// it (bytes of the range past the end of the file read as 0xFF).
#include <cstdint>
#include <optional>
#include <string>

#include "buffer/core/SettingsPath.h"
#include "buffer/formats/FileImage.h"

namespace formats {

// The most bytes a binary load places; a source range is read up to this many bytes.
inline constexpr int32_t kLargestBinaryLoad = 0x1000000;

struct BinarySource {
  std::string name = "None";
  int32_t sourceStart = 0;  // 0: the whole file
  int32_t sourceEnd = 0;
};

// [LoadDlg] Name, SourceSAdd and SourceEAdd with this reader's defaults ("None", 0, 0).
BinarySource ReadBinarySource(const std::string& settingsPath = buffer::SettingsPath());

// The file's bytes. Nothing after "FILE NOT FOUND !" when the name is no regular file,
// after "Memory error." when the memory cannot be had, and after "Cannot read ..." when
// reading fails. On success the progress window is finished and closed.
std::optional<FileImage> ReadBinaryFile(const BinarySource& source);

}  // namespace formats
