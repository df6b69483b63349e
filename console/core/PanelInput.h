#pragma once
// How the user's keys, clicks and menu choices become the key code and menu selection that
// the programmer fetches with its next key request. Nothing here talks to the programmer.
#include <cstdint>

#include "console/core/LinkState.h"

namespace console {

// Keyboard keys by their virtual-key values (letters and digits are their upper-case
// ASCII codes); the form translates its toolkit's keys into these.
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkDown = 0x28;

// The code of hex key `digit` (0..15).
int32_t HexKeyCode(int digit);

// A key from the keypad or the job queue: replaces whatever is pending.
void PressKey(LinkState& state, int32_t code);
// The on-screen ENTER never replaces a key that has not been fetched yet.
void PressEnterButton(LinkState& state);

// The virtual key of a key of the digit row, found by its position on the keyboard (its
// X keycode, as X11 and Wayland report it), whatever the layout and the shift state give;
// 0 for every other keycode.
int DigitRowVirtualKey(uint32_t keycode);

// The code a keyboard key gives; kNoKey for keys the programmer has no use for.
int32_t KeyCodeForVirtualKey(int virtualKey);
// A keyboard key: stores its code when it has one.
void KeyDown(LinkState& state, int virtualKey);

// Any mouse press on the panel: the user is busy, so the menu list stops following the
// programmer for a while (the caller starts the idle timer). The right button means ESC.
void MouseDown(LinkState& state, bool rightButton);

// A click on the menu list at item `index`; -1 (no item under the pointer) chooses nothing.
void MenuListClick(LinkState& state, int index);
// A double click chooses the item and, in menu-list mode, confirms it with ENTER.
void MenuListDoubleClick(LinkState& state, int index);

}  // namespace console
