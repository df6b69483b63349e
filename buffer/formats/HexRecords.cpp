#include "buffer/formats/HexRecords.h"

#include "buffer/formats/TextBlockWriter.h"

#include <cstdio>

namespace formats {

std::string DescribeBadField(const TextSource& source, const std::string& field) {
  const int c = source.Peek();
  const std::string what = c == TextSource::kEnd            ? "the text ends"
                           : c == '\r' || c == '\n'         ? "the line ends"
                                                            : "no hex digit";
  return source.ErrorHere(what + " in the record's " + field).Describe();
}

std::string HexAddress(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string DescribeBeyondImage(const TextSource& source, size_t at, uint64_t address,
                                uint64_t limit) {
  return source
      .ErrorAt(at, "data at address " + HexAddress(address) + " lie beyond the largest image (" +
                       HexAddress(limit) + " bytes)")
      .Describe();
}

}  // namespace formats

namespace formats {

int64_t SavedLength(int32_t start, int32_t length, int64_t largest, size_t blockSize) {
  const int64_t saved = RoundSavedLength(length > 0 ? length : 0);
  if (start < 0 || saved > largest || start + saved > static_cast<int64_t>(blockSize)) return -1;
  return saved;
}

}  // namespace formats
