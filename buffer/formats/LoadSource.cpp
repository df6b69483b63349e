#include "buffer/formats/LoadSource.h"

#include <algorithm>

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
  if (!DetectIntelHex(kDetectOnFailure, file)) return std::nullopt;
  auto parsed = ParseIntelHex(context.owner, settings.Fill(), std::move(file), context.bufSize,
                              context.chooser);
  if (!parsed) return std::nullopt;
  // The image is copied from its address 0: gaps below and between records come along.
  return PlacedAtDestination(std::move(parsed->image), int64_t{parsed->highest} + 1, settings);
}

std::optional<LoadedSource> ReadTektronixSource(FileImage file, const LoadSettings& settings,
                                                const ReaderContext& context) {
  if (!DetectTektronix(kDetectOnFailure, file)) return std::nullopt;
  auto parsed = ParseTektronix(context.owner, settings.Fill(), std::move(file), context.bufSize);
  if (!parsed) return std::nullopt;
  // Copied from address 0, like Intel Hex: the lowest record address does not shift it.
  return PlacedAtDestination(std::move(parsed->image), int64_t{parsed->highest} + 1, settings);
}

// The buffer is kMotorolaLoadBufSize bytes by now (the dispatcher's resize). The image ends
// where the data end, and lands at the destination reduced to 24 bits.
std::optional<LoadedSource> ReadMotorolaSource(FileImage file, const LoadSettings& settings,
                                               const ReaderContext& context) {
  if (!DetectMotorolaS(kDetectOnFailure, file)) return std::nullopt;
  auto parsed = ParseMotorolaS(std::move(file), context.bufSize,
                               MotorolaFill(settings.userFill, settings.FillUnused()));
  if (!parsed) return std::nullopt;
  LoadSettings placed = settings;
  placed.destination = settings.destination & 0xFFFFFF;
  LoadedSource source = PlacedAtDestination(std::move(parsed->image), parsed->highest, placed);
  source.merge = MergeRoute::Plain;
  return source;
}

// A POF file that fails detection is not loaded (the whole file bit-reversed would be).
std::optional<LoadedSource> ReadPofSource(FileImage file, const LoadSettings& settings) {
  const int32_t offset = DetectPof(kDetectOnFailure, file);
  if (offset == 0 || !StripHeader(file, offset, true)) return std::nullopt;
  const int32_t length = file.size - offset;
  LoadedSource source = PlacedAtDestination(std::move(file.bytes), length, settings);
  source.checksum = ChecksumRoute::GetSumCommand;
  return source;
}

std::optional<LoadedSource> ReadExeSource(FileImage file, const LoadSettings& settings) {
  if (!StripHeader(file, kExeHeaderSize, false)) return std::nullopt;
  const int32_t length = file.size - kExeHeaderSize;
  return PlacedAtDestination(std::move(file.bytes), length, settings);
}

// The source range's bytes, never more than the image holds.
LoadedSource ReadBinaryRange(FileImage file, const LoadSettings& settings) {
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

}  // namespace

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
  if (DetectIntelHex(mode, file)) return buffer::kFormatIntelHex;
  if (DetectMotorolaS(mode, file)) return buffer::kFormatMotorolaHex;
  if (DetectTektronix(mode, file)) return buffer::kFormatTektronixHex;
  if (DetectPof(mode, file) != 0) return buffer::kFormatPof;
  if (mode == kDetectOnSuccess) buffer::ShowMessage(messages::kBinaryDetected);
  return buffer::kFormatBinary;
}

std::optional<LoadedSource> ReadLoadSource(int32_t format, FileImage file,
                                           const LoadSettings& settings,
                                           const ReaderContext& context) {
  switch (format) {
    case buffer::kFormatIntelHex:
      return ReadIntelHexSource(std::move(file), settings, context);
    case buffer::kFormatMotorolaHex:
      return ReadMotorolaSource(std::move(file), settings, context);
    case buffer::kFormatTektronixHex:
      return ReadTektronixSource(std::move(file), settings, context);
    case buffer::kFormatPof:
      return ReadPofSource(std::move(file), settings);
    case buffer::kFormatMsDosExe:
      return ReadExeSource(std::move(file), settings);
    default:
      return ReadBinaryRange(std::move(file), settings);
  }
}

}  // namespace formats
