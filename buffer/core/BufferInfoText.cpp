#include "buffer/core/BufferInfoText.h"

#include <array>

#include "buffer/core/BufferMapModel.h"
#include "buffer/core/DumpEditCore.h"
#include "buffer/core/HexText.h"
#include "platform/winapi/IniFile.h"

namespace buffer {

BufferInfoTexts BufferInfoTextsOf(const DumpEditFields& fields, std::int32_t bufSize) {
  return {
      "Check Sum : " + FormatHex(fields.LastSum, 8) + " H",
      "Get Sum Range : " + FormatHex6(fields.LastSumStart) + "H <---> " +
          FormatHex6(fields.LastSumEnd) + "H",
      FormatHex6(bufSize),
      FormatHex6(fields.FileStartAdd),
      FormatHex6(fields.FileSize > 0 ? fields.FileSize - 1 : 0),
  };
}

std::optional<std::string> FileFormatName(std::int32_t format) {
  // Indexed by the load format code; the Tektronix name is spelt as users have always seen it.
  static constexpr std::array<const char*, 8> kNames{
      "Auto Detect.", "MS-DOS fn.exe.", "MS-DOS fn.com.", "Binary/Machine Code.",
      "Intel Hex.",   "Motorola Hex.",  "Tekelonix Hex.", "POF File."};
  if (format < 0 || format >= static_cast<std::int32_t>(kNames.size())) return std::nullopt;
  return kNames[static_cast<std::size_t>(format)];
}

LoadedFileTexts ReadLoadedFileTexts(const std::string& settingsPath) {
  const TIniFile ini(settingsPath);
  return {ini.ReadString("LoadDlg", "Name", kInitialFileText),
          FileFormatName(ini.ReadInteger("LoadDlg", "Format", 3))};
}

std::string MapRowAddressText(std::int32_t row, std::int32_t mapOffset) {
  return FormatHex6(row * kMapRowBytes + mapOffset);
}

std::string MapCursorText(std::int32_t address) { return "[" + FormatHex6(address) + "]"; }

}  // namespace buffer
