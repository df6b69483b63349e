#include "update/core/UpdateImage.h"

#include <algorithm>
#include <cstring>

namespace update {
namespace {

bool TagAt(const buffer::BufferLock& bytes, std::int32_t address) {
  const auto length = static_cast<std::int32_t>(std::strlen(kFormatTag));
  if (address + length > bytes.size()) return false;
  return std::memcmp(bytes.data() + address, kFormatTag, static_cast<std::size_t>(length)) == 0;
}

// Copies `count` bytes at `address` into the field, the rest 0; nothing past the buffer.
void CopyField(const buffer::BufferLock& bytes, std::int32_t address, std::int32_t count,
               std::array<char, 20>& field) {
  field.fill(0);
  const std::int32_t available = std::clamp(bytes.size() - address, 0, count);
  std::memcpy(field.data(), bytes.data() + address, static_cast<std::size_t>(available));
}

}  // namespace

std::string FieldText(const std::array<char, 20>& field) {
  return std::string(field.data(), std::find(field.begin(), field.end(), '\0'));
}

bool CheckUpdateImage(buffer::DumpEditCore& child, winapi::Owner owner, FileLabels& labels) {
  buffer::DumpEditFields& fields = child.fields();
  bool accepted = false;
  if (child.buffer().exists()) {
    const buffer::BufferLock bytes(child.buffer());
    accepted = (fields.LastSum & 0xFF) == 0 && fields.LastSum != 0 && fields.FileSize == kUpdateImageSize &&
               TagAt(bytes, kFormatTagAddress) && TagAt(bytes, 0);
    if (accepted) {
      CopyField(bytes, kFormatTagAddress, static_cast<std::int32_t>(std::strlen(kFormatTag)), fields.FileFormatId);
      CopyField(bytes, kModelAddress, kModelLength, fields.FileModel);
    }
  }
  if (!accepted) {
    buffer::ShowMessage(messages::kImageRejected, owner);
    fields.FileFormatId.fill(0);
    fields.FileModel.fill(0);
    labels = kNoImageLabels;
    return false;
  }
  labels = {"File Format ID : " + FieldText(fields.FileFormatId), "File Model : " + FieldText(fields.FileModel)};
  return true;
}

bool HoldsAcceptedImage(const buffer::DumpEditCore& child) {
  return FieldText(child.fields().FileFormatId) == kFormatTag && child.fields().FileModel[0] != 0 &&
         child.buffer().BufSize() >= kUpdateImageSize;
}

bool WithdrawCutImage(buffer::DumpEditCore& child) {
  if (child.buffer().BufSize() >= kUpdateImageSize) return false;
  const bool held = child.fields().FileFormatId[0] != 0 || child.fields().FileModel[0] != 0;
  child.fields().FileFormatId.fill(0);
  child.fields().FileModel.fill(0);
  return held;
}

}  // namespace update
