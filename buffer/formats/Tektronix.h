#pragma once
// Tektronix Hex files ('/' records with nibble-sum checksums, 16-bit addresses): the
// detector, the reader into an image by address, and the writer. The extended Tektronix
// format ('%' records) is another format and is not taken for this one.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "buffer/formats/FileImage.h"
#include "buffer/formats/IntelHex.h"
#include "platform/winapi/MessageBox.h"

namespace formats {

struct ReaderDialect;

// True when the first record ('/' and four hex digits) with a good header checksum and a
// good data checksum comes before any record with a bad header checksum or a count of 0.
// Mode: FormatMessages.h.
bool DetectTektronix(int mode, const FileImage& file);
// The same in the dialect: the update tool's compares only the data checksum.
bool DetectTektronix(int mode, const FileImage& file, const ReaderDialect& dialect);

// Reads the records up to the first of count 0 into an image of bufSize bytes of fill
// (growing with 0x00 as the addresses need). `lowest` is the lowest record address
// (0xFFFFFF without data), `highest` the last address written. Nothing after "FORMAT
// ERROR !" (no record, or one that does not read, named by place) or "Memory Error.";
// data checksum mismatches show "File read in complete!..." and keep the data. The file
// is consumed.
std::optional<HexLoadResult> ParseTektronix(winapi::Owner owner, uint8_t fill, FileImage file,
                                            int32_t bufSize);

// The most bytes the 16-bit record addresses reach.
inline constexpr int32_t kTektronixLargestSave = 0x10000;

// Writes `length` bytes (rounded up to whole 32-byte slices) of the block from `start` as
// 16-byte records addressed from 0, then "/00000000", through a temporary file renamed
// over `name`. False, with no file written, when the rounded range is not inside the block
// or longer than kTektronixLargestSave; false after "Cannot save ..." when the file cannot
// be written (an old file of that name stays).
bool WriteTektronix(const std::string& name, int32_t length, int32_t start,
                    std::span<const uint8_t> block);

}  // namespace formats
