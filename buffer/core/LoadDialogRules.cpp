#include "buffer/core/LoadDialogRules.h"

#include "buffer/core/FileChecks.h"
#include "buffer/core/HexText.h"
#include "buffer/core/Messages.h"
#include "platform/winapi/IniFile.h"

namespace buffer {
namespace {

constexpr std::array<const char*, 8> kUpdateToolFormatItems{
    "Auto Detect", "MS-DOS fn.exe", "MS-DOS fn.com", "Binary / Machine Code",
    "Intel  HEX",  "Motorola HEX",  "Tektlonix HEX", "POF"};

}  // namespace

const LoadDialogProfile& ConsoleLoadDialog() {
  static const LoadDialogProfile profile{
      .formatItems = kLoadFormatItems,
      .designFormat = -1,  // none: the section's format is a change that runs its rules
      .choicesEnabled = true,
      .sourceTitle = "Source :",
      .destinationTitle = "Destination :",
      .destinationHint = nullptr,
      .fillCheckCaption = "Fill unused with",
      .fillLabel = nullptr,
      .splitGroups = true,
      .fileFilter = kLoadFileFilter,
      .sourceDigits = kSourceAddressDigits,
      .keyRule = HexKeyRule::KeepBackspace,
      .consoleRules = true,
  };
  return profile;
}

const LoadDialogProfile& UpdateToolLoadDialog() {
  static const LoadDialogProfile profile{
      .formatItems = kUpdateToolFormatItems,
      .designFormat = kFormatBinary,
      .choicesEnabled = false,
      .sourceTitle = "Source Select :",
      .destinationTitle = "Distination Select :",
      .destinationHint = "Distination Select.",
      .fillCheckCaption = "Clear Buffer :",
      .fillLabel = "Unuser Fill :",
      .splitGroups = false,
      .fileFilter = "7100 UPD|*.UPD",
      .sourceDigits = kAddressDigits,
      .keyRule = HexKeyRule::DropBackspace,
      .consoleRules = false,
  };
  return profile;
}

FormatControls ControlsForFormat(int32_t format) {
  const bool jedec = format == kFormatJedec;
  return FormatControls{
      format == kFormatBinary,
      format == kFormatMsDosExe || format == kFormatMsDosCom || format == kFormatBinary,
      !jedec,
      format > kFormatBinary,
      jedec ? "1" : "FF",
  };
}

std::string JedecFillText(const std::string& text) {
  std::string first = text.substr(0, 1);
  return first == "0" || first == "1" ? first : "0";
}

LoadDialogSeed ReadLoadDialogSeed(const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  return LoadDialogSeed{
      ini.ReadString(kLoadDlgSection, "Name", kNoFileName),
      ini.ReadInteger(kLoadDlgSection, "Format", kFormatBinary),
      ini.ReadInteger(kLoadDlgSection, "UserFill", 255),
      ini.ReadInteger(kLoadDlgSection, "UnuserFillCheck", 1) != 0,
  };
}

std::optional<LoadDialogKeys> CheckLoadEntries(const LoadDialogEntries& entries) {
  if (!CheckFileExists(entries.Name, true)) return std::nullopt;
  // A file that exists but cannot be read has no size to check the range against.
  std::optional<int32_t> size = ReadFileSize(entries.Name);
  if (!size) {
    ShowMessage(messages::kFileNotFound);
    return std::nullopt;
  }
  if (!CheckHexRange(entries.SourceEAdd, entries.SourceSAdd, true)) return std::nullopt;
  auto start = CheckHexBelow(entries.SourceSAdd, *size, true);
  if (!start) return std::nullopt;
  auto end = CheckHexBelow(entries.SourceEAdd, *size, true);
  if (!end) return std::nullopt;
  auto destination = CheckHexBelow(entries.DistSAdd, kDestinationLimit, true);
  if (!destination) return std::nullopt;
  auto fill = CheckHexBelow(entries.UserFill, 0x100, true);
  if (!fill) return std::nullopt;
  return LoadDialogKeys{*start,          *end,
                        *destination,    *fill,
                        entries.Format,  entries.EvenOdd,
                        entries.EvenOddByteWord, entries.UnuserFillCheck ? 1 : 0,
                        entries.Name};
}

bool WriteLoadDialogKeys(const LoadDialogKeys& keys, bool splitKeys,
                         const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  const std::pair<const char*, int32_t> integers[] = {
      {"SourceSAdd", keys.SourceSAdd}, {"SourceEAdd", keys.SourceEAdd},
      {"DistSAdd", keys.DistSAdd},     {"UserFill", keys.UserFill},
      {"Format", keys.Format},         {"EvenOdd", keys.EvenOdd},
      {"EvenOddByteWord", keys.EvenOddByteWord}, {"UnuserFillCheck", keys.UnuserFillCheck},
  };
  for (const auto& [key, value] : integers) {
    const bool split = std::string_view(key).starts_with("EvenOdd");
    if ((splitKeys || !split) && !ini.WriteInteger(kLoadDlgSection, key, value)) return false;
  }
  return ini.WriteString(kLoadDlgSection, "Name", keys.Name) &&
         ini.WriteString(kLoadDlgSection, "OK", "1");
}

}  // namespace buffer
