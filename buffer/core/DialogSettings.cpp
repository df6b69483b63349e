#include "buffer/core/DialogSettings.h"

#include <algorithm>
#include <cstring>

#include "buffer/core/Messages.h"
#include "platform/winapi/IniFile.h"

namespace buffer {

void WriteBufferInfo(const BufferInfo& info, const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  ini.WriteString(kBufInfSection, "BufSize", std::to_string(info.BufSize));
  ini.WriteString(kBufInfSection, "FileSize", std::to_string(info.FileSize));
  ini.WriteInteger(kBufInfSection, "BufHandle", info.BufHandle);
  ini.WriteInteger(kBufInfSection, "FileStartAdd", info.FileStartAdd);
}

BufferInfo ReadBufferInfo(const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  BufferInfo info;
  info.BufSize = ini.ReadInteger(kBufInfSection, "BufSize", 0);
  if (info.BufSize < 1) ShowMessage(messages::kHistoryFileError);
  info.FileSize = ini.ReadInteger(kBufInfSection, "FileSize", 0);
  info.FileStartAdd = ini.ReadInteger(kBufInfSection, "FileStartAdd", 0);
  info.BufHandle = ini.ReadInteger(kBufInfSection, "BufHandle", 0);
  if (info.BufHandle == 0) ShowMessage(messages::kMemoryError);
  return info;
}

int ReadDialogOk(const std::string& settingsPath, const std::string& section) {
  return TIniFile(settingsPath).ReadInteger(section, "OK", 0);
}

bool SettingsWritten(const IniWriteWatch& watch) {
  IniWriteFailure* failure = watch.Failure();
  if (!failure) return true;
  if (!failure->told) {
    failure->told = true;
    ShowMessage(messages::kSettingsWriteFailed,
                failure->file + ": " + std::strerror(failure->error));
  }
  return false;
}

bool WriteDialogOk(const std::string& section, bool ok, const std::string& settingsPath) {
  return TIniFile(settingsPath).WriteString(section, "OK", ok ? "1" : "0");
}

void MarkDialogOpened(const std::string& section, const std::string& settingsPath) {
  WriteDialogOk(section, false, settingsPath);
}

std::string ReadIcFilePath(const std::string& settingsPath) {
  TIniFile ini(settingsPath);
  return ini.ReadString("System", "Path", "None") + "\\ini\\" +
         ini.ReadString("SelectDlg", "IcFileName", "None");
}

int32_t ReadIcSize(const std::string& settingsPath) {
  std::string icFile = ReadIcFilePath(settingsPath);
  int32_t size = TIniFile(icFile).ReadInteger("ICInformation", "ICSIZE", 0);
  if (size <= 0) ShowMessage(messages::kIcSizeError, icFile);
  return size;
}

std::optional<IcRange> IcRangeOfSize(int32_t icSizeKbit) {
  if (icSizeKbit <= 0) return std::nullopt;
  // Kilobits to bytes is x128; a size too big for 32 bits ends at the largest address.
  int64_t bytes = int64_t{icSizeKbit} * 128;
  int64_t byteEnd = std::min<int64_t>(bytes - 1, INT32_MAX);
  int64_t wordEnd = std::min<int64_t>(bytes / 2 - 1, INT32_MAX);
  return IcRange{static_cast<int32_t>(byteEnd), static_cast<int32_t>(wordEnd)};
}

std::optional<IcRange> ReadIcRange(const std::string& settingsPath) {
  return IcRangeOfSize(ReadIcSize(settingsPath));
}

}  // namespace buffer
