#include "console/core/CommandPayloads.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace console {

namespace {

constexpr uint8_t kArrowMark = 0x01;
constexpr uint8_t kRightArrowMark = 0x05;
constexpr std::string_view kToPcMark = "(TO PC)";
// The LCD columns a name on a selected line is compared over, and where an item's text
// starts in its list text ("[07]").
constexpr size_t kNameLength = 15;
constexpr size_t kItemTextStart = 4;
constexpr size_t kItemTextSlack = 8;

// Up to `limit` bytes from `offset`, ending at a NUL and at the payload's end.
std::string BoundedText(std::span<const uint8_t> payload, size_t offset, size_t limit) {
  std::string text;
  for (size_t i = offset; i < payload.size() && i < offset + limit && payload[i] != 0; ++i)
    text.push_back(static_cast<char>(payload[i]));
  return text;
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool ShowsToPc(std::span<const uint8_t, 20> line) {
  const auto open = std::find(line.begin(), line.end(), static_cast<uint8_t>('('));
  if (open == line.end() || static_cast<size_t>(line.end() - open) < kToPcMark.size()) return false;
  return std::equal(kToPcMark.begin(), kToPcMark.end(), open);
}

// Columns 1 and 2: "5." names item 5, any other second character is a second digit
// whatever it is ("05" names 5, "3:" names 40, "3 " names 14). A number that names no item
// of the list selects none.
int NumberedItem(std::span<const uint8_t, 20> line, size_t itemCount) {
  int index = line[1] - '0';
  if (line[2] != '.') index = index * 10 + (line[2] - '0');
  return index >= 0 && static_cast<size_t>(index) < itemCount ? index : -1;
}

// The first item whose text (without its number) equals the name in columns 1..15.
int NamedItem(std::span<const uint8_t, 20> line, const std::vector<std::string>& items) {
  std::string name;
  for (size_t i = 1; i <= kNameLength && line[i] != 0; ++i) name.push_back(static_cast<char>(line[i]));
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string& item = items[i];
    const std::string candidate =
        item.size() > kItemTextSlack ? item.substr(kItemTextStart, item.size() - kItemTextSlack) : std::string();
    if (candidate == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

LcdTextBlock LcdBlockFromPayload(std::span<const uint8_t> payload) {
  LcdTextBlock block{};
  std::fill(block.begin(), block.begin() + kLcdCursorByte, static_cast<uint8_t>(' '));
  block[kLcdCursorByte] = kNoCursor;
  const size_t present = std::min<size_t>(payload.size(), kLcdSignificantBytes);
  std::copy(payload.begin(), payload.begin() + present, block.begin());
  return block;
}

MenuPayload MenuFromPayload(std::span<const uint8_t> payload) {
  MenuPayload menu;
  menu.title = BoundedText(payload, 0, kMenuTextLength);
  if (payload.size() < kMenuHeaderLength) return menu;
  const size_t count = payload[kMenuTextLength];
  for (size_t k = 0; k < count; ++k) {
    const size_t offset = kMenuHeaderLength + k * kMenuTextLength;
    if (offset >= payload.size()) break;
    menu.items.push_back(BoundedText(payload, offset, kMenuTextLength));
  }
  return menu;
}

std::string MenuItemText(int index, const std::string& text) {
  char number[16];
  std::snprintf(number, sizeof number, "[%02d]", index);
  return number + text;
}

bool IsSelectedMenuLine(std::span<const uint8_t, 20> line) {
  return line[0] == kArrowMark || line[0] == kRightArrowMark;
}

MenuLineSync SyncFromLcdLine(std::span<const uint8_t, 20> line, const std::vector<std::string>& items) {
  MenuLineSync sync;
  if (!IsSelectedMenuLine(line)) return sync;
  sync.toPc = ShowsToPc(line);
  if (IsDigit(line[1])) {
    sync.selectedItem = NumberedItem(line, items.size());
  } else if (IsLetter(line[1]) && !items.empty()) {
    sync.selectedItem = NamedItem(line, items);
  }
  return sync;
}

int JobResultFromPayload(std::span<const uint8_t> payload) {
  if (payload.size() < 2 || payload[0] != 1) return 0;
  return payload[1] != 0 ? 1 : -1;
}

std::array<uint8_t, 2> PrepareKeyReply(LinkState& state) {
  const auto selection = static_cast<uint8_t>(state.MenuSelection);
  state.SelectionSentFirst = state.PendingKey != kNoKey && state.MenuSelection != kNoSelection ? 1 : 0;
  if (state.SelectionSentFirst == 1) return {0x00, selection};
  return {static_cast<uint8_t>(state.PendingKey), selection};
}

void KeyReplySent(LinkState& state) {
  if (state.SelectionSentFirst == 0) state.PendingKey = kNoKey;
  state.MenuSelection = kNoSelection;
  state.SelectionSentFirst = 0;
}

}  // namespace console
