#include "buffer/formats/Pof.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "buffer/formats/FormatMessages.h"

namespace formats {
namespace {

constexpr int32_t kSignatureWindow = 8;
constexpr int32_t kDataRun = 8;

constexpr std::array<uint8_t, 256> kReversed = [] {
  std::array<uint8_t, 256> table{};
  for (int value = 0; value < 256; ++value) {
    uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit)
      if (value & (1 << bit)) reversed |= static_cast<uint8_t>(0x80 >> bit);
    table[value] = reversed;
  }
  return table;
}();

bool HasSignature(const FileImage& file) {
  std::string_view head(reinterpret_cast<const char*>(file.bytes.data()),
                        static_cast<size_t>(std::min(file.size, kSignatureWindow)));
  return head.find("POF") != std::string_view::npos;
}

int32_t FindDataRun(const FileImage& file) {
  int32_t run = 0;
  for (int32_t at = kSignatureWindow; at < file.size; ++at) {
    run = file.bytes[static_cast<size_t>(at)] == 0xFF ? run + 1 : 0;
    if (run == kDataRun) return at - kDataRun + 1;
  }
  return 0;
}

}  // namespace

uint8_t ReverseBits(uint8_t value) { return kReversed[value]; }

int32_t DetectPof(int mode, const FileImage& file) {
  const int32_t offset = HasSignature(file) ? FindDataRun(file) : 0;
  ReportDetection(messages::kPofDetect, mode, offset != 0);
  return offset;
}

bool StripHeader(FileImage& file, int32_t header, bool reverse) {
  if (header < 0 || file.size < header) {
    buffer::ShowMessage(messages::kHeaderTooLong);
    return false;
  }
  uint8_t* bytes = file.bytes.data();
  const size_t count = static_cast<size_t>(file.size - header);
  if (reverse) {
    for (size_t i = 0; i < count; ++i) bytes[i] = kReversed[bytes[i + static_cast<size_t>(header)]];
  } else {
    std::memmove(bytes, bytes + header, count);
  }
  return true;
}

}  // namespace formats
