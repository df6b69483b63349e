#include "buffer/core/HexText.h"

#include <cctype>
#include <cstdio>

#include "buffer/core/Messages.h"

namespace buffer {
namespace {

// How many characters of an edit the twin and block-end helpers look at.
constexpr size_t kAddressTextLimit = 9;

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

char FilterHexKey(char key, HexKeyRule rule) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'F')) return key;
  if (key >= 'a' && key <= 'f') return static_cast<char>(key - 'a' + 'A');
  if (key == kBackspace && rule == HexKeyRule::KeepBackspace) return key;
  return 0;
}

std::string CutAtFirstNonHex(std::string_view text) {
  size_t length = 0;
  while (length < text.size() && IsHexDigit(text[length])) ++length;
  return std::string(text.substr(0, length));
}

std::string TruncateText(std::string_view text, int n) {
  if (n < 0) n = 0;
  return std::string(text.substr(0, static_cast<size_t>(n)));
}

uint32_t ParseHex(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  return ParseHexDigits(text.substr(at));
}

uint32_t ParseHexDigits(std::string_view text) {
  uint64_t value = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    int digit = HexDigitValue(text[at]);
    if (digit < 0) break;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return 0xFFFFFFFFu;
  }
  return static_cast<uint32_t>(value);
}

int32_t HexTextToInt(std::string_view text) { return static_cast<int32_t>(ParseHex(text)); }

int32_t ReadAddressText(std::string_view text) {
  return HexTextToInt(text.substr(0, kAddressTextLimit));
}

std::string FormatHex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
  return text;
}

int32_t ByteToWord(int32_t byteAddress) { return byteAddress / 2; }

int32_t WordToByte(int32_t wordAddress) {
  if (wordAddress > kMaxEditAddress / 2) return kMaxEditAddress;
  if (wordAddress < 0) return 0;
  return wordAddress * 2;
}

std::string ByteToWordText(std::string_view byteText) {
  return FormatHex6(ByteToWord(ReadAddressText(byteText)));
}

std::string WordToByteText(std::string_view wordText) {
  return FormatHex6(WordToByte(ReadAddressText(wordText)));
}

std::optional<int32_t> BlockEnd(int32_t destination, int32_t start, int32_t end) {
  if (!(start < end)) return std::nullopt;
  // Wrapping 32-bit arithmetic, as the label shows it.
  return static_cast<int32_t>(static_cast<uint32_t>(destination) + static_cast<uint32_t>(end) -
                              static_cast<uint32_t>(start));
}

std::optional<std::string> BlockEndText(std::string_view destination, std::string_view start,
                                        std::string_view end) {
  auto value = BlockEnd(ReadAddressText(destination), ReadAddressText(start),
                        ReadAddressText(end));
  if (!value) return std::nullopt;
  return FormatHex6(*value);
}

std::optional<int32_t> CheckHexBelow(std::string_view text, int32_t limit, bool showMessage) {
  // Compared as the unsigned number the text is: a text of eight digits and more must not
  // pass as a negative value below the limit.
  uint32_t value = ParseHex(text);
  if (static_cast<int64_t>(value) < static_cast<int64_t>(limit)) {
    return static_cast<int32_t>(value);
  }
  if (showMessage) ShowMessage(messages::kValueNotBelowLimit);
  return std::nullopt;
}

std::optional<int32_t> ParseHexAtLeast(std::string_view text, int32_t bound, bool showMessage) {
  const uint32_t value = ParseHex(text);
  if (static_cast<int64_t>(value) >= static_cast<int64_t>(bound)) return static_cast<int32_t>(value);
  if (showMessage) ShowMessage(messages::kValueNotBelowLimit);
  return std::nullopt;
}

bool CheckHexRange(std::string_view endText, std::string_view startText, bool showMessage) {
  if (ParseHex(startText) < ParseHex(endText)) return true;
  if (showMessage) ShowMessage(messages::kStartNotBelowEnd);
  return false;
}

}  // namespace buffer
