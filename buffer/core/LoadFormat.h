#pragma once
// The load format codes (the Load dialog's format index, [LoadDlg] Format) and the
// program-wide format last chosen in the Load dialog, which every load takes its format
// from.
#include <cstdint>

namespace buffer {

enum LoadFormat : int32_t {
  kFormatAutoDetect = 0,
  kFormatMsDosExe = 1,
  kFormatMsDosCom = 2,
  kFormatBinary = 3,
  kFormatIntelHex = 4,
  kFormatMotorolaHex = 5,
  kFormatTektronixHex = 6,
  kFormatPof = 7,
  kFormatJedec = 8,
};
inline constexpr int32_t kLoadFormatCount = 9;

// 0 at program start; set by the Load dialog only.
int32_t LastLoadFormat();
void SetLastLoadFormat(int32_t format);

}  // namespace buffer
