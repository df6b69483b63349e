#pragma once
// Remembered clicks on the 8-bit hex grid: the cell's text at the click, checked against the
// buffer when the form closes to tell the user that data were changed.
#include <cstdint>
#include <string>
#include <vector>

namespace buffer {

class DataBuffer;

struct TRecord {
  std::int32_t RowAddress;  // buffer address of the clicked row's first byte
  std::int32_t Column;      // 0 to 15
  std::string CellText;     // the hex cell's text at the click
};

class EditRecords {
 public:
  void Add(const TRecord& record) { records_.push_back(record); }
  void Clear() { records_.clear(); }
  const std::vector<TRecord>& records() const { return records_; }

  // True at the first record whose remembered text no longer matches its byte. Records whose
  // byte lies at or past BufSize (the buffer shrank since the click) are skipped.
  bool AnyChanged(DataBuffer& buffer) const;

 private:
  std::vector<TRecord> records_;
};

// The note appended to the console's file panel when a close finds changed data.
inline constexpr const char* kDataChangedNote = "    Data are changed!!";

}  // namespace buffer
