// The update tool's Intel Hex detector and reader (no detector limit, type 04 passed over)
// on any text, with a buffer size taken from the input.
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/ReaderDialect.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t bufSize = data[0] | data[1] << 8;
  const formats::ReaderDialect& dialect = formats::UpdateToolReaders();
  auto file = fuzz::Image(data + 2, size - 2);
  formats::DetectIntelHex(2, file, dialect);
  formats::KeepFileSegmentBase keep;
  auto result = formats::ParseIntelHex(nullptr, 0xFF, std::move(file), bufSize, keep, dialect);
  if (result && result->image.size() < static_cast<size_t>(result->highest) + 1) std::abort();
  return 0;
}
