#include "console/core/PanelInput.h"

namespace console {

int32_t HexKeyCode(int digit) { return kHexKey0 + (digit & 0x0F); }

void PressKey(LinkState& state, int32_t code) { state.PendingKey = code; }

void PressEnterButton(LinkState& state) {
  if (state.PendingKey == kNoKey) state.PendingKey = kEnterKey;
}

int DigitRowVirtualKey(uint32_t keycode) {
  // Keys 1..9 and then 0, left to right: the kernel's key numbers 2..11 plus X's offset of 8.
  constexpr uint32_t kKeycodeOfOne = 10;
  constexpr uint32_t kKeycodeOfZero = 19;
  if (keycode < kKeycodeOfOne || keycode > kKeycodeOfZero) return 0;
  return keycode == kKeycodeOfZero ? '0' : static_cast<int>('1' + (keycode - kKeycodeOfOne));
}

int32_t KeyCodeForVirtualKey(int virtualKey) {
  switch (virtualKey) {
    case kVkReturn: return kEnterKey;
    case kVkEscape: return kEscKey;
    case kVkUp: return HexKeyCode(0x0B);
    case kVkDown: return HexKeyCode(0x0F);
    default: break;
  }
  if (virtualKey >= '0' && virtualKey <= '9') return HexKeyCode(virtualKey - '0');
  if (virtualKey >= 'A' && virtualKey <= 'F') return HexKeyCode(virtualKey - 'A' + 10);
  return kNoKey;
}

void KeyDown(LinkState& state, int virtualKey) {
  int32_t code = KeyCodeForVirtualKey(virtualKey);
  if (code != kNoKey) PressKey(state, code);
}

void MouseDown(LinkState& state, bool rightButton) {
  state.IdleFlag = 0;
  if (rightButton) PressKey(state, kEscKey);
}

void MenuListClick(LinkState& state, int index) {
  if (index >= 0) state.MenuSelection = index;
}

void MenuListDoubleClick(LinkState& state, int index) {
  if (index < 0) return;
  state.MenuSelection = index;
  if (state.MenuListMode == 1) PressKey(state, kEnterKey);
}

}  // namespace console
