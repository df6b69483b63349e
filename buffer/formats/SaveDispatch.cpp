#include "buffer/formats/SaveDispatch.h"

#include "buffer/core/HexText.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/IntelHex.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/Palunit.h"
#include "buffer/formats/SafeFileWriter.h"
#include "buffer/formats/Tektronix.h"
#include "buffer/formats/TextBlockWriter.h"
#include "platform/winapi/IniFile.h"

namespace formats {
namespace {


constexpr buffer::Message TooBig(const char* text) { return {text, "SAVE", winapi::MB_ICONERROR}; }

bool WriteIntelHexReplacing(const std::string& name, int32_t length, int32_t start,
                            std::span<const uint8_t> block) {
  return SaveReplacing(name, [&](const std::string& temporary) {
    return WriteIntelHex(temporary, length, start, block);
  });
}

template <MotorolaRecords kind>
bool WriteMotorolaKind(const std::string& name, int32_t length, int32_t start,
                       std::span<const uint8_t> block) {
  return WriteMotorolaS(name, length, kind, start, block);
}

const std::array<SaveFormatRow, kSaveFormatCount> kRows{{
    {"Binary/Machine Code", -1, {}, false, &WriteBinaryFile},
    {"Intel Hex", kIntelHexLargestSave - 1,
     TooBig("File Too Big for Intel Format,\nPlease Select other Format."), true,
     &WriteIntelHexReplacing},
    {"Motorola %S[S1]", MotorolaLargestSave(MotorolaRecords::S1) - 1,
     TooBig("File Too Big for Motorola %S[S1],\nPlease Select other Format."), true,
     &WriteMotorolaKind<MotorolaRecords::S1>},
    {"Motorola S2", MotorolaLargestSave(MotorolaRecords::S2) - 1,
     TooBig("File Too Big for Motorola S2,\nPlease Select other Format."), true,
     &WriteMotorolaKind<MotorolaRecords::S2>},
    // S3 addresses reach further than any buffer.
    {"Motorola S3", -1, {}, true, &WriteMotorolaKind<MotorolaRecords::S3>},
    {"Tektronix HEX", kTektronixLargestSave - 1,
     TooBig("File Too Big for Tektlonix Format,\nPlease Select other Format."), true,
     &WriteTektronix},
    {"GAL File", -1, {}, false, nullptr},
}};

// The bytes the writer reads, [start, start + saved), lie inside the block.
bool InsideBlock(const SaveFormatRow& row, int32_t start, int32_t length, size_t blockSize) {
  if (start < 0 || length <= 0) return false;
  const int64_t saved = row.wholeSlices ? RoundSavedLength(length) : length;
  return int64_t{start} + saved <= static_cast<int64_t>(blockSize);
}

}  // namespace

const std::array<SaveFormatRow, kSaveFormatCount>& SaveFormats() { return kRows; }

const SaveFormatRow& SaveFormatOf(int32_t format) {
  if (format < 0 || format >= kSaveFormatCount) return kRows[0];
  return kRows[format];
}

bool CheckSaveSize(int32_t format, int32_t start, int32_t end) {
  const SaveFormatRow& row = SaveFormatOf(format);
  if (row.largestSpan < 0 || int64_t{end} - start <= row.largestSpan) return true;
  buffer::ShowMessage(row.tooBig);
  return false;
}

bool WriteBinaryFile(const std::string& name, int32_t length, int32_t start,
                     std::span<const uint8_t> block) {
  if (start < 0 || length < 0 || int64_t{start} + length > static_cast<int64_t>(block.size()))
    return false;
  const auto bytes = block.subspan(static_cast<size_t>(start), static_cast<size_t>(length));
  return SaveReplacing(name, [&](const std::string& temporary) {
    return WriteFileChunks({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, temporary, false);
  });
}

SaveRequest ReadSaveRequest(const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  SaveRequest request;
  request.name = ini.ReadString(kSaveDlgSection, "Name", "None");
  request.start = ini.ReadInteger(kSaveDlgSection, "SourceSAdd", 0);
  request.end = ini.ReadInteger(kSaveDlgSection, "SourceEAdd", 0);
  request.format = ini.ReadInteger(kSaveDlgSection, "Format", 0);
  return request;
}

bool SaveBufferToFile(std::span<const uint8_t> block, const std::string& settingsPath) {
  const SaveRequest request = ReadSaveRequest(settingsPath);
  // Formats the dispatcher does not write (JEDEC among them) save as binary.
  const int32_t format = SaveFormatOf(request.format).write ? request.format : 0;
  const SaveFormatRow& row = SaveFormatOf(format);
  // The dialog has checked the range; a settings file edited by hand has not.
  if (!CheckSaveSize(format, request.start, request.end)) return false;
  const int64_t length = int64_t{request.end} - request.start + 1;
  if (length > INT32_MAX ||
      !InsideBlock(row, request.start, static_cast<int32_t>(length), block.size())) {
    buffer::ShowMessage(messages::kSaveFailed,
                        "\"" + request.name + "\": the range " +
                            buffer::FormatHex6(request.start) + ".." +
                            buffer::FormatHex6(request.end) + " is not inside the buffer");
    return false;
  }
  return row.write(request.name, static_cast<int32_t>(length), request.start, block);
}

bool SaveFromDialog(std::span<const uint8_t> block, const std::string& settingsPath) {
  if (ReadSaveRequest(settingsPath).format > static_cast<int32_t>(SaveFormat::Tektronix))
    return SaveJedecFile(block, settingsPath);
  return SaveBufferToFile(block, settingsPath);
}

}  // namespace formats
