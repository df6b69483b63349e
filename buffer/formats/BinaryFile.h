#pragma once
// Reading a file from disk into a FileImage: the whole file, or the chosen source range of
// it (bytes of the range past the end of the file read as 0xFF).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Why a load refuses a file that changed while it was read.
inline constexpr const char* kFileChanged = "the file changed while it was read";

// The whole file's bytes. None, with `failure` naming the file and the reason, when it
// cannot be opened or read, when it changed while it was read or ended before its size.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& name, std::string& failure);

// The file's bytes. Nothing after "FILE NOT FOUND !" when the name is no regular file,
// after "Memory error." when the memory cannot be had, and after "Cannot read ..." when
// opening or reading fails, when the file changed while it was read or ended before its
// size. On success the progress window is finished and closed.
std::optional<FileImage> ReadBinaryFile(const BinarySource& source);

}  // namespace formats
