#include "buffer/core/Checksum.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "buffer/core/HexText.h"
#include "buffer/core/Messages.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

constexpr const char* kReportCaption = "Get Check Sum";
constexpr std::int32_t kFallbackReportSize = 0x1000000;
constexpr std::array<std::int32_t, 8> kReportSizes{0x10000,  0x20000,  0x40000,  0x80000,
                                                   0x100000, 0x200000, 0x400000, 0x800000};

std::string AddressLine(std::int32_t from, std::int32_t to) {
  return "Address From " + FormatHex6(from) + "H To " + FormatHex6(to) + "H\n\n";
}

// The file range's end: as long as the summed range, in wrapping 32-bit arithmetic.
std::int32_t FileRangeEnd(std::int32_t fileStart, std::int32_t start, std::int32_t end) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(fileStart) +
                                   static_cast<std::uint32_t>(end) -
                                   static_cast<std::uint32_t>(start));
}

// The sum of [first, last] of the buffer; 0 for an empty range or a buffer without a block.
std::uint32_t SumRange(DataBuffer& buffer, std::int64_t first, std::int64_t last,
                       ProgressSteps* steps) {
  BufferLock lock(buffer);
  std::uint32_t sum = 0;
  if (!lock.data() || first > last) return sum;
  auto add = [&](std::int64_t from, std::int64_t to) {
    sum += ByteSum(lock.data() + from, static_cast<std::size_t>(to - from));
  };
  if (steps) steps->Run(first, last, add);
  else add(first, last + 1);
  return sum;
}

// The buffer part of the file report: its last address, after the rounding resize when the
// unused bytes are filled.
std::int32_t FileReportBufferEnd(DumpEditCore& form, std::int32_t end) {
  if (TIniFile(SettingsPath()).ReadInteger("LoadDlg", "UnuserFillCheck", 0) != 1) return end;
  const std::int32_t size = FileReportBufferSize(end, form.buffer().BufSize());
  // Data at or above 0x1000000 would be cut by the table's fallback: that buffer keeps its
  // size. A failed resize leaves the old size, and the report ends inside it.
  if (end < kFallbackReportSize) form.ResizeBuffer(size);
  return std::min(size, form.buffer().BufSize()) - 1;
}

}  // namespace

std::uint32_t ByteSum(const std::uint8_t* bytes, std::size_t count) {
  // Eight bytes at a time: the even and the odd bytes of a word are added into four 16-bit
  // lanes, which 128 words (at most 510 a word each) cannot overflow.
  constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
  constexpr std::size_t kWordsPerFold = 128;
  std::uint32_t sum = 0;
  std::size_t at = 0;
  while (count - at >= 8) {
    const std::size_t words = std::min((count - at) / 8, kWordsPerFold);
    std::uint64_t lanes = 0;
    for (std::size_t w = 0; w < words; ++w, at += 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes + at, sizeof word);
      lanes += (word & kLowBytes) + (word >> 8 & kLowBytes);
    }
    lanes = (lanes & 0x0000FFFF0000FFFFull) + (lanes >> 16 & 0x0000FFFF0000FFFFull);
    sum += static_cast<std::uint32_t>(lanes) + static_cast<std::uint32_t>(lanes >> 32);
  }
  for (; at < count; ++at) sum += bytes[at];
  return sum;
}

std::int32_t FileReportBufferSize(std::int32_t end, std::int32_t bufSize) {
  for (std::int32_t size : kReportSizes) {
    if (size > end) return size;
  }
  return end < kFallbackReportSize ? kFallbackReportSize : bufSize;
}

std::string RangeReportText(std::int32_t from, std::int32_t to, std::uint32_t sum) {
  return AddressLine(from, to) + "Check Sum = " + FormatHex(sum, 8);
}

std::string FileReportText(std::int32_t from, std::int32_t to, std::uint32_t fileSum,
                           std::int32_t bufferEnd, std::uint32_t bufferSum) {
  return AddressLine(from, to) + "File Check Sum = " + FormatHex(fileSum, 8) + "\n\n\n\n" +
         "Buffer From 000000H To " + FormatHex6(bufferEnd) + "H\n\n" +
         "Buffer Check Sum = " + FormatHex(bufferSum, 8);
}

std::int32_t ComputeChecksum(DumpEditCore& form, std::int32_t start, std::int32_t end, int mode) {
  // A caller may name a range past the buffer (a no-sender Get Sum reads a stale [BufInf]):
  // only the bytes the buffer holds are summed and reported.
  const std::int32_t last = std::min(end, form.buffer().BufSize() - 1);
  ProgressSteps steps(std::int64_t{last} - start);
  const std::uint32_t sum = SumRange(form.buffer(), std::max(start, 0), last, &steps);
  steps.Finish();

  DumpEditFields& fields = form.fields();
  fields.RunSum = sum;
  fields.LastSum = sum;
  fields.LastSumStart = start;
  fields.LastSumEnd = last;
  if (mode != kChecksumRangeReport && mode != kChecksumFileReport && mode != kChecksumSumReport)
    return start;

  std::string report;
  if (mode == kChecksumSumReport) {
    report = FormatHex(sum, 8);
  } else if (mode == kChecksumRangeReport) {
    report = RangeReportText(start, last, sum);
  } else {
    const std::int32_t from = fields.FileStartAdd;
    fields.LastSumEnd = FileReportBufferEnd(form, last);
    fields.RunSum = SumRange(form.buffer(), 0, fields.LastSumEnd, nullptr);
    report = FileReportText(from, FileRangeEnd(from, start, last), sum, fields.LastSumEnd,
                            fields.RunSum);
  }
  ShowMessage({report.c_str(), kReportCaption, winapi::MB_OK});
  return start;
}

void GetSumFromDialog(DumpEditCore& form, int mode) {
  TIniFile ini(SettingsPath());
  const std::int32_t start = ini.ReadInteger(kGetSumSection, "StartAdd", 0);
  const std::int32_t end = ini.ReadInteger(kGetSumSection, "EndAdd", 0);
  if (end < 1) return;
  ProgressShown shown;
  ComputeChecksum(form, start, end, mode);
}

}  // namespace buffer
