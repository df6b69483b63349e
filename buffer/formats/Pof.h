#pragma once
// POF files and the header strip shared with MS-DOS .exe files.
#include <cstdint>

#include "buffer/formats/FileImage.h"

namespace formats {

// The offset of the data in a POF file: "POF" within its first 8 bytes, then the first run
// of eight 0xFF bytes from offset 8 on (the run is data). 0 when the file is not POF or has
// no such run. Mode: FormatMessages.h.
int32_t DetectPof(int mode, const FileImage& file);

// Moves the bytes after a header of `header` bytes to the start of the image, in order,
// each one's bits reversed when `reverse` is set; the bytes after them are left as they
// were. False after "Format Error !" when the image is shorter than the header.
bool StripHeader(FileImage& file, int32_t header, bool reverse);

// 0x01 -> 0x80, 0x0F -> 0xF0, ...
uint8_t ReverseBits(uint8_t value);

}  // namespace formats
