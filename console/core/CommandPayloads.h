#pragma once
// What the programmer's short commands carry, read without ever reaching past the payload:
// the LCD text (0xA0), the menu (0xA4) and the job result (0xA7), and the reply to its key
// request (0xA1). A payload shorter than its layout gives blanks, no cursor, fewer items or
// no verdict rather than whatever lies beyond it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "console/core/LcdText.h"
#include "console/core/LinkState.h"

namespace console {

inline constexpr size_t kMenuTextLength = 20;
// The payload bytes of a menu before its items: the title and the item count.
inline constexpr size_t kMenuHeaderLength = kMenuTextLength + 1;

// 0xA0: the 81 LCD bytes in a zero-filled 100-byte block. Characters the payload lacks are
// blanks; a payload without its cursor byte shows no cursor.
LcdTextBlock LcdBlockFromPayload(std::span<const uint8_t> payload);

// The runs of LCD text that may show a selected menu line: 20 characters from column 0 and
// from column 1 of each line, in this order. Each starts at the given block position.
inline constexpr int kMenuSyncStarts[8] = {0, 1, 20, 21, 40, 41, 60, 61};

struct MenuPayload {
  std::string title;               // Latin-1 bytes, up to 20
  std::vector<std::string> items;  // in order, each up to 20 bytes
};

// 0xA4: the title and the items the payload holds. Texts end at a NUL or after 20 bytes; an
// item cut short by the payload's end shows what arrived of it.
MenuPayload MenuFromPayload(std::span<const uint8_t> payload);

// The menu list's text of item `index`: "[%02d]" then the item's text.
std::string MenuItemText(int index, const std::string& text);

// What one 20-character LCD run means for the menu list.
struct MenuLineSync {
  bool toPc = false;         // a selected line showing "(TO PC)"
  int selectedItem = -1;     // the list item it shows, -1 for none
};

// A line that starts with one of the programmer's arrow marks (0x01, 0x05).
bool IsSelectedMenuLine(std::span<const uint8_t, 20> line);

// `line` holds the 20 characters; `items` the menu list's texts as shown. Only a line that
// starts with an arrow mark (0x01 or 0x05) means anything. A number on it that names no item
// of the list selects nothing.
MenuLineSync SyncFromLcdLine(std::span<const uint8_t, 20> line, const std::vector<std::string>& items);

// 0xA7: 1 passed, -1 failed, 0 no verdict (a payload too short to carry one included).
int JobResultFromPayload(std::span<const uint8_t> payload);

// 0xA1: the two bytes the key request is answered with: the pending key and the selection,
// except that a pending selection goes out first with no key, holding the key back for the
// next request (SelectionSentFirst tells which).
std::array<uint8_t, 2> PrepareKeyReply(LinkState& state);
// The reply went out: what it carried is no longer pending.
void KeyReplySent(LinkState& state);

}  // namespace console
