#pragma once
// The rules of hexadecimal entry shared by every dialog: which keys a hex field takes, how
// its text is cut, how a text reads as a number, the byte/word address twins and the range
// checks. Qt-free; the edits in buffer/HexEntry.h apply them to widgets.
//
// Numbers are 32-bit values: parsing saturates at 0xFFFFFFFF and formatting never gives
// more than eight digits ("%08lX" of -1 is FFFFFFFF).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace buffer {

// Which keys besides the hex digits a hex field lets through: the console keeps
// backspace, the update tool drops it.
enum class HexKeyRule { KeepBackspace, DropBackspace };

inline constexpr char kBackspace = 8;

// Edit lengths of the dialogs' hex fields.
inline constexpr int kAddressDigits = 6;        // buffer addresses
inline constexpr int kSourceAddressDigits = 7;  // the Load dialog's source addresses
inline constexpr int kByteDigits = 2;           // byte values

// 0..15 for '0'..'9', 'A'..'F', 'a'..'f'; -1 for any other character.
int HexDigitValue(char c);
bool IsHexDigit(char c);

// The key a hex field receives for a typed key: '0'..'9' and 'A'..'F' as they are,
// 'a'..'f' raised, backspace as the rule says, every other key 0 (dropped).
char FilterHexKey(char key, HexKeyRule rule = HexKeyRule::KeepBackspace);

// The text cut at its first character that is not a hex digit (lower case kept).
std::string CutAtFirstNonHex(std::string_view text);
// The first n characters of the text.
std::string TruncateText(std::string_view text, int n);

// Reads leading white space, then hex digits up to the first other character; no digits
// give 0, a value beyond 32 bits 0xFFFFFFFF.
uint32_t ParseHex(std::string_view text);
// The same without skipping leading blanks: the value of the hex digits that open `text`.
uint32_t ParseHexDigits(std::string_view text);
// ParseHex's value as a signed 32-bit number, as the dialogs store and compare it.
int32_t HexTextToInt(std::string_view text);
// An edit's text as the twin and block-end helpers read it: its first 9 characters.
int32_t ReadAddressText(std::string_view text);

// "%0<digits>lX" of a 32-bit value: at least `digits` digits, never more than eight.
std::string FormatHex(uint32_t value, int digits);
inline std::string FormatHex6(int32_t value) { return FormatHex(static_cast<uint32_t>(value), 6); }
inline std::string FormatHex8(int32_t value) { return FormatHex(static_cast<uint32_t>(value), 8); }

// The highest address a six-digit address edit can hold.
inline constexpr int32_t kMaxEditAddress = 0xFFFFFF;

// The word address of a byte address (half, rounding toward zero) and the byte address of
// a word address (twice, at most kMaxEditAddress, so that the twin's six digits still
// name the end of the address space).
int32_t ByteToWord(int32_t byteAddress);
int32_t WordToByte(int32_t wordAddress);

// The twin's text for an edit's text.
std::string ByteToWordText(std::string_view byteText);
std::string WordToByteText(std::string_view wordText);

// The end of a block copied to `destination`: destination + end - start when start < end,
// nothing otherwise.
std::optional<int32_t> BlockEnd(int32_t destination, int32_t start, int32_t end);
std::optional<std::string> BlockEndText(std::string_view destination, std::string_view start,
                                        std::string_view end);

// The value of the text when it is below the limit; otherwise nothing, after
// "Input Value Error !" / "ERROR" when showMessage is set.
std::optional<int32_t> CheckHexBelow(std::string_view text, int32_t limit, bool showMessage);
// The value of the text when it is at least the bound (an empty text reads as 0); otherwise
// nothing, after the same box as CheckHexBelow's when showMessage is set.
std::optional<int32_t> ParseHexAtLeast(std::string_view text, int32_t bound, bool showMessage);
// True when the start is below the end (equal fails); otherwise false, after
// "Input Value Error !" / "Error" when showMessage is set.
bool CheckHexRange(std::string_view endText, std::string_view startText, bool showMessage);

}  // namespace buffer
