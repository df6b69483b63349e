#pragma once
// The byte-sum checksum of a buffer range: the sum itself, kept in the Dump Edit's fields
// for the information page, and the report box of the Get Check Sum command and of loads.
// Sums are unsigned bytes added into a 32-bit register that wraps.
#include <cstddef>
#include <cstdint>
#include <string>

#include "buffer/core/DumpEditCore.h"

namespace buffer {

// What ComputeChecksum shows besides storing the sum.
enum ChecksumMode : int {
  kChecksumStoreOnly = 0,      // GANG TOOLS loads: no box
  kChecksumRangeReport = 1,    // the Get Check Sum command: the range and its sum
  kChecksumFileReport = 2,     // loads from the Load button: the file and the buffer sums
  kChecksumSumReport = 3,      // the update tool's checksum button: the sum alone
};

inline constexpr std::size_t kChecksumReportLimit = 127;

// The Get Check Sum dialog's section of the settings file: StartAdd, EndAdd, OK.
inline constexpr const char* kGetSumSection = "GetSumDlg";

// The 32-bit wrapping sum of `count` bytes.
std::uint32_t ByteSum(const std::uint8_t* bytes, std::size_t count);

// The buffer size of the file report's buffer part: the first of 0x10000, 0x20000, ...,
// 0x800000 above `end`, else 0x1000000; a buffer that holds data at or above 0x1000000
// keeps its size (`bufSize`), so the report never cuts loaded data.
std::int32_t FileReportBufferSize(std::int32_t end, std::int32_t bufSize);

// The report texts, at most kChecksumReportLimit characters.
std::string RangeReportText(std::int32_t from, std::int32_t to, std::uint32_t sum);
std::string FileReportText(std::int32_t from, std::int32_t to, std::uint32_t fileSum,
                           std::int32_t bufferEnd, std::uint32_t bufferSum);

// Sums [start..end] (end clipped to the last buffer byte) with progress steps in the window
// the caller shows and closes, stores RunSum, LastSum, LastSumStart and LastSumEnd, and
// shows the mode's report (caption "Get Check Sum", no owner) with the buffer unlocked: the
// range and its sum, the file and buffer sums, or the sum alone ("%08lX"). A range that
// ends before it starts sums nothing.
// The file report rounds the buffer to FileReportBufferSize when [LoadDlg]
// UnuserFillCheck is 1; when that resize fails the buffer part ends within the old size.
// Returns start.
std::int32_t ComputeChecksum(DumpEditCore& form, std::int32_t start, std::int32_t end, int mode);

// What the Get Check Sum command does after its dialog answered OK: the range of
// [GetSumDlg] (nothing when EndAdd is below 1), summed and reported in the mode (the
// console's range report, the update tool's sum) with the progress window shown around it
// (its caption left as it is) and closed afterwards.
void GetSumFromDialog(DumpEditCore& form, int mode = kChecksumRangeReport);

}  // namespace buffer
