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
inline constexpr DetectorMessages kMotorolaDetect{
    {"This is Motorola Hex format !", "Auto detect", winapi::MB_OK},
    {"File is not Motorola Hex format !", "ERROR !", winapi::MB_OK}};
inline constexpr DetectorMessages kTektronixDetect{
    {"This is Tektronix Hex format !", "Auto detect", winapi::MB_OK},
    {"File is not Tektronix Hex format !", "ERROR !", winapi::MB_OK}};
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

// A Motorola file with a bad checksum or a record that does not read; %s says where.
inline constexpr Message kMotorolaDataError{"File Data ERROR !!\n\nPlease check your file!\n %s",
                                            "", winapi::MB_OK};
// No memory for the image a hex reader fills (Motorola S, Tektronix).
inline constexpr Message kHexImageMemory{"Memory Error.", "Load", winapi::MB_OK};

// Tektronix: no record at all, or (with %s naming the place) a record that does not read.
inline constexpr Message kTektronixFormat = kIntelHexFormat;
inline constexpr Message kTektronixFormatAt = kIntelHexFormatAt;
// Checksum mismatches in a read that keeps its data (Tektronix; the update tool's Intel Hex and
// Motorola S).
inline constexpr Message kReadIncomplete{"File read in complete!\nData still load in buffer.", "",
                                         winapi::MB_ICONERROR};
inline constexpr Message kTektronixChecksum = kReadIncomplete;

inline constexpr Message kJedecTextTooBig{"File size is too big", "Load Error",
                                          winapi::MB_ICONINFORMATION};
// The JEDEC file cannot be read; %s names it and says why.
inline constexpr Message kJedecUnreadable{"Cannot read %s", "Load Error", winapi::MB_ICONERROR};
inline constexpr Message kJedecFuseSize{"Fuse Size is not Match", "Error", winapi::MB_OK};
// %s is the fuse checksum as 4 hex digits.
inline constexpr Message kJedecLoaded{"File load completed!!\n\nCheck Sum = %s", "Status",
                                      winapi::MB_OK};
inline constexpr Message kJedecChecksumMismatch{
    "File format error!!\n\nPlease check the file again!!", "Status", winapi::MB_OK};
inline constexpr Message kNotJedec{"This file is not a JEDEC file", "OPEN ERROR",
                                   winapi::MB_ICONINFORMATION};
inline constexpr Message kJedecSaveMemory{"Memory error !", "Buffer Resize.", winapi::MB_OK};

// A destination ([LoadDlg] DistSadd) that is negative or puts the loaded data's end past the
// largest address.
inline constexpr Message kDestinationOutside{"Input Value Error !", "ERROR", winapi::MB_ICONERROR};

// A save that did not reach the disk; %s names the file and says why. The old file is kept.
inline constexpr Message kSaveFailed{"Cannot save %s", "SAVE", winapi::MB_ICONERROR};

}  // namespace messages
}  // namespace formats
