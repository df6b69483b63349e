#pragma once
// From a file image to the source block a merge places in the data buffer: the [LoadDlg]
// values the load reads, detection, and one reader per format (the format codes are
// buffer/core/LoadFormat.h's). The load dispatcher stays a thin call: detect when the format
// is 0, read, merge what comes back, set FileStartAdd and FileSize, report the checksum.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/FileImage.h"
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/ReaderDialect.h"
#include "platform/winapi/MessageBox.h"

namespace formats {

// The header an MS-DOS .exe load drops.
inline constexpr int32_t kExeHeaderSize = 512;

// [LoadDlg] as the load reads it, with its defaults for missing keys.
struct LoadSettings {
  int32_t userFill = 0;
  int32_t evenOdd = 1;
  int32_t sourceStart = 1;
  int32_t sourceEnd = 1;
  int32_t destination = 0;  // DistSadd
  int32_t format = 0;
  int32_t unusedFill = 0;  // UnuserFillCheck

  uint8_t Fill() const { return static_cast<uint8_t>(userFill & 0xFF); }
  bool FillUnused() const { return unusedFill == 1; }
};
LoadSettings ReadLoadSettings(const std::string& settingsPath = buffer::SettingsPath());

struct LoadProfile;

// The first format whose detector says yes (Intel Hex, Motorola S, Tektronix, POF), else
// binary; with mode 2 each detector shows its success box and a binary file "Binary Code
// File". Never .exe or .com.
int32_t DetectLoadFormat(const FileImage& file, int mode);
// The same as the profile detects: the update tool's tries no POF and says nothing of a
// binary file.
int32_t DetectLoadFormat(const FileImage& file, int mode, const LoadProfile& profile);

// Which pair of merges places the block: MergeSplitWithFill / MergeSplit, or (Motorola
// S) MergeWithSplitMode / MergeData; the first of each pair when fillUnused is set.
enum class MergeRoute { Split, Plain };
// How the load's checksum is reported: ComputeChecksum over the range, or the Get Check
// Sum command (POF).
enum class ChecksumRoute { Range, GetSumCommand };

struct LoadedSource {
  std::vector<uint8_t> block;  // index 0 lands at destination; spare bytes follow length
  bool place = true;           // false: nothing is placed and only FileStartAdd changes
  int32_t length = 0;
  int32_t destination = 0;
  int32_t stride = 1;
  MergeRoute merge = MergeRoute::Split;
  bool fillUnused = false;
  uint8_t fill = 0;
  int32_t fileStartAdd = 0;
  int32_t fileSize = 0;
  ChecksumRoute checksum = ChecksumRoute::Range;
  int32_t checksumStart = 0;  // inclusive range of the placed data
  int32_t checksumEnd = 0;
};

struct ReaderContext;
using SourceReader = std::optional<LoadedSource> (*)(FileImage file, const LoadSettings& settings,
                                                     const ReaderContext& context);

// What differs between the two programs' loads. The console's takes its format from
// LastLoadFormat, detects POF, reads a binary file's source range with its even/odd split
// and gives a Motorola load a buffer of kMotorolaLoadBufSize bytes. The update tool's takes
// [LoadDlg] Format, places every binary file whole at the destination, reads Motorola S
// like the other hex formats (ParseMotorolaSUntilEnd), refuses a destination outside the
// buffer's addresses and reports a sum only for the checksum button.
struct LoadProfile {
  const ReaderDialect& readers;
  // The reader of each format code; a code past the table reads as binary.
  std::array<SourceReader, buffer::kLoadFormatCount> formats;
  bool formatFromLastChoice;  // LastLoadFormat, else [LoadDlg] Format
  bool detectsPof;
  bool binaryDetectedBox;     // detection finding nothing says "Binary Code File"
  bool motorolaFullBuffer;    // a Motorola load makes the buffer kMotorolaLoadBufSize bytes
  // A destination that is negative or puts the data's end past 0x7FFFFFFF refuses the load
  // with "Input Value Error !".
  bool destinationChecked;
  // The dispatcher's report argument as a ComputeChecksum mode.
  int (*checksumMode)(int report);
};

const LoadProfile& ConsoleLoad();
const LoadProfile& UpdateToolLoad();

// What the readers need besides the file: the window their boxes belong to, the answer to
// the start-address question, the buffer's size and the program's load profile, and whether
// the format was just detected on this very file (its detector has said yes already).
struct ReaderContext {
  winapi::Owner owner = nullptr;
  SegmentBaseChooser& chooser;
  int32_t bufSize = 0;
  const LoadProfile& profile = ConsoleLoad();
  bool detected = false;
};

// Reads the image as the format says in the context's profile (a code that is no reader's
// reads as binary). Nothing when the file is refused; the reader's box has then been shown.
// The image is consumed.
std::optional<LoadedSource> ReadLoadSource(int32_t format, FileImage file,
                                           const LoadSettings& settings,
                                           const ReaderContext& context);

}  // namespace formats
