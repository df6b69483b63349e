// The Motorola S-record detector and reader on any text, with a buffer size from the input.
#include "buffer/formats/MotorolaS.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t bufSize = (data[0] | data[1] << 8) * 16;  // up to 1 MiB
  auto file = fuzz::Image(data + 2, size - 2);
  formats::DetectMotorolaS(2, file);
  auto result = formats::ParseMotorolaS(std::move(file), bufSize, 0xFF);
  if (result && result->image.size() < static_cast<size_t>(result->highest)) std::abort();
  return 0;
}
