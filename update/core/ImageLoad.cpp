#include "update/core/ImageLoad.h"

#include <optional>

#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/BufferLoad.h"
#include "buffer/formats/LoadSource.h"

namespace update {

int ReadBinaryFile(formats::FileImage& image) {
  formats::BinarySource source = formats::ReadBinarySource();
  source.sourceStart = 0;
  source.sourceEnd = 0;
  std::optional<formats::FileImage> file = formats::ReadBinaryFile(source);
  if (!file) return 0;
  image = std::move(*file);
  return 1;
}

int LoadFileToBuffer(buffer::DumpEditCore& child, formats::FileImage image, int report,
                     int messages, winapi::Owner owner) {
  // Extended segment records set their base without asking where the data go.
  formats::KeepFileSegmentBase keep;
  const int32_t size = image.size;
  const formats::LoadOutcome outcome = formats::LoadIntoBuffer(
      child, std::move(image), size, {report, messages, owner, keep, formats::UpdateToolLoad()});
  return outcome == formats::LoadOutcome::kRefused ? 0 : 1;
}

bool LoadImageFile(buffer::DumpEditCore& child, winapi::Owner owner) {
  formats::FileImage image;
  return ReadBinaryFile(image) && LoadFileToBuffer(child, std::move(image), 0, 0, owner);
}

}  // namespace update
