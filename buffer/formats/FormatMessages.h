#pragma once
// The boxes of the file readers and detectors, with their exact texts, captions and flags.
#include "buffer/core/Messages.h"

namespace formats {

using buffer::Message;

// How loudly a detector answers: 0 shows nothing, 1 a box when the file is not of the
// format, 2 a box when it is.
enum DetectMessages : int { kDetectSilent = 0, kDetectOnFailure = 1, kDetectOnSuccess = 2 };

// A detector's two boxes.
struct DetectorMessages {
  Message success;
  Message failure;
};

// Shows the detector's box that the mode and the answer call for; returns the answer.
bool ReportDetection(const DetectorMessages& messages, int mode, bool isFormat);

namespace messages {

inline constexpr DetectorMessages kIntelHexDetect{
    {"This is Intel Hex format !", "Auto detect", winapi::MB_OK},
    {"File is not Intel Hex format !", "ERROR !", winapi::MB_OK}};
inline constexpr DetectorMessages kPofDetect{
    {"This is POF format !", "Auto detect", winapi::MB_OK},
    {"File is not POF format !", "ERROR !", winapi::MB_OK}};
// Detection found no format: the file is loaded as binary.
inline constexpr Message kBinaryDetected{"Binary Code File", "Detect", winapi::MB_OK};

inline constexpr Message kFileNotFound{"FILE NOT FOUND !", "", winapi::MB_OK};
inline constexpr Message kFileImageMemory{"Memory error.", "Load BIN File", winapi::MB_OK};
// The file exists but reading it failed; %s says which file and why.
inline constexpr Message kFileUnreadable{"Cannot read %s", "Load BIN File", winapi::MB_ICONERROR};
inline constexpr Message kHeaderTooLong{"Format Error !", "Load", winapi::MB_OK};

inline constexpr Message kIntelHexMemory{"Memory Error.", "ITL", winapi::MB_OK};
inline constexpr Message kIntelHexFormat{"FORMAT ERROR !", "", winapi::MB_OK};
// A fault the plain box does not name: %s says where in which file and what.
inline constexpr Message kIntelHexFormatAt{"FORMAT ERROR !\n\n%s", "", winapi::MB_OK};
inline constexpr Message kIntelHexChecksum{"File read error!!\n", "", winapi::MB_ICONERROR};

}  // namespace messages
}  // namespace formats
