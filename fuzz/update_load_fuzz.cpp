// The update tool's load road without the buffer: a format code and a destination from the
// input (0 detects), then that format's reader in the update tool's profile.
#include <cstring>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  formats::LoadSettings settings;
  settings.format = data[0] % 9;
  std::memcpy(&settings.destination, data + 1, 4);
  const formats::LoadProfile& profile = formats::UpdateToolLoad();
  auto file = fuzz::Image(data + 5, size - 5);
  int32_t format = settings.format;
  if (format == buffer::kFormatAutoDetect) format = formats::DetectLoadFormat(file, 2, profile);
  formats::KeepFileSegmentBase keep;
  auto source = formats::ReadLoadSource(format, std::move(file), settings,
                                        {nullptr, keep, 0x30000, profile});
  if (source) fuzz::CheckSource(*source);
  return 0;
}
