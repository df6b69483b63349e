#include "buffer/core/RangeDialogRules.h"

#include "buffer/core/HexText.h"

namespace buffer {
namespace {

bool IsWord(RangeEdit edit) { return edit == RangeEdit::WordStart || edit == RangeEdit::WordEnd; }

// What a six-digit edit shows for a value: values above its largest are clamped to it; a
// negative value shows as the edit cuts its eight digits (-1 is FFFFFF).
std::string EditText(std::int64_t value, std::int32_t largest) {
  if (value > largest) return FormatHex6(largest);
  return TruncateText(FormatHex6(static_cast<std::int32_t>(value)), kAddressDigits);
}

struct RangeValues {
  std::int64_t byteStart;
  std::int64_t byteEnd;
  std::int64_t wordStart;
  std::int64_t wordEnd;
};

std::int64_t ValueOf(const RangeValues& values, RangeEdit edit) {
  switch (edit) {
    case RangeEdit::ByteStart: return values.byteStart;
    case RangeEdit::ByteEnd: return values.byteEnd;
    case RangeEdit::WordStart: return values.wordStart;
    case RangeEdit::WordEnd: return values.wordEnd;
  }
  return 0;
}

RangeEditTexts Texts(const RangeValues& values, const std::array<RangeEdit, 4>& order,
                     const RangeDialogLayout& layout) {
  RangeEditTexts texts;
  for (RangeEdit edit : order) {
    if (IsWord(edit) && !layout.wordTwins) continue;
    const std::int32_t largest = IsWord(edit) ? kMaxWordEditAddress : kMaxEditAddress;
    texts.push_back({edit, EditText(ValueOf(values, edit), largest)});
  }
  return texts;
}

// The range [0, size) of the Max and IC buttons.
RangeEditTexts FromZero(std::int64_t size, const RangeDialogLayout& layout) {
  return Texts({0, size - 1, 0, size / 2 - 1}, layout.buttonOrder, layout);
}

}  // namespace

RangeEditTexts MaxRangeTexts(const BufferInfo& info, const RangeDialogLayout& layout) {
  if (info.BufSize <= 0) return {};
  return FromZero(info.BufSize, layout);
}

RangeEditTexts FileRangeTexts(const BufferInfo& info, const RangeDialogLayout& layout) {
  if (info.FileSize <= 0) return {};
  const std::int64_t start = layout.fileStartsAtZero ? 0 : info.FileStartAdd;
  return Texts({start, std::int64_t{info.FileSize} - 1, start / 2,
                std::int64_t{info.FileSize} / 2 - 1},
               layout.fileOrder, layout);
}

RangeEditTexts IcRangeTexts(std::int32_t icSizeKbit, const RangeDialogLayout& layout) {
  // Kilobits to bytes; an IC without a size has the ends -1.
  return FromZero(icSizeKbit > 0 ? std::int64_t{icSizeKbit} * 1024 / 8 : 0, layout);
}

RangeEditTexts IcRangeTexts(const RangeDialogLayout& layout, const std::string& settingsPath) {
  return IcRangeTexts(ReadIcSize(settingsPath), layout);
}

std::optional<CheckedRange> CheckRange(const RangeTexts& texts, std::int32_t bufSize,
                                       const RangeDialogLayout& layout) {
  if (!CheckHexRange(texts.byteEnd, texts.byteStart, true)) return std::nullopt;
  if (layout.wordTwins && !CheckHexRange(texts.wordEnd, texts.wordStart, true)) return std::nullopt;
  const auto start = CheckHexBelow(texts.byteStart, bufSize, true);
  if (!start) return std::nullopt;
  const auto end = CheckHexBelow(texts.byteEnd, bufSize, true);
  if (!end) return std::nullopt;
  if (layout.wordTwins && (!CheckHexBelow(texts.wordStart, bufSize, true) ||
                           !CheckHexBelow(texts.wordEnd, bufSize, true))) {
    return std::nullopt;
  }
  return CheckedRange{*start, *end};
}

}  // namespace buffer
