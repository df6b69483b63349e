// The JEDEC parse and STX check on any text, into a buffer whose size and fill come from the
// input; the buffer's own bounds are the sanitizer's to watch.
#include "buffer/formats/Palunit.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  buffer::DataBuffer buffer;
  if (!buffer.Create(static_cast<uint32_t>(data[0] | data[1] << 8), 0x77)) return 0;
  formats::LoadSettings settings;
  settings.userFill = data[2];
  settings.unusedFill = data[2] & 1;
  formats::JedecText text;
  text.block.assign(data + 3, data + size);
  text.size = static_cast<int32_t>(size - 3);
  text.block.resize(text.block.size() + formats::JedecText::kExtra, 0);
  formats::ParseJedec(text.Text(), buffer, settings);
  formats::IsJedecFile(text);
  return 0;
}
