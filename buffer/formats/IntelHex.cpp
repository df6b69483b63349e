#include "buffer/formats/IntelHex.h"

#include <algorithm>
#include <new>

#include "buffer/core/HexText.h"
#include "buffer/core/Progress.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/HexFields.h"
#include "buffer/formats/HexRecords.h"
#include "buffer/formats/ParsedImage.h"
#include "buffer/formats/ReaderDialect.h"
#include "buffer/formats/ScanProgress.h"
#include "buffer/formats/TextBlockWriter.h"
#include "buffer/formats/TextSource.h"

namespace formats {
namespace {

enum RecordType : int { kData = 0x00, kEnd = 0x01, kSegment = 0x02, kLinear = 0x04 };

bool ChecksumMatches(uint32_t sum, int checksum) { return ((sum + checksum) & 0xFF) == 0; }

// The head every record starts with, read after its ':'.
struct RecordHead {
  int count;
  uint32_t address;
  int type;
};

bool ReadHead(HexFieldReader& reader, RecordHead& head) {
  head.count = reader.Byte();
  if (head.count < 0 || !reader.Number(4, head.address)) return false;
  head.type = reader.Byte();
  return head.type >= 0;
}

// One run of the reader over one file.
class IntelHexParser {
 public:
  IntelHexParser(const FileImage& file, ParsedImage& image, SegmentBaseChooser& chooser,
                 int32_t bufSize, bool linearRecords)
      : source_(file.name, file.Text()),
        reader_(source_),
        image_(image),
        chooser_(chooser),
        progress_(bufSize),
        linearRecords_(linearRecords) {}

  // False when the file is refused; Fault() then says why (empty: the plain box).
  bool Run();
  const std::optional<std::string>& Fault() const { return fault_; }
  bool SawRecord() const { return sawRecord_; }
  int32_t Mismatches() const { return mismatches_; }
  uint64_t End() const { return end_; }
  void CloseProgress() { progress_.Done(); }

 private:
  enum class Step { Next, Stop, Refuse };

  Step Record(size_t colon);
  Step Data(const RecordHead& head, size_t colon);
  Step CheckedRecord(const RecordHead& head);
  bool ReadBase(uint32_t& value);
  bool ReadChecksum();
  Step BadDigit(const std::string& field);

  TextSource source_;
  HexFieldReader reader_;
  ParsedImage& image_;
  SegmentBaseChooser& chooser_;
  ScanProgress progress_;
  const bool linearRecords_;

  bool sawRecord_ = false;
  bool sawSegment_ = false;
  uint64_t segmentBase_ = 0;
  uint64_t linearBase_ = 0;
  uint64_t end_ = 0;
  int32_t mismatches_ = 0;
  std::optional<std::string> fault_;
};

bool IntelHexParser::Run() {
  while (source_.Find(':')) {
    sawRecord_ = true;
    const size_t colon = source_.Position();
    progress_.At(static_cast<int64_t>(colon));
    source_.Skip(1);
    Step step = Record(colon);
    if (step == Step::Refuse) return false;
    if (step == Step::Stop) break;
  }
  return true;
}

IntelHexParser::Step IntelHexParser::Record(size_t colon) {
  reader_.ResetSums();
  RecordHead head{};
  // A ':' that starts no record (in a comment, say) is text like any other.
  if (!ReadHead(reader_, head)) {
    source_.Seek(colon + 1);
    return Step::Next;
  }
  switch (head.type) {
    case kData:
      return Data(head, colon);
    case kEnd: {
      Step step = CheckedRecord(head);
      return step == Step::Refuse ? step : Step::Stop;
    }
    case kSegment: {
      uint32_t value = 0;
      if (!ReadBase(value)) return BadDigit("segment address");
      uint32_t base = value * 16;
      if (!sawSegment_) {
        sawSegment_ = true;
        if (base != 0) base = chooser_.ChooseSegmentBase(base);
      }
      segmentBase_ = base;
      return CheckedRecord(head);
    }
    case kLinear: {
      if (!linearRecords_) break;  // passed over like every other type
      uint32_t value = 0;
      if (!ReadBase(value)) return BadDigit("linear address");
      linearBase_ = uint64_t{value} << 16;
      return Step::Next;  // its checksum is not looked at
    }
    default:
      break;
  }
  source_.Seek(colon + 1);
  return Step::Next;
}

IntelHexParser::Step IntelHexParser::Data(const RecordHead& head, size_t colon) {
  const uint64_t address = uint64_t{head.address} + segmentBase_ + linearBase_;
  uint8_t* out = image_.At(address, static_cast<size_t>(head.count));
  if (!out) {
    fault_ = DescribeBeyondImage(source_, colon, address, image_.Limit());
    return Step::Refuse;
  }
  if (!reader_.Bytes(out, static_cast<size_t>(head.count))) return BadDigit("data");
  end_ = std::max(end_, address + static_cast<uint64_t>(head.count));
  return ReadChecksum() ? Step::Next : Step::Refuse;
}

IntelHexParser::Step IntelHexParser::CheckedRecord(const RecordHead& head) {
  for (int k = 0; k < head.count; ++k)
    if (reader_.Byte() < 0) return BadDigit("data");
  return ReadChecksum() ? Step::Next : Step::Refuse;
}

// The 4 digits after the type field, read beside the record's own digits.
bool IntelHexParser::ReadBase(uint32_t& value) {
  const size_t at = source_.Position();
  HexFieldReader digits(source_);
  bool ok = digits.Number(4, value);
  if (ok) source_.Seek(at);
  return ok;
}

bool IntelHexParser::ReadChecksum() {
  // A ':' in the checksum field: the record is shorter than its count says.
  if (source_.Peek() == ':' || source_.PeekAt(1) == ':') {
    fault_ = "";
    return false;
  }
  const uint32_t sum = reader_.ByteSum();
  const int checksum = reader_.Byte();
  if (checksum < 0) {
    BadDigit("checksum");
    return false;
  }
  if (!ChecksumMatches(sum, checksum)) ++mismatches_;
  return true;
}

IntelHexParser::Step IntelHexParser::BadDigit(const std::string& field) {
  const int c = source_.Peek();
  std::string what = c == TextSource::kEnd    ? "the text ends"
                     : c == '\r' || c == '\n' ? "the line ends"
                                              : "no hex digit";
  fault_ = source_.ErrorHere(what + " in the record's " + field).Describe();
  return Step::Refuse;
}

}  // namespace

uint32_t SegmentBaseForChoice(StartAddressChoice choice, uint32_t fileBase,
                              const std::string& destinationText) {
  switch (choice) {
    case StartAddressChoice::ForceZero:
      return 0;
    case StartAddressChoice::SetAddress:
      return buffer::ParseHex(destinationText);
    case StartAddressChoice::FileDefault:
      break;
  }
  return fileBase;
}

bool DetectIntelHex(int mode, const FileImage& file) {
  return DetectIntelHex(mode, file, ConsoleReaders());
}

bool DetectIntelHex(int mode, const FileImage& file, const ReaderDialect& dialect) {
  TextSource source(file.name, file.Text());
  HexFieldReader reader(source);
  const int limit = dialect.intelDetectStepLimit;
  int stepped = 0;
  while (!source.AtEnd() && (limit == 0 || stepped < limit)) {
    if (source.Peek() != ':') {
      source.Skip(1);
      ++stepped;
      continue;
    }
    source.Skip(1);
    const size_t afterColon = source.Position();
    reader.ResetSums();
    RecordHead head{};
    if (ReadHead(reader, head) && head.count != 0 && head.type == kData) {
      bool digits = true;
      for (int k = 0; digits && k < head.count; ++k) digits = reader.Byte() >= 0;
      const uint32_t sum = reader.ByteSum();
      const int checksum = digits ? reader.Byte() : HexFieldReader::kBad;
      if (checksum >= 0 && ChecksumMatches(sum, checksum))
        return ReportDetection(dialect.intelDetect, mode, true);
      if (checksum >= 0) continue;  // the scan goes on after that checksum
    }
    source.Seek(afterColon);
  }
  return ReportDetection(dialect.intelDetect, mode, false);
}

std::optional<HexLoadResult> ParseIntelHex(winapi::Owner owner, uint8_t fill, FileImage file,
                                           int32_t bufSize, SegmentBaseChooser& chooser) {
  return ParseIntelHex(owner, fill, std::move(file), bufSize, chooser, ConsoleReaders());
}

std::optional<HexLoadResult> ParseIntelHex(winapi::Owner owner, uint8_t fill, FileImage file,
                                           int32_t bufSize, SegmentBaseChooser& chooser,
                                           const ReaderDialect& dialect) {
  std::optional<ParsedImage> image;
  try {
    image.emplace(bufSize, fill);
    // Two digits a byte: a text never holds more data than half its length.
    image->ExpectEnd(static_cast<uint64_t>(file.size) / 2);
  } catch (const std::bad_alloc&) {
    buffer::ShowMessage(messages::kIntelHexMemory, owner);
    return std::nullopt;
  }
  IntelHexParser parser(file, *image, chooser, bufSize, dialect.intelLinearRecords);
  const bool read = parser.Run();
  file.bytes = {};
  std::optional<HexLoadResult> result;
  if (!read && !parser.Fault()->empty()) {
    buffer::ShowMessage(messages::kIntelHexFormatAt, *parser.Fault(), owner);
  } else if (!read || !parser.SawRecord()) {
    buffer::ShowMessage(messages::kIntelHexFormat, owner);
  } else {
    if (parser.Mismatches() != 0) buffer::ShowMessage(dialect.intelChecksum, owner);
    result.emplace();
    result->highest = parser.End() == 0 ? 0 : static_cast<int32_t>(parser.End() - 1);
    result->image = image->Release();
  }
  parser.CloseProgress();
  return result;
}

bool WriteIntelHex(const std::string& name, int32_t length, int32_t start,
                   std::span<const uint8_t> block) {
  const int64_t saved = RoundSavedLength(std::max(length, 0));
  if (saved > kIntelHexLargestSave || start < 0 ||
      start + saved > static_cast<int64_t>(block.size()))
    return false;
  buffer::ProgressSink& progress = buffer::Progress();
  progress.Show();
  progress.SetPosition(0);
  const int64_t progressStep = std::max<int64_t>(length / 100, 1);

  TextBlockWriter writer(name);
  uint32_t segments = 0;
  const uint8_t* data = block.data() + start;
  for (int64_t offset = 0; offset < saved; offset += kSavedLengthUnit) {
    writer.BeginRecord();
    if (offset / 0x10000 > segments) {
      ++segments;
      writer.Append(":02000002");
      writer.AppendHex(segments, 1);
      writer.Append("000");
      writer.AppendHexByte(static_cast<uint8_t>(-(4 + 16 * segments)));
      writer.AppendLineEnd();
    }
    const uint32_t address = static_cast<uint32_t>(offset) & 0xFFFF;
    uint32_t sum = 0x20 + (address >> 8) + (address & 0xFF);
    writer.Append(":20");
    writer.AppendHex(address, 4);
    writer.Append("00");
    writer.AppendHexBytes(data + offset, kSavedLengthUnit);
    for (int k = 0; k < kSavedLengthUnit; ++k) sum += data[offset + k];
    writer.AppendHexByte(static_cast<uint8_t>(-sum));
    writer.AppendLineEnd();
    if ((offset / kSavedLengthUnit) % std::max<int64_t>(progressStep / kSavedLengthUnit, 1) == 0)
      progress.StepIt();
  }
  writer.BeginRecord();
  writer.Append(":00000001FF");
  writer.AppendLineEnd();
  const bool written = writer.Finish();
  progress.Finish();
  progress.Close();
  return written;
}

}  // namespace formats
