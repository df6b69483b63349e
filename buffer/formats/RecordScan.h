#pragma once
// What a record reader keeps while it scans one text: the text with its field readers, the
// image the data go to, the progress bar over the buffer, and the range, checksum mismatches
// and refusal found so far.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "buffer/formats/FileImage.h"
#include "buffer/formats/HexFields.h"
#include "buffer/formats/ParsedImage.h"
#include "buffer/formats/ScanProgress.h"
#include "buffer/formats/TextSource.h"

namespace formats {

class RecordScan {
 public:
  // The lowest address a scan without data reports.
  static constexpr uint64_t kNoData = 0xFFFFFF;

  RecordScan(const FileImage& file, ParsedImage& image, int32_t bufSize)
      : source_(file.name, file.Text()), reader_(source_), image_(image), progress_(bufSize) {}

  // Why and where the text was refused.
  const std::string& Fault() const { return fault_; }
  int32_t Mismatches() const { return mismatches_; }
  uint64_t Lowest() const { return lowest_; }
  uint64_t End() const { return end_; }
  void CloseProgress() { progress_.Done(); }

 protected:
  enum class Step { Next, Stop, Refuse };
  Step Refuse(std::string fault) {
    fault_ = std::move(fault);
    return Step::Refuse;
  }
  // The data of one record went to [address, address + count).
  void Covered(uint64_t address, uint64_t count) {
    lowest_ = std::min(lowest_, address);
    end_ = std::max(end_, address + count);
  }

  TextSource source_;
  HexFieldReader reader_;
  ParsedImage& image_;
  ScanProgress progress_;
  int32_t mismatches_ = 0;

 private:
  uint64_t lowest_ = kNoData;
  uint64_t end_ = 0;
  std::string fault_;
};

}  // namespace formats
