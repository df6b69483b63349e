// The update tool's Tektronix detector (data checksum only) and the reader on any text, with
// a buffer size from the input.
#include "buffer/formats/ReaderDialect.h"
#include "buffer/formats/Tektronix.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t bufSize = (data[0] | data[1] << 8) * 16;  // up to 1 MiB
  auto file = fuzz::Image(data + 2, size - 2);
  if (!formats::DetectTektronix(2, file, formats::UpdateToolReaders())) return 0;
  auto result = formats::ParseTektronix(nullptr, 0xFF, std::move(file), bufSize);
  if (result && result->image.size() < static_cast<size_t>(result->highest) + 1) std::abort();
  return 0;
}
