#include "buffer/formats/LoadSource.h"

#include <algorithm>

#include "buffer/core/Checksum.h"
#include "buffer/formats/BinaryFile.h"
#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/Pof.h"
#include "buffer/formats/Tektronix.h"
#include "platform/winapi/IniFile.h"

namespace formats {
namespace {

constexpr const char* kLoadSection = "LoadDlg";

int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A block of `length` bytes placed with stride 1 at the destination, the checksum over
// them, FileStartAdd at the destination and FileSize at its end.
LoadedSource PlacedAtDestination(std::vector<uint8_t> block, int64_t length,
                                 const LoadSettings& settings) {
  LoadedSource source;
  source.block = std::move(block);
  source.length = Saturate(length);
  source.destination = settings.destination;
  source.fillUnused = settings.FillUnused();
  source.fill = settings.Fill();
  source.fileStartAdd = settings.destination;
  source.fileSize = Saturate(int64_t{settings.destination} + length);
  source.checksumStart = settings.destination;
  source.checksumEnd = Saturate(int64_t{settings.destination} + length - 1);
  return source;
}

std::optional<LoadedSource> ReadIntelHexSource(FileImage file, const LoadSettings& settings,
                                               const ReaderContext& context) {
  const ReaderDialect& dialect = context.profile.readers;
  if (!DetectIntelHex(kDetectOnFailure, file, dialect)) return std::nullopt;
  auto parsed = ParseIntelHex(context.owner, settings.Fill(), std::move(file), context.bufSize,
                              context.chooser, dialect);
  if (!parsed) return std::nullopt;
  // The image is copied from its address 0: gaps below and between records come along.
  return PlacedAtDestination(std::move(parsed->image), int64_t{parsed->highest} + 1, settings);
}

std::optional<LoadedSource> ReadTektronixSource(FileImage file, const LoadSettings& settings,
                                                const ReaderContext& context) {
  if (!DetectTektronix(kDetectOnFailure, file, context.profile.readers)) return std::nullopt;
  auto parsed = ParseTektronix(context.owner, settings.Fill(), std::move(file), context.bufSize);
  if (!parsed) return std::nullopt;
  // Copied from address 0, like Intel Hex: the lowest record address does not shift it.
  return PlacedAtDestination(std::move(parsed->image), int64_t{parsed->highest} + 1, settings);
}

// The buffer is kMotorolaLoadBufSize bytes by now (the dispatcher's resize). The image ends
// where the data end, and lands at the destination reduced to 24 bits. The detector checks
// the whole text; after detection said yes it would only say so again.
std::optional<LoadedSource> ReadMotorolaSource(FileImage file, const LoadSettings& settings,
                                               const ReaderContext& context) {
  if (!context.detected && !DetectMotorolaS(kDetectOnFailure, file)) return std::nullopt;
  auto parsed = ParseMotorolaS(std::move(file), context.bufSize,
                               MotorolaFill(settings.userFill, settings.FillUnused()));
  if (!parsed) return std::nullopt;
  LoadSettings placed = settings;
  placed.destination = settings.destination & 0xFFFFFF;
  LoadedSource source = PlacedAtDestination(std::move(parsed->image), parsed->highest, placed);
  source.merge = MergeRoute::Plain;
  return source;
}

// The update tool's: like the other hex formats, the image copied from its address 0 at the
// destination itself, in a buffer of any size.
std::optional<LoadedSource> ReadMotorolaUntilEndSource(FileImage file, const LoadSettings& settings,
                                                       const ReaderContext& context) {
  if (!DetectMotorolaS(kDetectOnFailure, file, context.profile.readers)) return std::nullopt;
  auto parsed =
      ParseMotorolaSUntilEnd(context.owner, settings.Fill(), std::move(file), context.bufSize);
  if (!parsed) return std::nullopt;
  return PlacedAtDestination(std::move(parsed->image), int64_t{parsed->highest} + 1, settings);
}

// A POF file that fails detection is not loaded (the whole file bit-reversed would be).
std::optional<LoadedSource> ReadPofSource(FileImage file, const LoadSettings& settings,
                                          const ReaderContext&) {
  const int32_t offset = DetectPof(kDetectOnFailure, file);
  if (offset == 0 || !StripHeader(file, offset, true)) return std::nullopt;
  const int32_t length = file.size - offset;
  LoadedSource source = PlacedAtDestination(std::move(file.bytes), length, settings);
  source.checksum = ChecksumRoute::GetSumCommand;
  return source;
}

std::optional<LoadedSource> ReadExeSource(FileImage file, const LoadSettings& settings,
                                          const ReaderContext&) {
  if (!StripHeader(file, kExeHeaderSize, false)) return std::nullopt;
  const int32_t length = file.size - kExeHeaderSize;
  return PlacedAtDestination(std::move(file.bytes), length, settings);
}

// The source range's bytes, never more than the image holds.
std::optional<LoadedSource> ReadBinaryRange(FileImage file, const LoadSettings& settings,
                                            const ReaderContext&) {
  int64_t count = int64_t{settings.sourceEnd} - settings.sourceStart + 1;
  count = std::min<int64_t>({count, kLargestBinaryLoad, file.size});
  LoadedSource source =
      PlacedAtDestination(std::move(file.bytes), std::max<int64_t>(count, 0), settings);
  source.fileStartAdd = settings.sourceStart;
  source.place = count > 0;
  source.stride = settings.evenOdd != 0 ? 2 : 1;
  source.fileSize = Saturate(int64_t{settings.sourceStart} + count);
  return source;
}

// The update tool's: the whole file at the destination, whatever the source range says.
std::optional<LoadedSource> ReadWholeFile(FileImage file, const LoadSettings& settings,
                                          const ReaderContext&) {
  const int32_t length = file.size;
  return PlacedAtDestination(std::move(file.bytes), length, settings);
}

int ConsoleChecksumMode(int report) {
  if (report == 0) return buffer::kChecksumStoreOnly;
  return report == 1 ? buffer::kChecksumRangeReport : buffer::kChecksumFileReport;
}

// Only the checksum button asks for the update tool's box.
int UpdateToolChecksumMode(int report) {
  return report == 1 ? buffer::kChecksumSumReport : buffer::kChecksumStoreOnly;
}

}  // namespace

const LoadProfile& ConsoleLoad() {
  static const LoadProfile profile{
      .readers = ConsoleReaders(),
      .formats = {&ReadBinaryRange, &ReadExeSource, &ReadBinaryRange, &ReadBinaryRange,
                  &ReadIntelHexSource, &ReadMotorolaSource, &ReadTektronixSource, &ReadPofSource,
                  &ReadBinaryRange},
      .formatFromLastChoice = true,
      .detectsPof = true,
      .binaryDetectedBox = true,
      .motorolaFullBuffer = true,
      .destinationChecked = false,
      .checksumMode = &ConsoleChecksumMode,
  };
  return profile;
}

const LoadProfile& UpdateToolLoad() {
  static const LoadProfile profile{
      .readers = UpdateToolReaders(),
      .formats = {&ReadWholeFile, &ReadExeSource, &ReadWholeFile, &ReadWholeFile,
                  &ReadIntelHexSource, &ReadMotorolaUntilEndSource, &ReadTektronixSource,
                  &ReadWholeFile, &ReadWholeFile},
      .formatFromLastChoice = false,
      .detectsPof = false,
      .binaryDetectedBox = false,
      .motorolaFullBuffer = false,
      .destinationChecked = true,
      .checksumMode = &UpdateToolChecksumMode,
  };
  return profile;
}

LoadSettings ReadLoadSettings(const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  LoadSettings settings;
  settings.userFill = ini.ReadInteger(kLoadSection, "UserFill", 0);
  settings.evenOdd = ini.ReadInteger(kLoadSection, "EvenOdd", 1);
  settings.sourceStart = ini.ReadInteger(kLoadSection, "SourceSAdd", 1);
  settings.sourceEnd = ini.ReadInteger(kLoadSection, "SourceEAdd", 1);
  settings.destination = ini.ReadInteger(kLoadSection, "DistSadd", 0);
  settings.format = ini.ReadInteger(kLoadSection, "Format", 0);
  settings.unusedFill = ini.ReadInteger(kLoadSection, "UnuserFillCheck", 0);
  return settings;
}

int32_t DetectLoadFormat(const FileImage& file, int mode) {
  return DetectLoadFormat(file, mode, ConsoleLoad());
}

int32_t DetectLoadFormat(const FileImage& file, int mode, const LoadProfile& profile) {
  const ReaderDialect& dialect = profile.readers;
  if (DetectIntelHex(mode, file, dialect)) return buffer::kFormatIntelHex;
  if (DetectMotorolaS(mode, file, dialect)) return buffer::kFormatMotorolaHex;
  if (DetectTektronix(mode, file, dialect)) return buffer::kFormatTektronixHex;
  if (profile.detectsPof && DetectPof(mode, file) != 0) return buffer::kFormatPof;
  if (profile.binaryDetectedBox && mode == kDetectOnSuccess)
    buffer::ShowMessage(messages::kBinaryDetected);
  return buffer::kFormatBinary;
}

std::optional<LoadedSource> ReadLoadSource(int32_t format, FileImage file,
                                           const LoadSettings& settings,
                                           const ReaderContext& context) {
  const auto& readers = context.profile.formats;
  const bool known = format >= 0 && format < static_cast<int32_t>(readers.size());
  const size_t index = known ? static_cast<size_t>(format) : size_t{buffer::kFormatBinary};
  const SourceReader read = readers[index];
  return read(std::move(file), settings, context);
}

}  // namespace formats
