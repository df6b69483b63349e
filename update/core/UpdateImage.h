#pragma once
// Whether a Dump Edit child holds a system image the programmer may be updated with: exactly
// 0x20000 bytes loaded, the format tag "QZ7100" at 0 and again at 0x1FFE0, and a byte sum of
// the loaded range that is a nonzero multiple of 0x100. An accepted image keeps its tag and
// its model text (15 bytes at 0x1FFE7) in the child; a rejected one clears them.
#include <array>
#include <cstdint>
#include <string>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/Messages.h"

namespace update {

inline constexpr std::int32_t kUpdateImageSize = 0x20000;
inline constexpr std::int32_t kFormatTagAddress = 0x1FFE0;
inline constexpr std::int32_t kModelAddress = 0x1FFE7;
inline constexpr std::int32_t kModelLength = 15;
inline constexpr const char* kFormatTag = "QZ7100";

namespace messages {
inline constexpr buffer::Message kImageRejected{
    "The file format is not proper for updating .\nThe hardware will be out of order \n"
    "if you still update the system.",
    "Warning", winapi::MB_OK};
}  // namespace messages

// The texts of the frame's two file labels.
struct FileLabels {
  std::string formatId;
  std::string model;
};

// The labels of a child that holds no accepted image.
inline const FileLabels kNoImageLabels{"File Format ID  : Error!", "File Model : Error !"};

// A 20-character field as text: up to its first 0.
std::string FieldText(const std::array<char, 20>& field);

// Checks the child's buffer against FileSize and LastSum. A rejection shows the warning box
// (owned by `owner`, the child's window) and gives the "Error!" labels; the caller then wipes
// the buffer. The tags are read only where the buffer holds them: a buffer too short for
// them is a mismatch.
bool CheckUpdateImage(buffer::DumpEditCore& child, winapi::Owner owner, FileLabels& labels);

// Whether the child holds an image accepted by the last check, not withdrawn since, and the
// buffer still reaches the image's end.
bool HoldsAcceptedImage(const buffer::DumpEditCore& child);

// After a resize: a buffer that no longer reaches the image's end has lost the image's upper
// part, tags included, so the acceptance is withdrawn; growing the buffer again brings
// zeros, not the image. True when the child held an acceptance that is now withdrawn.
bool WithdrawCutImage(buffer::DumpEditCore& child);

}  // namespace update
