#pragma once
// JEDEC fuse files of programmable logic devices: read into the data buffer one fuse per
// byte (1 for a set fuse, 0 otherwise) and written from it with the fuse checksum. The
// console's main form keeps the last file's text (JedecText) and, after a load that passes
// IsJedecFile, sends buffer bytes to the programmer as 0 and 1.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "buffer/core/DataBuffer.h"
#include "buffer/core/SettingsPath.h"
#include "buffer/formats/LoadSource.h"

namespace formats {

// The text of the last JEDEC file read.
struct JedecText {
  static constexpr size_t kExtra = 100;

  std::vector<uint8_t> block;  // size + kExtra bytes; a NUL follows the text
  int32_t size = 0;            // the file's size on disk

  std::span<const uint8_t> Text() const { return {block.data(), static_cast<size_t>(size)}; }
};

// Drops the old text and makes room for the file's (a missing file has size 0). False
// after "File size is too big" when the room cannot be had.
bool AllocJedecText(JedecText& text, const std::string& name);

// Reads the file as text: CR LF becomes LF, a NUL character '0'; the places a shorter
// text leaves free hold 0xFF. False after "Cannot read ..." when it cannot be read.
bool ReadJedecText(JedecText& text, const std::string& name);

// Parses the fuse fields into the buffer: the default state F (or the user's fill when
// unused bytes are filled), the fuse lists L, the checksum C (its "Status" box either way),
// the user bits U after the last fuse. Fuse numbers are 64-bit; the last fuse and the user
// bits are kept inside the buffer. False when it gives up: no '*', a fuse number of more
// than 14 digits, or a fuse beyond the buffer ("Fuse Size is not Match").
bool ParseJedec(std::span<const uint8_t> text, buffer::DataBuffer& buffer,
                const LoadSettings& settings);

// True when exactly one STX stands before the text's first '*'; otherwise false after
// "This file is not a JEDEC file".
bool IsJedecFile(const JedecText& text);

// The sum of the bytes the fuses make in groups of 8 (fuse 8b + j is bit j of byte b; a
// byte of 1 is a set fuse, any other value a clear one), not reduced.
uint32_t JedecFuseChecksum(int64_t fuseCount, const uint8_t* fuses);

// The Load command's JEDEC road in its order: room, text, parse, the STX check. True when
// the file passed it (the main form then sets JedecSendMode and refreshes the grids);
// false when any step stopped it after its box. A failed read stops before the parse.
bool LoadJedecFile(JedecText& text, const std::string& name, buffer::DataBuffer& buffer,
                   const LoadSettings& settings);

// Writes fuses [start, start + count) of the block as a JEDEC file numbered from 0, through
// a temporary file renamed over `name`. False, with no file written, when the range is not
// inside the block; after "Memory error !" when the text cannot be built; after "Cannot
// save ..." when the file cannot be written (an old file of that name stays).
bool WriteJedec(const std::string& name, int32_t start, int32_t count,
                std::span<const uint8_t> block);

// The Save command's JEDEC writer: [SaveDlg] SourceSAdd (0), SourceEAdd (0) and Name
// ("None") give the range and the file.
bool SaveJedecFile(std::span<const uint8_t> block,
                   const std::string& settingsPath = buffer::SettingsPath());

}  // namespace formats
