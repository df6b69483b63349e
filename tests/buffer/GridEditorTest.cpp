// The grid editing rules without widgets: typed hex, character and address cells, the
// acceptance gates, the twin cells, cursor moves and the key routines.
#include <gtest/gtest.h>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace buffer {
namespace {

class GridEditing : public ::testing::Test {
 protected:
  explicit GridEditing(const EditProfile& profile = ConsoleProfile()) : core_(profile) {
    EXPECT_TRUE(core_.Create());
  }

  std::uint8_t Byte(std::int64_t address) {
    BufferLock lock(core_.buffer());
    return lock[static_cast<std::size_t>(address)];
  }
  void Type(GridId grid, const std::string& text) {
    for (char c : text) {
      grids().KeyDown(grid, GridKey::Other);
      grids().TypeChar(grid, static_cast<std::uint8_t>(c));
    }
  }
  // Focus arrives the way the platform grids deliver it: the grid is entered and its
  // in-place editor reports the cell it opens on.
  void Enter(GridId grid, int column, int row) {
    grids().FocusIn(grid);
    grids().MouseDown(grid, column, row);
    grids().EditorOpened(grid);
  }
  GridEditor& grids() { return core_.grids(); }
  const DumpView& view() { return core_.view(); }

  winapi::ScriptedMessageBoxes boxes_;
  DumpEditCore core_;
};

TEST_F(GridEditing, TwoHexDigitsStoreAByteAndMoveOn) {
  grids().MouseDown(GridId::Hex8, 3, 2);
  Type(GridId::Hex8, "a");
  EXPECT_EQ(grids().Text(GridId::Hex8, 3, 2), "a");
  EXPECT_EQ(grids().PartialHex(), 1);
  EXPECT_EQ(Byte(0x13), 0xFF);
  Type(GridId::Hex8, "b");
  EXPECT_EQ(Byte(0x13), 0xAB);
  EXPECT_EQ(grids().Text(GridId::Hex8, 3, 2), "AB");
  EXPECT_EQ(grids().Text(GridId::Ascii8, 3, 2), std::string(1, '\xAB'));
  EXPECT_EQ(grids().Modified(), 1);
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{4, 2}));
  // The siblings stay on the edited cell until the next key.
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{3, 2}));
}

TEST_F(GridEditing, TheCursorWrapsAtTheEndOfARowAndFromTheLastRowToTheFirst) {
  grids().MouseDown(GridId::Hex8, 15, 3);
  Type(GridId::Hex8, "01");
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{0, 4}));
  grids().MouseDown(GridId::Hex8, 15, 16);
  Type(GridId::Hex8, "02");
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{0, 1}));
  EXPECT_EQ(Byte(0xFF), 0x02);
  EXPECT_EQ(view().FirstRow(), 0);  // the view does not scroll
}

TEST_F(GridEditing, ANonHexFirstDigitShowsZero) {
  grids().MouseDown(GridId::Hex8, 0, 1);
  Type(GridId::Hex8, "G");
  EXPECT_EQ(grids().Text(GridId::Hex8, 0, 1), "0");
  Type(GridId::Hex8, "7");
  EXPECT_EQ(Byte(0), 0x07);
}

TEST_F(GridEditing, TheFirstNotificationAfterFocusIsNoCompleteEntry) {
  // The editor's own report of "FF" counts once: not enough to write the cell back.
  Enter(GridId::Hex8, 2, 1);
  EXPECT_EQ(grids().Modified(), 0);
  EXPECT_EQ(grids().PartialHex(), 1);
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{2, 1}));
  Type(GridId::Hex8, "5");
  Type(GridId::Hex8, "a");
  EXPECT_EQ(Byte(2), 0x5A);
  grids().FocusOut(GridId::Hex8);
  EXPECT_EQ(grids().TypedCount(), 0);
}

TEST_F(GridEditing, FourDigitsInASixteenBitCellStoreLowByteFirst) {
  grids().MouseDown(GridId::Hex16, 1, 1);
  Type(GridId::Hex16, "123");
  EXPECT_EQ(Byte(2), 0xFF);
  EXPECT_EQ(grids().Text(GridId::Hex16, 1, 1), "123");
  Type(GridId::Hex16, "4");
  EXPECT_EQ(Byte(2), 0x34);
  EXPECT_EQ(Byte(3), 0x12);
  EXPECT_EQ(grids().Modified(), 1);
  EXPECT_EQ(grids().Text(GridId::Ascii16, 2, 1), "\x12");
  EXPECT_EQ(grids().Text(GridId::Ascii16, 3, 1), "\x34");
  EXPECT_EQ(grids().Cursor(GridId::Hex16), (GridCell{2, 1}));
  grids().RefreshGrids();
  EXPECT_EQ(grids().Text(GridId::Hex16, 1, 1), "1234");
}

TEST_F(GridEditing, ACharacterInTheSixteenBitGridLandsAtTheSwappedColumn) {
  Enter(GridId::Ascii16, 4, 1);
  Type(GridId::Ascii16, "Z");
  EXPECT_EQ(Byte(5), 0x5A);
  EXPECT_EQ(Byte(4), 0xFF);
  EXPECT_EQ(grids().Text(GridId::Hex16, 2, 1), "5AFF");
  grids().RefreshGrids();
  EXPECT_EQ(grids().Text(GridId::Ascii16, 4, 1), "Z");
  EXPECT_EQ(grids().Text(GridId::Hex16, 2, 1), "5AFF");
}

TEST_F(GridEditing, ACharacterInTheEightBitGridAndItsHexTwin) {
  Enter(GridId::Ascii8, 7, 3);
  EXPECT_EQ(grids().Modified(), 0);  // the editor's opening report is skipped
  Type(GridId::Ascii8, "a");
  EXPECT_EQ(Byte(0x27), 'a');
  EXPECT_EQ(grids().Text(GridId::Hex8, 7, 3), "61");
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{8, 3}));
}

TEST_F(GridEditing, WritesAtOrPastTheEndAreIgnored) {
  ASSERT_TRUE(core_.ResizeBuffer(0x108));
  grids().MouseDown(GridId::Hex8, 7, 1);
  core_.view().MoveToRow(0x10);  // MaxRow = 0x10 - 16 = 0: clamped back to 0
  EXPECT_EQ(view().FirstRow(), 0);
  // Use a view past the end directly through the pokes.
  EXPECT_TRUE(grids().PokeByte(7, 16, 0x11));  // 0xF7 is inside
  EXPECT_FALSE(grids().PokeByte(0, 0, 0x11));  // header row
  EXPECT_FALSE(grids().PokeByte(8, 17, 0x11));  // 0x108
  EXPECT_EQ(Byte(0x108), 0x00);                 // slack untouched
  // A buffer shorter than a screen: the cells past its end show nothing and take nothing.
  ASSERT_TRUE(core_.ResizeBuffer(0x87));
  EXPECT_EQ(grids().Text(GridId::Hex8, 6, 9), "FF");
  EXPECT_EQ(grids().Text(GridId::Hex8, 7, 9), "");
  EXPECT_EQ(grids().Text(GridId::Ascii8, 7, 9), "");
  EXPECT_EQ(grids().Text(GridId::Hex16, 3, 9), "00FF");  // the pair's second byte is slack
  EXPECT_EQ(grids().Text(GridId::Hex16, 4, 9), "");
  grids().MouseDown(GridId::Hex8, 7, 9);
  Type(GridId::Hex8, "12");
  EXPECT_EQ(Byte(0x87), 0x00);
  EXPECT_EQ(grids().Modified(), 0);
}

TEST_F(GridEditing, AnAddressEditMovesTheView) {
  Enter(GridId::Address8, 2, 1);
  Type(GridId::Address8, "1");  // 001000
  EXPECT_EQ(view().FirstAddress(), 0x1000);
  // Both pages' bars show where the view now stands.
  EXPECT_EQ(view().BarPosition(ScrollBarId::Bits8), 0x100);
  EXPECT_EQ(view().BarPosition(ScrollBarId::Bits16), 0x100);
  EXPECT_EQ(grids().Text(GridId::Address8, 2, 1), "1");
  EXPECT_EQ(grids().Cursor(GridId::Address8), (GridCell{3, 1}));
  Type(GridId::Address8, "g");  // not a digit: 0
  EXPECT_EQ(view().FirstAddress(), 0x1000);
  Type(GridId::Address8, "f");  // 0010F0 -> raised in the 8-bit grid
  EXPECT_EQ(view().FirstAddress(), 0x10F0);
  EXPECT_EQ(grids().Text(GridId::Address8, 4, 1), "F");
}

TEST_F(GridEditing, AnAddressNearTheEndShowsTheLastScreen) {
  Enter(GridId::Address8, 0, 1);
  Type(GridId::Address8, "f");  // F00000, far past the end
  EXPECT_EQ(view().FirstAddress(), 0xFFF00);
  EXPECT_EQ(view().PageNo(), 1);
  EXPECT_EQ(view().TopRow(), 0x7FF1);
}

TEST_F(GridEditing, AnAddressBelowTheEditedRowsOffsetStartsAtZero) {
  Enter(GridId::Address8, 4, 5);  // row 5 reads 000040
  Type(GridId::Address8, "1");    // 000010 - 4 * 16 < 0
  EXPECT_EQ(view().FirstAddress(), 0);
}

TEST_F(GridEditing, SixteenBitAddressesAreWordAddresses) {
  Enter(GridId::Address16, 3, 1);
  Type(GridId::Address16, "a");  // word 000A00 = byte 0x1400
  EXPECT_EQ(view().FirstAddress(), 0x1400);
  EXPECT_EQ(view().BarPosition(ScrollBarId::Bits16), 0x140);
  EXPECT_EQ(view().BarPosition(ScrollBarId::Bits8), 0x140);
  EXPECT_EQ(grids().Text(GridId::Address16, 3, 2), "A");  // next row: 0x1410 / 2 = 000A08
}

TEST_F(GridEditing, KeysKeepThePageOnOneCellAndScrollAtTheEdges) {
  grids().MouseDown(GridId::Hex8, 5, 16);
  grids().KeyDown(GridId::Hex8, GridKey::Down);
  EXPECT_EQ(view().FirstRow(), 1);
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{5, 16}));
  grids().KeyDown(GridId::Hex8, GridKey::PageDown);
  EXPECT_EQ(view().FirstRow(), 17);
  grids().KeyDown(GridId::Hex8, GridKey::Up);
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{5, 15}));
  EXPECT_EQ(grids().Cursor(GridId::Address8).row, 15);
  grids().KeyDown(GridId::Hex8, GridKey::PageUp);
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{5, 1}));
  EXPECT_EQ(view().FirstRow(), 17);
  grids().KeyDown(GridId::Hex8, GridKey::PageUp);
  EXPECT_EQ(view().FirstRow(), 1);
  grids().KeyDown(GridId::Hex8, GridKey::End);
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{15, 1}));
  grids().KeyDown(GridId::Hex8, GridKey::Right);
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{15, 1}));
  grids().KeyDown(GridId::Hex8, GridKey::Home);
  grids().KeyDown(GridId::Hex8, GridKey::Left);
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{0, 1}));

  grids().MouseDown(GridId::Hex16, 3, 4);
  EXPECT_EQ(grids().Cursor(GridId::Ascii16), (GridCell{6, 4}));
  grids().MouseDown(GridId::Ascii16, 11, 2);
  EXPECT_EQ(grids().Cursor(GridId::Hex16), (GridCell{5, 2}));
  grids().KeyDown(GridId::Hex16, GridKey::End);
  EXPECT_EQ(grids().Cursor(GridId::Hex16), (GridCell{7, 2}));
}

TEST_F(GridEditing, AfterOneHexDigitAnArrowMovesOnlyTheHexCursor) {
  grids().MouseDown(GridId::Hex8, 4, 4);
  Type(GridId::Hex8, "c");
  grids().KeyDown(GridId::Hex8, GridKey::Right);
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{5, 4}));
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{4, 4}));
  grids().KeyDown(GridId::Hex8, GridKey::Right);
  EXPECT_EQ(grids().Cursor(GridId::Ascii8), (GridCell{6, 4}));
  // Typing afresh in the new cell replaces its text.
  Type(GridId::Hex8, "1");
  EXPECT_EQ(grids().Text(GridId::Hex8, 6, 4), "1");
}

TEST_F(GridEditing, CursorAddressesFollowTheView) {
  core_.view().MoveToRow(0x8000);
  grids().MouseDown(GridId::Ascii8, 3, 2);
  EXPECT_EQ(grids().CursorAddress8(), 0x80013);
  // Each 16-bit character column shows the other byte of its pair.
  grids().MouseDown(GridId::Ascii16, 9, 1);
  EXPECT_EQ(grids().CursorAddress16(), 0x80008);
  grids().MouseDown(GridId::Ascii16, 4, 2);
  EXPECT_EQ(grids().CursorAddress16(), 0x80015);
}

// The masks of the 8-bit page: the address cells take one letter or digit, the character
// cells one character of any kind; neither can be left empty. The 16-bit grids have none.
struct MaskCase {
  GridId grid;
  std::string keys;  // '\b' is the backspace key
  std::string shown;
  std::int64_t firstAddress;
};

void PrintTo(const MaskCase& c, std::ostream* os) {
  *os << "grid " << static_cast<int>(c.grid) << ", keys \"" << c.keys << "\"";
}

class EditMasks : public GridEditing, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(EditMasks, RefuseWhatTheMaskDoesNotTake) {
  const MaskCase& c = GetParam();
  core_.view().MoveToRow(0x1234);  // 8-bit cells 012340, 16-bit cells 0091A0
  grids().RefreshGrids();
  Enter(c.grid, 2, 1);
  for (char key : c.keys) {
    grids().KeyDown(c.grid, GridKey::Other);
    if (key == '\b') grids().EraseChar(c.grid);
    else grids().TypeChar(c.grid, static_cast<std::uint8_t>(key));
  }
  EXPECT_EQ(grids().Text(c.grid, 2, 1), c.shown);
  EXPECT_EQ(view().FirstAddress(), c.firstAddress);
  EXPECT_EQ(Byte(0x12342), 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    GridCells, EditMasks,
    ::testing::Values(MaskCase{GridId::Address8, "-", "2", 0x12340},
                      MaskCase{GridId::Address8, " ", "2", 0x12340},
                      MaskCase{GridId::Address8, "\b", "2", 0x12340},
                      MaskCase{GridId::Address8, "G", "0", 0x10340},  // a letter: taken, as 0
                      MaskCase{GridId::Address8, "8", "8", 0x18340},
                      MaskCase{GridId::Ascii8, "\b", std::string(1, '\xFF'), 0x12340},
                      MaskCase{GridId::Address16, "-", "0", 0x340},   // no mask: '-' reads 0
                      MaskCase{GridId::Address16, " ", " ", 0x12340}));  // no mask: kept

TEST_F(GridEditing, AClickRemembersTheByteNotAnUnfinishedEntry) {
  grids().MouseDown(GridId::Hex8, 0, 1);
  Type(GridId::Hex8, "1");
  grids().MouseDown(GridId::Hex8, 0, 1);
  ASSERT_EQ(core_.records().records().size(), 2u);
  EXPECT_EQ(core_.records().records()[1].CellText, "FF");
  // Nothing was written, so closing finds nothing changed.
  EXPECT_FALSE(core_.CheckEditsOnClose());
  grids().MouseDown(GridId::Hex8, 0, 1);
  Type(GridId::Hex8, "12");
  EXPECT_TRUE(core_.CheckEditsOnClose());
}

TEST_F(GridEditing, TheWheelMovesTheViewByRowsAcrossPages) {
  grids().WheelRows(3);
  EXPECT_EQ(view().FirstRow(), 3);
  core_.view().MoveToRow(0x7FFE);
  grids().WheelRows(2);
  EXPECT_EQ(view().PageNo(), 1);
  EXPECT_EQ(view().TopRow(), 1);
  EXPECT_EQ(grids().Text(GridId::Address8, 1, 1), "8");  // 080000
  grids().WheelRows(0x100000);
  EXPECT_EQ(view().FirstRow(), view().MaxRow());
  grids().WheelRows(-0x100000);
  EXPECT_EQ(view().FirstRow(), 0);
}

TEST_F(GridEditing, SevenDigitAddressesShowTheirFirstSixDigits) {
  ASSERT_TRUE(core_.ResizeBuffer(0x1020000));
  core_.view().MoveToRow(0x100000);
  grids().RefreshGrids();
  std::string shown;
  for (int c = 0; c < 6; ++c) shown += grids().Text(GridId::Address8, c, 1);
  EXPECT_EQ(shown, "100000");
  // Writes still go where the view is.
  grids().MouseDown(GridId::Hex8, 0, 1);
  Type(GridId::Hex8, "00");
  EXPECT_EQ(Byte(0x1000000), 0x00);
}

class UpdateToolGridEditing : public GridEditing {
 protected:
  UpdateToolGridEditing() : GridEditing(UpdateToolProfile()) {}
};

TEST_F(UpdateToolGridEditing, WordsAreBigEndianAndTheViewHasNineRows) {
  EXPECT_EQ(grids().Rows(), 9);
  grids().MouseDown(GridId::Hex16, 0, 1);
  Type(GridId::Hex16, "1234");
  EXPECT_EQ(Byte(0), 0x12);
  EXPECT_EQ(Byte(1), 0x34);
  grids().RefreshGrids();
  EXPECT_EQ(grids().Text(GridId::Hex16, 0, 1), "1234");
  EXPECT_EQ(grids().Text(GridId::Ascii16, 0, 1), "\x12");
  Enter(GridId::Ascii16, 4, 1);
  Type(GridId::Ascii16, "Z");
  EXPECT_EQ(Byte(4), 'Z');
  EXPECT_EQ(grids().Text(GridId::Hex16, 2, 1), "5A00");

  grids().MouseDown(GridId::Hex8, 0, 9);
  grids().KeyDown(GridId::Hex8, GridKey::PageDown);
  EXPECT_EQ(view().FirstRow(), 13);
  grids().MouseDown(GridId::Hex8, 0, 9);
  Type(GridId::Hex8, "11");
  EXPECT_EQ(grids().Cursor(GridId::Hex8), (GridCell{1, 9}));
}

TEST_F(UpdateToolGridEditing, ATypedAddressStopsNineRowsBeforeTheEnd) {
  ASSERT_TRUE(core_.ResizeBuffer(0x30000));
  Enter(GridId::Address8, 0, 1);
  Type(GridId::Address8, "F");
  EXPECT_EQ(view().FirstAddress(), 0x30000 - 0x90);
}

}  // namespace
}  // namespace buffer
