#pragma once
// The Save command's formats: what the Save dialog offers and refuses, and the dispatcher
// that writes a range of the buffer in the chosen one. Every save goes through a temporary
// file renamed over the target, so a failure never loses the file it would replace.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "buffer/core/Messages.h"
#include "buffer/core/SettingsPath.h"

namespace formats {

inline constexpr const char* kSaveDlgSection = "SaveDlg";

// The Save dialog's format index.
enum class SaveFormat : int32_t {
  Binary = 0,
  IntelHex = 1,
  MotorolaS1 = 2,
  MotorolaS2 = 3,
  MotorolaS3 = 4,
  Tektronix = 5,
  Jedec = 6,
};
inline constexpr int32_t kSaveFormatCount = 7;

// Writes `length` bytes of the block from `start` to `name`; false after its box.
using SaveWriter = bool (*)(const std::string& name, int32_t length, int32_t start,
                            std::span<const uint8_t> block);

struct SaveFormatRow {
  const char* item;           // the dialog's radio item, shown as it stands
  int64_t largestSpan;        // the largest end - start the format's addresses reach; -1 none
  buffer::Message tooBig;     // shown when end - start is above largestSpan
  bool wholeSlices;           // the writer saves whole 32-byte slices (RoundSavedLength)
  SaveWriter write;           // nullptr for JEDEC, which the Save command writes itself
};

const std::array<SaveFormatRow, kSaveFormatCount>& SaveFormats();

// The row of a format index; every index the dispatcher does not know saves as binary.
const SaveFormatRow& SaveFormatOf(int32_t format);

// False after the format's "File Too Big ..." box when end - start is above its limit.
bool CheckSaveSize(int32_t format, int32_t start, int32_t end);

// Writes exactly the bytes [start, start + length) of the block, no header. False, with no
// file written, when they are not inside the block.
bool WriteBinaryFile(const std::string& name, int32_t length, int32_t start,
                     std::span<const uint8_t> block);

// What the dialog left in [SaveDlg].
struct SaveRequest {
  std::string name = "None";
  int32_t start = 0;
  int32_t end = 0;
  int32_t format = 0;
};
SaveRequest ReadSaveRequest(const std::string& settingsPath = buffer::SettingsPath());

// Writes [SaveDlg]'s range of the block (the whole allocation, slack included) in its
// format: 1 Intel Hex, 2 to 4 Motorola S1, S2, S3, 5 Tektronix, any other binary. True when
// the file holds the new data; false after a box (a range the format or the buffer cannot
// hold, or a file that cannot be written), the old file of that name kept.
bool SaveBufferToFile(std::span<const uint8_t> block,
                      const std::string& settingsPath = buffer::SettingsPath());

// The Save command after a confirmed dialog: format 6 and above to the JEDEC writer, the
// others to SaveBufferToFile.
bool SaveFromDialog(std::span<const uint8_t> block,
                    const std::string& settingsPath = buffer::SettingsPath());

}  // namespace formats
