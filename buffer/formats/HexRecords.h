#pragma once
// What the text-format readers and writers share beyond the building blocks:
// the reason a record's field does not read, addresses as text, the range a writer saves.
#include <cstddef>
#include <cstdint>
#include <string>

#include "buffer/formats/TextSource.h"

namespace formats {

// "<file>, line N, column C: the line ends in the record's <field>" (or "the text ends",
// or "no hex digit"), for the character the source stands at.
std::string DescribeBadField(const TextSource& source, const std::string& field);

// "0x1A2B"
std::string HexAddress(uint64_t value);

// "<file>, line N, column C: data at address 0x... lie beyond the largest image (0x... bytes)",
// for the record that starts at `at`.
std::string DescribeBeyondImage(const TextSource& source, size_t at, uint64_t address,
                                uint64_t limit);

// The bytes a text writer saves for a range of `length` bytes (whole 32-byte slices), or
// -1 when they do not lie inside a block of `blockSize` bytes from `start` or are more
// than `largest`.
int64_t SavedLength(int32_t start, int32_t length, int64_t largest, size_t blockSize);

}  // namespace formats
