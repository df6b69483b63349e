// MS-DOS .exe loads: the header drop on files of any length.
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  formats::KeepFileSegmentBase keep;
  formats::LoadSettings settings;
  auto source = formats::ReadLoadSource(buffer::kFormatMsDosExe, fuzz::Image(data, size), settings,
                                        {nullptr, keep, 0x100000});
  if (source) fuzz::CheckSource(*source);
  return 0;
}
