// The update tool's Motorola S-record detector and its reader up to S7 or S9 on any text,
// with a buffer size from the input.
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/ReaderDialect.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t bufSize = (data[0] | data[1] << 8) * 16;  // up to 1 MiB
  auto file = fuzz::Image(data + 2, size - 2);
  formats::DetectMotorolaS(2, file, formats::UpdateToolReaders());
  auto result = formats::ParseMotorolaSUntilEnd(nullptr, 0xFF, std::move(file), bufSize);
  if (result && result->image.size() < static_cast<size_t>(result->highest) + 1) std::abort();
  return 0;
}
