#pragma once
// The texts of the Dump Edit's information page: the last checksum and its range, the buffer
// size, the loaded data's start and end, and the name and format of the last loaded file.
#include <cstdint>
#include <optional>
#include <string>

#include "buffer/core/SettingsPath.h"

namespace buffer {

struct DumpEditFields;

// What the labels say before anything fills them.
inline constexpr const char* kInitialCheckSumText = "Check Sum : 00000000H";
inline constexpr const char* kInitialSumRangeText = "Range :";
inline constexpr const char* kInitialAddressText = "000000";
inline constexpr const char* kInitialFileText = "None";
inline constexpr const char* kInitialMapCursorText = "[000000]";

// The labels filled from the form's own fields.
struct BufferInfoTexts {
  std::string checkSum;     // "Check Sum : %08lX H" of LastSum
  std::string sumRange;     // "Get Sum Range : %06lXH <---> %06lXH"
  std::string bufSize;      // "%06lX"
  std::string startAddress; // "%06lX" of FileStartAdd
  std::string endAddress;   // "%06lX" of FileSize - 1, 0 for no loaded data
};
BufferInfoTexts BufferInfoTextsOf(const DumpEditFields& fields, std::int32_t bufSize);

// The name shown for a load format code; nothing for a code without one (JEDEC among them),
// which leaves the label as it was.
std::optional<std::string> FileFormatName(std::int32_t format);

// The last loaded file as the Load dialog's section tells it.
struct LoadedFileTexts {
  std::string name;                   // [LoadDlg] Name, "None" when absent
  std::optional<std::string> format;  // FileFormatName of [LoadDlg] Format (3 when absent)
};
LoadedFileTexts ReadLoadedFileTexts(const std::string& settingsPath = SettingsPath());

// The map's row address column: "%06lX" of the row's first address.
std::string MapRowAddressText(std::int32_t row, std::int32_t mapOffset);
// The map's cursor label: "[%06lX]".
std::string MapCursorText(std::int32_t address);

}  // namespace buffer
