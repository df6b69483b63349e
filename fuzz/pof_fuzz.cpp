// POF detection and the bit-reversing header strip.
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  formats::KeepFileSegmentBase keep;
  formats::LoadSettings settings;
  settings.destination = 0x100;
  auto source = formats::ReadLoadSource(buffer::kFormatPof, fuzz::Image(data, size), settings,
                                        {nullptr, keep, 0x100000});
  if (source) fuzz::CheckSource(*source);
  return 0;
}
