#pragma once
// What the Load dialog decides without its widgets: the formats it offers, which controls
// each format switches, the fill edit's JEDEC rule, its seed from [LoadDlg], the checks of
// its Load button in their order and the keys that button writes.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "buffer/core/HexText.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"

namespace buffer {

inline constexpr const char* kLoadDlgSection = "LoadDlg";
inline constexpr const char* kLoadHistorySection = "BinaryEditLoadFileHistory";
inline constexpr int32_t kLoadHistoryLength = 10;
inline constexpr const char* kNoFileName = "None";

// The format group's items; the index is the format code.
inline constexpr std::array<const char*, kLoadFormatCount> kLoadFormatItems{
    "Auto Detect",    "MS-DOS fn.exe", "MS-DOS fn.com",  "Binary / Machine Code",
    "Intel  HEX",     "Motorola HEX",  "Tektronix HEX",  "POF For EPCSx",
    "GAL / JEDEC File"};

inline constexpr const char* kLoadFileFilter =
    "All File (*.*)|*.*|Binary (*.bin)|*.bin|Hex (*.hex)|*.hex|MS-DOS fn.com|*.com|"
    "MS-DOS fn.exe|*.exe|POF|*.pof";

// What the update tool's dialog shows and does otherwise than the console's. Its user picks
// only the file: format, source range, destination, fill byte and clear-buffer check show
// the stored values and cannot be changed.
struct LoadDialogProfile {
  std::span<const char* const> formatItems;
  int32_t designFormat;          // the format group's index before the section is read (-1 none)
  bool choicesEnabled;           // the format group, both panels and the fill check
  const char* sourceTitle;
  const char* destinationTitle;
  const char* destinationHint;   // nullptr: none
  const char* fillCheckCaption;
  const char* fillLabel;         // the fill edit's own label; nullptr: the check box is it
  bool splitGroups;              // the even/odd and byte/word groups, and their keys
  const char* fileFilter;
  int sourceDigits;
  HexKeyRule keyRule;
  // The console's format rules: a format switches the fill, the destination and the split,
  // the fill check switches the fill edit, JEDEC's fuse value, the dialog opening on "Auto
  // Detect" with the destination off, and LastLoadFormat and the loaded name reported.
  // Without them a format only switches the source edits (items 1 to 3 on).
  bool consoleRules;
};

const LoadDialogProfile& ConsoleLoadDialog();
const LoadDialogProfile& UpdateToolLoadDialog();

// The destination must lie below this address.
inline constexpr int32_t kDestinationLimit = 0xF00000;

// What choosing a format does to the other controls.
struct FormatControls {
  bool evenOddEnabled;      // the even/odd group
  bool sourceRangeEnabled;  // the source start and end edits
  bool destinationEnabled;  // the destination edit
  bool fillSwitchedOn;      // the fill box checked and the fill edit enabled
  const char* userFill;     // the fill edit's new text
};
FormatControls ControlsForFormat(int32_t format);

// The byte/word group is usable only for a real even or odd split.
inline bool ByteWordEnabled(bool evenOddEnabled, int32_t evenOddIndex) {
  return evenOddEnabled && evenOddIndex > 0;
}

// The fill edit holds a fuse value for JEDEC files: one character, "0" or "1"; anything
// else (nothing included) becomes "0".
std::string JedecFillText(const std::string& text);

// [LoadDlg] as the dialog's creation reads it.
struct LoadDialogSeed {
  std::string Name;          // "None" when absent
  int32_t Format;            // 3 when absent
  int32_t UserFill;          // 255 when absent
  bool UnuserFillCheck;      // true when absent
};
LoadDialogSeed ReadLoadDialogSeed(const std::string& settingsPath = SettingsPath());

// The dialog's entries as the Load button finds them (disabled controls included).
struct LoadDialogEntries {
  std::string Name;
  std::string SourceSAdd;
  std::string SourceEAdd;
  std::string DistSAdd;
  std::string UserFill;
  int32_t Format = 0;
  int32_t EvenOdd = 0;
  int32_t EvenOddByteWord = 0;
  bool UnuserFillCheck = true;
};

// The values the Load button writes.
struct LoadDialogKeys {
  int32_t SourceSAdd;
  int32_t SourceEAdd;
  int32_t DistSAdd;
  int32_t UserFill;
  int32_t Format;
  int32_t EvenOdd;
  int32_t EvenOddByteWord;
  int32_t UnuserFillCheck;
  std::string Name;
};

// The Load button's checks in order: the file exists, the source start lies below its end,
// both lie below the file size, the destination below F00000, the fill byte below 100. The
// first that fails shows its box and gives nothing.
std::optional<LoadDialogKeys> CheckLoadEntries(const LoadDialogEntries& entries);

// Writes the integer keys in the dialog's order (EvenOdd and EvenOddByteWord only when the
// dialog has the split groups), then Name and OK = "1". Stops at the first write that fails
// and returns false.
bool WriteLoadDialogKeys(const LoadDialogKeys& keys, bool splitKeys = true,
                         const std::string& settingsPath = SettingsPath());

}  // namespace buffer
