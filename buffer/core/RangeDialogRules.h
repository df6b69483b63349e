#pragma once
// The address-range part that the range dialogs share (Get Check Sum, Fill Data, Block,
// Save): what the Max, File and IC buttons write into the range edits, and the checks the
// accept button runs on them, in order. Qt-free; buffer/RangeEdits.h applies the texts to a
// dialog's edits.
//
// How a dialog uses them:
//   1. At creation keep the BufferInfo that ReadBufferInfo gives, and describe the dialog's
//      range with a RangeDialogLayout (word twins or not, the order its buttons write in).
//   2. Max, File and IC clicks: MaxRangeTexts / FileRangeTexts / IcRangeTexts return the
//      texts to write, in writing order (empty when the button's guard fails). Write them
//      with the twins not driving (TwinDrive None), as RangeEdits::Write does.
//   3. Accept: CheckRange on the edits' texts runs the range checks and shows the first
//      failure's box; on success it gives the byte range. Run the dialog's own further
//      checks (mask, fill byte, destination end, ...) after it, then write the keys.
// Values a six-digit edit cannot hold are clamped to FFFFFF (word addresses 7FFFFF),
// never cut to their first six digits.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "buffer/core/DialogSettings.h"

namespace buffer {

enum class RangeEdit { ByteStart, ByteEnd, WordStart, WordEnd };

struct RangeEditText {
  RangeEdit edit;
  std::string text;
  bool operator==(const RangeEditText&) const = default;
};
using RangeEditTexts = std::vector<RangeEditText>;

struct RangeDialogLayout {
  // The dialog has word-address twins of its byte edits.
  bool wordTwins;
  // The order the Max and IC buttons write the edits in, and the File button's order.
  std::array<RangeEdit, 4> buttonOrder;
  std::array<RangeEdit, 4> fileOrder;
  // The File button's range starts at 0 rather than at FileStartAdd.
  bool fileStartsAtZero;
};

inline constexpr RangeDialogLayout kGetSumRangeLayout{
    .wordTwins = true,
    .buttonOrder = {RangeEdit::ByteEnd, RangeEdit::WordEnd, RangeEdit::WordStart,
                    RangeEdit::ByteStart},
    .fileOrder = {RangeEdit::ByteEnd, RangeEdit::WordEnd, RangeEdit::ByteStart,
                  RangeEdit::WordStart},
    .fileStartsAtZero = false,
};

// The largest word address a six-digit edit shows (the twin of FFFFFE and FFFFFF).
inline constexpr std::int32_t kMaxWordEditAddress = 0x7FFFFF;

// Max: the whole buffer, 0 .. BufSize - 1 (words 0 .. BufSize/2 - 1); nothing unless
// BufSize > 0.
RangeEditTexts MaxRangeTexts(const BufferInfo& info, const RangeDialogLayout& layout);
// File: the loaded data, FileStartAdd .. FileSize - 1 (words FileStartAdd/2 ..
// FileSize/2 - 1); nothing unless FileSize > 0.
RangeEditTexts FileRangeTexts(const BufferInfo& info, const RangeDialogLayout& layout);
// IC: 0 .. ICSIZE x 128 - 1 (words 0 .. ICSIZE x 64 - 1), computed in 64 bits; an ICSIZE
// of 0 or less ends both ranges at -1, which the edits show as FFFFFF.
RangeEditTexts IcRangeTexts(std::int32_t icSizeKbit, const RangeDialogLayout& layout);
// The same with ICSIZE from the selected IC's file (ReadIcSize, with its message).
RangeEditTexts IcRangeTexts(const RangeDialogLayout& layout,
                            const std::string& settingsPath = SettingsPath());

// The edits' texts at accept time; the word texts are not read without twins.
struct RangeTexts {
  std::string byteStart;
  std::string byteEnd;
  std::string wordStart;
  std::string wordEnd;
};

struct CheckedRange {
  std::int32_t start;
  std::int32_t end;  // inclusive
};

// In order: byte start < end, word start < end, then byte start, byte end, word start and
// word end each below BufSize (the words too are compared with BufSize). The first check
// that fails shows its box ("Input Value Error !", "Error" or "ERROR") and gives nothing.
std::optional<CheckedRange> CheckRange(const RangeTexts& texts, std::int32_t bufSize,
                                       const RangeDialogLayout& layout);

}  // namespace buffer
