#include "buffer/formats/MotorolaS.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/HexFields.h"
#include "buffer/formats/HexRecords.h"
#include "buffer/formats/ParsedImage.h"
#include "buffer/formats/ReaderDialect.h"
#include "buffer/formats/SafeFileWriter.h"
#include "buffer/formats/RecordScan.h"
#include "buffer/formats/ScanProgress.h"
#include "buffer/formats/TextBlockWriter.h"
#include "buffer/formats/TextSource.h"

namespace formats {
namespace {

constexpr int kLongestRecord = 255;
constexpr uint32_t kAddressMask = 0xFFFFFF;  // S3 addresses drop their top byte
constexpr int32_t kRecordBytes = 16;

// Address bytes of the data records S1, S2, S3; 0 for every other type.
int AddressBytes(int type) {
  switch (type) {
    case '1': return 2;
    case '2': return 3;
    case '3': return 4;
    default: return 0;
  }
}

// S6 (the 24-bit record count that srec_cat writes after 65535 records) is S5's twin.
bool KnownType(int type) { return type >= '0' && type <= '9' && type != '4'; }

// The types the update tool's detector and reader take: header, data and the S7 and S9 ends.
bool UpdateToolType(int type) {
  return (type >= '0' && type <= '3') || type == '7' || type == '9';
}
bool EndType(int type) { return type == '7' || type == '9'; }

uint8_t OnesComplement(uint32_t sum) { return static_cast<uint8_t>(~sum); }

// A record's count byte and the bytes it covers before the checksum (address and data):
// count - 1 of them.
struct RecordBody {
  int count = 0;
  uint8_t bytes[kLongestRecord];
  uint32_t sum = 0;
  int Length() const { return count > 0 ? count - 1 : 0; }
};

// Reads the count and the bytes it covers; on a bad digit `field` names the field.
bool ReadBody(HexFieldReader& reader, RecordBody& body, const char*& field) {
  reader.ResetSums();
  field = "count";
  body.count = reader.Byte();
  if (body.count < 0) return false;
  field = "data";
  if (!reader.Bytes(body.bytes, static_cast<size_t>(body.Length()))) return false;
  body.sum = reader.ByteSum();
  field = "checksum";
  return true;
}

// One run of the reader over one file.
class MotorolaParser {
 public:
  MotorolaParser(const FileImage& file, ParsedImage& image)
      : source_(file.name, file.Text()),
        reader_(source_),
        image_(image),
        progress_(file.size, "File processing ......") {}

  // False when the file is refused; Fault() says why and where.
  bool Run();
  const std::string& Fault() const { return fault_; }
  uint64_t End() const { return end_; }
  void CloseProgress() { progress_.Done(); }

 private:
  bool Record(size_t at);
  bool Refuse(std::string fault) {
    fault_ = std::move(fault);
    return false;
  }

  TextSource source_;
  HexFieldReader reader_;
  ParsedImage& image_;
  ScanProgress progress_;
  RecordBody body_;
  uint64_t end_ = 0;
  std::string fault_;
};

bool MotorolaParser::Run() {
  while (source_.Find('S')) {
    const size_t at = source_.Position();
    progress_.At(static_cast<int64_t>(at));
    source_.Skip(1);
    if (!Record(at)) return false;
  }
  return true;
}

bool MotorolaParser::Record(size_t at) {
  const int type = source_.Peek();
  if (type < '0' || type > '9')
    return Refuse(source_.ErrorHere("no record type after the 'S'").Describe());
  source_.Skip(1);
  const char* field = "";
  if (!ReadBody(reader_, body_, field)) return Refuse(DescribeBadField(source_, field));
  const size_t checksumAt = source_.Position();
  const int checksum = reader_.Byte();
  if (checksum < 0) return Refuse(DescribeBadField(source_, "checksum"));
  if (checksum != OnesComplement(body_.sum))
    return Refuse(source_
                      .ErrorAt(checksumAt, "the checksum is " + HexAddress(checksum) +
                                               ", the record's bytes give " +
                                               HexAddress(OnesComplement(body_.sum)))
                      .Describe());
  const int addressBytes = AddressBytes(type);
  const int dataCount = body_.Length() - addressBytes;
  if (addressBytes == 0 || dataCount <= 0) return true;
  uint32_t address = 0;
  for (int k = 0; k < addressBytes; ++k) address = address << 8 | body_.bytes[k];
  address &= kAddressMask;
  uint8_t* out = image_.At(address, static_cast<size_t>(dataCount));
  if (!out)
    return Refuse(DescribeBeyondImage(source_, at, address, image_.Limit()));
  std::memcpy(out, body_.bytes + addressBytes, static_cast<size_t>(dataCount));
  end_ = std::max<uint64_t>(end_, uint64_t{address} + static_cast<uint64_t>(dataCount));
  return true;
}

// The detector's look at one S1, S2 or S3 record, from its count digits on.
enum class DataCheck { Good, Counted, CountZero, Mismatch, Bad };

DataCheck CheckDataRecord(HexFieldReader& reader, RecordBody& body) {
  const char* field = "";
  if (!ReadBody(reader, body, field)) return DataCheck::Bad;
  if (body.count == 0) return DataCheck::CountZero;
  const int checksum = reader.Byte();
  if (checksum < 0) return DataCheck::Bad;
  if (checksum != OnesComplement(body.sum)) return DataCheck::Mismatch;
  return checksum != 0 ? DataCheck::Counted : DataCheck::Good;
}

// Steps over every character but 'S' and '%'; at one of them takes the record's letter and
// type ("%S1..." is taken as "S1...") and leaves the source at the count. False at the end.
bool NextRecordStart(TextSource& source, int& letter, int& type) {
  while (!source.AtEnd()) {
    const int c = source.Peek();
    if (c != 'S' && c != '%') {
      source.Skip(1);
      continue;
    }
    const size_t skip = c == '%' ? 1 : 0;
    letter = source.PeekAt(skip);
    type = source.PeekAt(skip + 1);
    source.Skip(skip + 2);
    return true;
  }
  return false;
}

// The update tool's detector: pairs it does not know and data records that do not check are
// passed over; the first data record with a good checksum answers yes.
bool FindGoodDataRecord(TextSource& source) {
  HexFieldReader reader(source);
  RecordBody body;
  int letter = 0;
  int type = 0;
  while (NextRecordStart(source, letter, type)) {
    if (letter != 'S' || !UpdateToolType(type) || AddressBytes(type) == 0) continue;
    const size_t countAt = source.Position();
    switch (CheckDataRecord(reader, body)) {
      case DataCheck::Good:
      case DataCheck::Counted:
        return true;
      case DataCheck::Mismatch:
        break;  // the scan goes on after the checksum
      case DataCheck::CountZero:
      case DataCheck::Bad:
        source.Seek(countAt);
        break;
    }
  }
  return false;
}

// The update tool's reader: records up to the first S7 or S9, mismatches counted and their
// data kept. Outside records the scan steps one character at a time, so records follow one
// another whatever their line ends ('%' before a record is passed over).
class MotorolaUntilEndParser : public RecordScan {
 public:
  using RecordScan::RecordScan;

  // False when a record is refused; Fault() says why and where.
  bool Run();
  int32_t Records() const { return records_; }

 private:
  // The position of the record's type digit when a known record starts here, else 0 (the
  // scan steps on).
  size_t RecordTypeAt(size_t at) const;
  Step Record(size_t start, int type);

  RecordBody body_;
  int32_t records_ = 0;
};

size_t MotorolaUntilEndParser::RecordTypeAt(size_t at) const {
  const auto text = source_.Text();
  const size_t letter = text[at] == '%' ? at + 1 : at;
  if (letter + 1 >= text.size() || text[letter] != 'S' || !UpdateToolType(text[letter + 1]))
    return 0;
  return letter + 1;
}

bool MotorolaUntilEndParser::Run() {
  const auto text = source_.Text();
  size_t at = 0;
  while (at < text.size()) {
    const size_t typeAt = RecordTypeAt(at);
    if (typeAt == 0) {
      ++at;
      continue;
    }
    ++records_;
    source_.Seek(typeAt + 1);
    const Step step = Record(at, text[typeAt]);
    if (step == Step::Refuse) return false;
    if (step == Step::Stop) break;
    at = source_.Position();
    progress_.At(static_cast<int64_t>(at));
  }
  return true;
}

MotorolaUntilEndParser::Step MotorolaUntilEndParser::Record(size_t start, int type) {
  const size_t countAt = source_.Position();
  const char* field = "";
  if (!ReadBody(reader_, body_, field)) return Refuse(DescribeBadField(source_, field));
  if (body_.count < 1)
    return Refuse(source_.ErrorAt(countAt, "the record's count is 0").Describe());
  const int checksum = reader_.Byte();
  if (checksum < 0) return Refuse(DescribeBadField(source_, "checksum"));
  if (checksum != OnesComplement(body_.sum)) ++mismatches_;
  const int addressBytes = AddressBytes(type);
  const int dataCount = body_.Length() - addressBytes;
  if (addressBytes > 0 && dataCount > 0) {
    uint32_t address = 0;
    for (int k = 0; k < addressBytes; ++k) address = address << 8 | body_.bytes[k];
    uint8_t* out = image_.At(address, static_cast<size_t>(dataCount));
    if (!out)
      return Refuse(DescribeBeyondImage(source_, start, address, image_.Limit()));
    std::memcpy(out, body_.bytes + addressBytes, static_cast<size_t>(dataCount));
    Covered(address, static_cast<uint64_t>(dataCount));
  }
  return EndType(type) ? Step::Stop : Step::Next;
}

}  // namespace

uint8_t MotorolaFill(int32_t userFill, bool fillUnused) {
  return fillUnused ? static_cast<uint8_t>(userFill & 0xFF) : 0xFF;
}

bool DetectMotorolaS(int mode, const FileImage& file) {
  return DetectMotorolaS(mode, file, ConsoleReaders());
}

bool DetectMotorolaS(int mode, const FileImage& file, const ReaderDialect& dialect) {
  TextSource source(file.name, file.Text());
  if (!dialect.motorolaWholeText)
    return ReportDetection(dialect.motorolaDetect, mode, FindGoodDataRecord(source));
  HexFieldReader reader(source);
  RecordBody body;
  bool sawData = false;
  int letter = 0;
  int type = 0;
  while (NextRecordStart(source, letter, type)) {
    if (letter != 'S' || !KnownType(type))
      return ReportDetection(dialect.motorolaDetect, mode, false);
    const size_t countAt = source.Position();
    if (AddressBytes(type) == 0) continue;  // not checked: the scan goes on at the count
    switch (CheckDataRecord(reader, body)) {
      case DataCheck::Bad:
      case DataCheck::Mismatch:
        return ReportDetection(dialect.motorolaDetect, mode, false);
      case DataCheck::CountZero:
        source.Seek(countAt);  // the scan goes on at the count
        break;
      case DataCheck::Counted:
        sawData = true;
        break;
      case DataCheck::Good:
        break;
    }
  }
  return ReportDetection(dialect.motorolaDetect, mode, sawData);
}

std::optional<HexLoadResult> ParseMotorolaS(FileImage file, int32_t bufSize, uint8_t fill) {
  std::optional<ParsedImage> image;
  try {
    image.emplace(bufSize, fill);
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kHexImageMemory);
    return std::nullopt;
  }
  // The whole image is fill, the spare bytes too: nothing but data and fill lies above the
  // data.
  std::memset(image->At(image->Size() - ParsedImage::kSpare, ParsedImage::kSpare), fill,
              ParsedImage::kSpare);

  MotorolaParser parser(file, *image);
  const bool read = parser.Run();
  file.bytes = {};
  parser.CloseProgress();
  if (!read) {
    buffer::ShowMessage(messages::kMotorolaDataError, parser.Fault());
    return std::nullopt;
  }
  HexLoadResult result;
  result.highest = static_cast<int32_t>(parser.End());
  result.image = image->Release();
  return result;
}

std::optional<HexLoadResult> ParseMotorolaSUntilEnd(winapi::Owner owner, uint8_t fill,
                                                    FileImage file, int32_t bufSize) {
  std::optional<ParsedImage> image;
  try {
    image.emplace(bufSize, fill);
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kHexImageMemory, owner);
    return std::nullopt;
  }
  MotorolaUntilEndParser parser(file, *image, bufSize);
  const bool read = parser.Run();
  file.bytes = {};
  parser.CloseProgress();
  if (!read) {
    buffer::ShowMessage(messages::kIntelHexFormatAt, parser.Fault(), owner);
    return std::nullopt;
  }
  if (parser.Records() == 0) {
    buffer::ShowMessage(messages::kIntelHexFormat, owner);
    return std::nullopt;
  }
  if (parser.Mismatches() != 0) buffer::ShowMessage(messages::kReadIncomplete, owner);
  HexLoadResult result;
  result.lowest = static_cast<int32_t>(parser.Lowest());
  result.highest = parser.End() == 0 ? 0 : static_cast<int32_t>(parser.End() - 1);
  result.image = image->Release();
  return result;
}

int64_t MotorolaLargestSave(MotorolaRecords kind) {
  switch (kind) {
    case MotorolaRecords::S1: return int64_t{1} << 16;
    case MotorolaRecords::S2: return int64_t{1} << 24;
    case MotorolaRecords::S3: break;
  }
  return int64_t{1} << 32;
}

bool WriteMotorolaS(const std::string& name, int32_t length, MotorolaRecords kind, int32_t start,
                    std::span<const uint8_t> block) {
  const int64_t saved = SavedLength(start, length, MotorolaLargestSave(kind), block.size());
  if (saved < 0) return false;
  const int addressDigits = kind == MotorolaRecords::S1 ? 4 : kind == MotorolaRecords::S2 ? 6 : 8;
  const char* head = kind == MotorolaRecords::S1 ? "S113" : kind == MotorolaRecords::S2 ? "S214" : "S315";
  const uint32_t countByte = static_cast<uint32_t>(addressDigits / 2 + kRecordBytes + 1);
  const uint8_t* data = block.data() + start;
  return SaveReplacing(name, [&](const std::string& temporary) {
    ScanProgress progress(length);
    TextBlockWriter writer(temporary);
    writer.Append("S0030000FC");
    writer.AppendLineEnd();
    for (int64_t offset = 0; offset < saved; offset += kRecordBytes) {
      writer.BeginRecord();
      const uint32_t address = static_cast<uint32_t>(offset);
      uint32_t sum = countByte;
      for (int shift = 0; shift < addressDigits * 4; shift += 8) sum += (address >> shift) & 0xFF;
      writer.Append(head);
      writer.AppendHex(address, addressDigits);
      writer.AppendHexBytes(data + offset, kRecordBytes);
      for (int k = 0; k < kRecordBytes; ++k) sum += data[offset + k];
      writer.AppendHexByte(OnesComplement(sum));
      writer.AppendLineEnd();
      progress.At(offset);
    }
    writer.BeginRecord();
    writer.Append(kind == MotorolaRecords::S3 ? "S70500000000FA" : "S9030000FC");
    writer.AppendLineEnd();
    return writer.Finish();
  });
}

}  // namespace formats
