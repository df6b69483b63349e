#include "buffer/core/EditRecords.h"

#include "buffer/core/DataBuffer.h"
#include "buffer/core/HexText.h"

namespace buffer {

bool EditRecords::AnyChanged(DataBuffer& buffer) const {
  BufferLock lock(buffer);
  for (const TRecord& record : records_) {
    const std::int64_t address = std::int64_t{record.RowAddress} + record.Column;
    if (address < 0 || address >= lock.size()) continue;
    if (ParseHex(record.CellText) != lock[static_cast<std::size_t>(address)]) return true;
  }
  return false;
}

}  // namespace buffer
