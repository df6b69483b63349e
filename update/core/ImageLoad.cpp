#include "update/core/ImageLoad.h"

#include <cstdint>
#include <limits>

#include "buffer/core/Checksum.h"
#include "buffer/core/Merge.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/LoadSource.h"

namespace update {

bool LoadImageFile(buffer::DumpEditCore& child) {
  formats::BinarySource source = formats::ReadBinarySource();
  source.sourceStart = 0;
  source.sourceEnd = 0;
  std::optional<formats::FileImage> file = formats::ReadBinaryFile(source);
  if (!file) return false;
  const std::int32_t destination = formats::ReadLoadSettings().destination;
  const std::int32_t length = file->size;
  if (destination < 0 || destination > std::numeric_limits<std::int32_t>::max() - length) {
    buffer::ShowMessage(messages::kDestinationError);
    return false;
  }
  if (child.buffer().BufSize() < length && !child.ResizeBuffer(static_cast<std::uint32_t>(length))) return false;
  if (!buffer::MergeData(child, std::move(file->bytes), length, destination)) return false;
  buffer::DumpEditFields& fields = child.fields();
  fields.FileStartAdd = destination;
  fields.FileSize = destination + length;
  if (length == 0) {
    fields.LastSum = 0;
  } else {
    buffer::ComputeChecksum(child, destination, destination + length - 1, buffer::kChecksumStoreOnly);
  }
  return true;
}

}  // namespace update
