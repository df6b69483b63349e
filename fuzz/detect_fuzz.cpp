// Automatic detection, then the reader of the format it found.
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto file = fuzz::Image(data, size);
  const int32_t format = formats::DetectLoadFormat(file, 2);
  formats::KeepFileSegmentBase keep;
  formats::LoadSettings settings;
  settings.sourceStart = 0;
  settings.sourceEnd = static_cast<int32_t>(size);
  auto source =
      formats::ReadLoadSource(format, std::move(file), settings, {nullptr, keep, 0x10000});
  if (source) fuzz::CheckSource(*source);
  return 0;
}
