#include <gtest/gtest.h>

#include "console/core/PanelInput.h"

namespace {

using namespace console;

LinkState Idle() {
  LinkState state;
  state.MenuSelection = kNoSelection;
  state.IdleFlag = 1;
  return state;
}

TEST(PanelInputTest, ANewKeyReplacesAPendingOneButTheEnterButtonNeverDoes) {
  LinkState state = Idle();
  PressKey(state, HexKeyCode(5));
  PressEnterButton(state);
  EXPECT_EQ(state.PendingKey, 0x15);

  state.PendingKey = kNoKey;
  PressEnterButton(state);
  EXPECT_EQ(state.PendingKey, kEnterKey);
  PressKey(state, HexKeyCode(5));
  EXPECT_EQ(state.PendingKey, 0x15);
  PressKey(state, kEscKey);
  EXPECT_EQ(state.PendingKey, kEscKey);

  EXPECT_EQ(HexKeyCode(0), 0x10);
  EXPECT_EQ(HexKeyCode(15), 0x1F);
}

TEST(PanelInputTest, KeyboardKeysMapToTheProgrammersCodes) {
  EXPECT_EQ(KeyCodeForVirtualKey(kVkReturn), kEnterKey);
  EXPECT_EQ(KeyCodeForVirtualKey(kVkEscape), kEscKey);
  EXPECT_EQ(KeyCodeForVirtualKey(kVkUp), 0x1B);
  EXPECT_EQ(KeyCodeForVirtualKey('B'), 0x1B);
  EXPECT_EQ(KeyCodeForVirtualKey(kVkDown), 0x1F);
  EXPECT_EQ(KeyCodeForVirtualKey('F'), 0x1F);
  for (int digit = 0; digit <= 9; ++digit) EXPECT_EQ(KeyCodeForVirtualKey('0' + digit), 0x10 + digit);
  for (int letter = 0; letter < 6; ++letter)
    EXPECT_EQ(KeyCodeForVirtualKey('A' + letter), 0x1A + letter);
}

TEST(PanelInputTest, KeysWithoutACodeLeaveThePendingKeyAlone) {
  LinkState state = Idle();
  PressKey(state, HexKeyCode(7));
  for (int key : {static_cast<int>('G'), static_cast<int>('Z'), 0x70 /* F1 */, 0x25 /* left */,
                  0x27 /* right */, 0x09 /* tab */, 0})
    KeyDown(state, key);
  EXPECT_EQ(state.PendingKey, 0x17);
  KeyDown(state, kVkReturn);  // the keyboard's Enter replaces, unlike the on-screen button
  EXPECT_EQ(state.PendingKey, kEnterKey);
}

TEST(PanelInputTest, AMousePressClearsTheIdleFlagAndTheRightButtonMeansEsc) {
  LinkState state = Idle();
  MouseDown(state, false);
  EXPECT_EQ(state.IdleFlag, 0);
  EXPECT_EQ(state.PendingKey, kNoKey);
  PressKey(state, HexKeyCode(3));
  MouseDown(state, true);
  EXPECT_EQ(state.PendingKey, kEscKey);
  EXPECT_EQ(state.MenuSelection, kNoSelection);
}

TEST(PanelInputTest, MenuClicksChooseOnlyRealItems) {
  LinkState state = Idle();
  MenuListClick(state, -1);
  EXPECT_EQ(state.MenuSelection, kNoSelection);
  MenuListClick(state, 4);
  EXPECT_EQ(state.MenuSelection, 4);
  MenuListClick(state, 0);
  EXPECT_EQ(state.MenuSelection, 0);
}

TEST(PanelInputTest, DoubleClickConfirmsWithEnterOnlyInMenuListMode) {
  LinkState state = Idle();
  MenuListDoubleClick(state, 3);
  EXPECT_EQ(state.MenuSelection, 3);
  EXPECT_EQ(state.PendingKey, kNoKey);

  state = Idle();
  state.MenuListMode = 1;
  PressKey(state, HexKeyCode(9));
  MenuListDoubleClick(state, 6);
  EXPECT_EQ(state.MenuSelection, 6);
  EXPECT_EQ(state.PendingKey, kEnterKey);

  state = Idle();
  state.MenuListMode = 1;
  MenuListDoubleClick(state, -1);
  EXPECT_EQ(state.MenuSelection, kNoSelection);
  EXPECT_EQ(state.PendingKey, kNoKey);
}

}  // namespace
