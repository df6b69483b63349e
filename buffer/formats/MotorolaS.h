#pragma once
// Motorola S-record files: the detector, the reader into an image by address, and the S1,
// S2 and S3 writers.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "buffer/formats/FileImage.h"
#include "buffer/formats/IntelHex.h"
#include "platform/winapi/MessageBox.h"

namespace formats {

struct ReaderDialect;

// The data buffer's size for a Motorola load: every 24-bit address plus a whole record.
inline constexpr int32_t kMotorolaLoadBufSize = 0x1020000;

// True when the whole text is S-records: every S1, S2 and S3 record's checksum is right, no
// 'S' (or "%S") stands before a type other than 0, 1, 2, 3, 5, 6, 7, 8, 9, and at least one
// S1 to S3 record has a checksum field other than 00. Mode: FormatMessages.h.
bool DetectMotorolaS(int mode, const FileImage& file);
// The same in the dialect. The update tool's passes over every pair but S0, S1, S2, S3, S7
// and S9 and over data records that do not check, and answers yes at the first S1, S2 or S3
// record whose checksum is right.
bool DetectMotorolaS(int mode, const FileImage& file, const ReaderDialect& dialect);

// The image's fill: the user's fill byte when unused bytes are to be filled, else 0xFF.
uint8_t MotorolaFill(int32_t userFill, bool fillUnused);

// Reads the records into an image of bufSize + 1024 bytes, every one of them `fill`; S3
// addresses drop their top byte. `highest` of the result is the END of the data
// (exclusive), unlike the other hex readers. Nothing after "File Data ERROR !!..." naming
// the place (a bad checksum in any record, a record that does not read) or after
// "Memory Error."; the file is consumed either way.
std::optional<HexLoadResult> ParseMotorolaS(FileImage file, int32_t bufSize, uint8_t fill);

// The update tool's reader: S0, S1, S2, S3, S7 and S9 records up to the first S7 or S9 (or
// the end of the text), S3 addresses whole, into an image of bufSize bytes of `fill` that
// grows with 0x00 as the addresses need (up to ParsedImage::kLimit). `lowest` is the lowest
// data address (0xFFFFFF without data), `highest` the last address written (inclusive, 0
// without data). Nothing after "FORMAT ERROR !" (no record, a count of 0, a record that does
// not read, data beyond the limit; named by place) or "Memory Error."; checksum mismatches
// show "File read in complete!..." and keep the data. The file is consumed.
std::optional<HexLoadResult> ParseMotorolaSUntilEnd(winapi::Owner owner, uint8_t fill,
                                                    FileImage file, int32_t bufSize);

// The record kinds of the save dispatcher (its formats 2, 3 and 4).
enum class MotorolaRecords : int32_t { S1 = 0, S2 = 2, S3 = 3 };

// The most bytes a kind's addresses reach (S3: the whole 32-bit range).
int64_t MotorolaLargestSave(MotorolaRecords kind);

// Writes `length` bytes (rounded up to whole 32-byte slices) of the block from `start` as
// 16-byte records of the kind, addresses counted from 0, between the S0 header and the end
// record, through a temporary file renamed over `name`. False, with no file written, when
// the rounded range is not inside the block or beyond the kind's addresses; false after
// "Cannot save ..." when the file cannot be written (an old file of that name stays).
bool WriteMotorolaS(const std::string& name, int32_t length, MotorolaRecords kind, int32_t start,
                    std::span<const uint8_t> block);

}  // namespace formats
