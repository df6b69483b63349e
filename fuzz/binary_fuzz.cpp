// Binary and .com loads with source ranges and split choices taken from the input, as a
// hand-written settings file could give them.
#include <cstring>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return 0;
  formats::LoadSettings settings;
  std::memcpy(&settings.sourceStart, data, 4);
  std::memcpy(&settings.sourceEnd, data + 4, 4);
  settings.evenOdd = data[8] % 3;
  formats::KeepFileSegmentBase keep;
  auto source = formats::ReadLoadSource(buffer::kFormatBinary, fuzz::Image(data + 9, size - 9), settings,
                                        {nullptr, keep, 0x100000});
  if (source) fuzz::CheckSource(*source);
  return 0;
}
