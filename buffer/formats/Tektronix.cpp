#include "buffer/formats/Tektronix.h"

#include <algorithm>
#include <new>

#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/HexFields.h"
#include "buffer/formats/HexRecords.h"
#include "buffer/formats/ParsedImage.h"
#include "buffer/formats/ReaderDialect.h"
#include "buffer/formats/RecordScan.h"
#include "buffer/formats/SafeFileWriter.h"
#include "buffer/formats/ScanProgress.h"
#include "buffer/formats/TextBlockWriter.h"
#include "buffer/formats/TextSource.h"

namespace formats {
namespace {

constexpr int32_t kRecordBytes = 16;

// A '/' and four hex digits.
bool AtRecordStart(const TextSource& source) {
  if (source.Peek() != '/') return false;
  for (size_t k = 1; k <= 4; ++k) {
    const int c = source.PeekAt(k);
    if (c == TextSource::kEnd || kHexDigitValues[static_cast<uint8_t>(c)] < 0) return false;
  }
  return true;
}

// The record's head after its '/': address, count and header checksum.
struct RecordHead {
  uint32_t address = 0;
  int count = 0;
  uint32_t nibbleSum = 0;  // of the address and count digits
  int checksum = 0;
};

// False, the source at the digit, when a field does not read; `field` names it.
bool ReadHead(HexFieldReader& reader, RecordHead& head, const char*& field) {
  reader.ResetSums();
  reader.Number(4, head.address);  // AtRecordStart saw the digits
  field = "count";
  head.count = reader.Byte();
  if (head.count < 0) return false;
  head.nibbleSum = reader.NibbleSum() & 0xFF;
  field = "header checksum";
  head.checksum = reader.Byte();
  return head.checksum >= 0;
}

// The data into `out`, their nibble sum and the data checksum; false when a digit does
// not read.
bool ReadData(HexFieldReader& reader, int count, uint8_t* out, uint32_t& sum, int& checksum,
              const char*& field) {
  reader.ResetSums();
  field = "data";
  if (!reader.Bytes(out, static_cast<size_t>(count))) return false;
  sum = reader.NibbleSum() & 0xFF;
  field = "data checksum";
  checksum = reader.Byte();
  return checksum >= 0;
}

// One run of the reader over one file.
class TektronixParser : public RecordScan {
 public:
  using RecordScan::RecordScan;

  // False when a record is refused; Fault() says why and where.
  bool Run();
  bool SawRecord() const { return sawRecord_; }

 private:
  Step Record(size_t slash);

  bool sawRecord_ = false;
};

bool TektronixParser::Run() {
  while (source_.Find('/')) {
    const size_t slash = source_.Position();
    progress_.At(static_cast<int64_t>(slash));
    if (!AtRecordStart(source_)) {
      source_.Skip(1);
      continue;
    }
    sawRecord_ = true;
    source_.Skip(1);
    const Step step = Record(slash);
    if (step == Step::Refuse) return false;
    if (step == Step::Stop) break;
  }
  return true;
}

TektronixParser::Step TektronixParser::Record(size_t slash) {
  RecordHead head;
  const char* field = "";
  if (!ReadHead(reader_, head, field)) return Refuse(DescribeBadField(source_, field));
  if (head.count == 0) return Step::Stop;
  uint8_t* out = image_.At(head.address, static_cast<size_t>(head.count));
  if (!out)
    return Refuse(DescribeBeyondImage(source_, slash, head.address, image_.Limit()));
  uint32_t sum = 0;
  int checksum = 0;
  if (!ReadData(reader_, head.count, out, sum, checksum, field))
    return Refuse(DescribeBadField(source_, field));
  Covered(head.address, static_cast<uint64_t>(head.count));
  if (static_cast<uint32_t>(checksum) != sum) ++mismatches_;
  return Step::Next;
}

// The nibble sum of the hex digits of the value's low `digits` nibbles.
uint32_t DigitSum(uint32_t value, int digits) {
  uint32_t sum = 0;
  for (int k = 0; k < digits; ++k, value >>= 4) sum += value & 0xF;
  return sum;
}

}  // namespace

bool DetectTektronix(int mode, const FileImage& file) {
  return DetectTektronix(mode, file, ConsoleReaders());
}

bool DetectTektronix(int mode, const FileImage& file, const ReaderDialect& dialect) {
  TextSource source(file.name, file.Text());
  HexFieldReader reader(source);
  while (source.Find('/')) {
    if (!AtRecordStart(source)) {
      source.Skip(1);
      continue;
    }
    source.Skip(1);
    RecordHead head;
    const char* field = "";
    if (!ReadHead(reader, head, field) || head.count == 0) break;
    if (dialect.tektronixHeaderChecked && head.nibbleSum != static_cast<uint32_t>(head.checksum))
      break;
    uint8_t data[255];
    uint32_t sum = 0;
    int checksum = 0;
    if (!ReadData(reader, head.count, data, sum, checksum, field)) break;
    if (sum == static_cast<uint32_t>(checksum))
      return ReportDetection(dialect.tektronixDetect, mode, true);
  }
  return ReportDetection(dialect.tektronixDetect, mode, false);
}

std::optional<HexLoadResult> ParseTektronix(winapi::Owner owner, uint8_t fill, FileImage file,
                                            int32_t bufSize) {
  std::optional<ParsedImage> image;
  try {
    image.emplace(bufSize, fill);
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kHexImageMemory, owner);
    return std::nullopt;
  }
  TektronixParser parser(file, *image, bufSize);
  const bool read = parser.Run();
  file.bytes = {};
  if (!read || !parser.SawRecord()) {
    parser.CloseProgress();
    if (read)
      buffer::ShowMessage(messages::kTektronixFormat, owner);
    else
      buffer::ShowMessage(messages::kTektronixFormatAt, parser.Fault(), owner);
    return std::nullopt;
  }
  if (parser.Mismatches() != 0) buffer::ShowMessage(messages::kTektronixChecksum, owner);
  HexLoadResult result;
  result.lowest = static_cast<int32_t>(parser.Lowest());
  result.highest = parser.End() == 0 ? 0 : static_cast<int32_t>(parser.End() - 1);
  result.image = image->Release();
  return result;
}

bool WriteTektronix(const std::string& name, int32_t length, int32_t start,
                    std::span<const uint8_t> block) {
  const int64_t saved = SavedLength(start, length, kTektronixLargestSave, block.size());
  if (saved < 0) return false;
  const uint8_t* data = block.data() + start;
  return SaveReplacing(name, [&](const std::string& temporary) {
    ScanProgress progress(length);
    TextBlockWriter writer(temporary);
    for (int64_t offset = 0; offset < saved; offset += kRecordBytes) {
      writer.BeginRecord();
      const uint32_t address = static_cast<uint32_t>(offset) & 0xFFFF;
      writer.AppendChar('/');
      writer.AppendHex(address, 4);
      writer.Append("10");
      writer.AppendHexByte(static_cast<uint8_t>(DigitSum(address, 4) + 1));
      writer.AppendHexBytes(data + offset, kRecordBytes);
      uint32_t sum = 0;
      for (int k = 0; k < kRecordBytes; ++k) sum += DigitSum(data[offset + k], 2);
      writer.AppendHexByte(static_cast<uint8_t>(sum));
      writer.AppendLineEnd();
      progress.At(offset);
    }
    writer.BeginRecord();
    writer.Append("/00000000");
    writer.AppendLineEnd();
    return writer.Finish();
  });
}

}  // namespace formats
