#pragma once
// The editing rules of the Dump Edit's six grids, free of any widget: the cell texts, each
// grid's cursor, the acceptance of typed hex, character and address cells, the key routines
// that keep a page's three grids on one cell and scroll at the edges, and RefreshGrids.
// The widgets feed it events (focus, mouse, keys, typed characters, scroll-bar notifications)
// and show what it holds.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "buffer/core/DumpView.h"
#include "buffer/core/EditProfile.h"

namespace buffer {

class BufferLock;
class DataBuffer;
class EditRecords;

enum class GridId { Address8, Hex8, Ascii8, Address16, Hex16, Ascii16 };
inline constexpr int kGridCount = 6;

int ColumnCount(GridId grid);
// The page (and so the scroll bar) a grid sits on.
ScrollBarId PageOf(GridId grid);

enum class GridKey { PageUp, PageDown, Up, Down, Home, End, Left, Right, Other };

struct GridCell {
  int column = 0;
  int row = 1;  // 0 is the header row, 1..rowsShown the data rows
  bool operator==(const GridCell&) const = default;
};

// A byte as the character grids show it: one Latin-1 character, nothing for 0x00.
std::string CharText(std::uint8_t byte);

class GridEditor {
 public:
  // records may be null: no clicks are remembered then.
  GridEditor(const EditProfile& profile, DataBuffer& buffer, DumpView& view,
             EditRecords* records);

  int Rows() const { return profile_.rowsShown; }
  const std::string& Text(GridId grid, int column, int row) const;
  GridCell Cursor(GridId grid) const { return cursor_[Index(grid)]; }

  int SkipEditCount() const { return skipEditCount_; }
  int TypedCount() const { return typedCount_; }
  int PartialHex() const { return partialHex_; }
  int Modified() const { return modified_; }

  // Events from the grids, each one handler for all six grids alike.
  void FocusIn(GridId grid);
  void FocusOut(GridId grid);
  // The in-place editor of a grid reports its cell's text when it opens on focus.
  void EditorOpened(GridId grid);
  // HexCodeSG8bitMouseDown and its five siblings: the cursors follow the press, and a press
  // on the 8-bit hex grid leaves an edit record.
  void MouseDown(GridId grid, int column, int row);
  // The grids' key-down handlers. The key routines GridKeyAddress, GridKeyHex16 and
  // GridKeyByte are one routine here: the grid's last column (5, 7 or 15) is all that tells
  // them apart.
  void KeyDown(GridId grid, GridKey key);
  // A typed character (Latin-1) into the cursor cell: the first one after the cursor reached
  // the cell replaces its text, later ones are appended (at most 9 characters).
  void TypeChar(GridId grid, std::uint8_t ch);
  void EraseChar(GridId grid);
  // The in-place editor's text of the cursor cell changed: HexCodeSG8bitSetEditText,
  // HexCodeSG16BitSetEditText, ASCIICode8bitSGSetEditText, ASCIICode16BisSGSetEditText,
  // AddressGB8bitSetEditText or AddressSG16BitSetEditText, by the grid.
  void SetEditText(GridId grid, const std::string& text);
  void Scroll(ScrollBarId bar, ScrollCode code, std::int32_t position);
  // The mouse wheel: the view moves by rows (positive: toward the end), across pages.
  void WheelRows(std::int32_t rows);

  // Redraws every grid's data rows from the buffer at the current view.
  void RefreshGrids();

  // Shows the byte at `address` in grid row `cursorRow` (as near to it as the view's first
  // row allows), puts the cursors of both pages on it and redraws the grids.
  void ShowAddressInRow(std::int64_t address, int cursorRow);

  // Writes into the buffer at the view; grid row 0 and addresses at or past BufSize are
  // ignored. True when something was written.
  bool PokeByte(int column, int gridRow, std::uint8_t value);
  // One 16-bit word of the 16-bit hex grid, in the profile's byte order.
  bool PokeWord(int wordColumn, int gridRow, std::uint16_t value);

  // The byte address the character grid's cursor cell shows.
  std::int64_t CursorAddress8() const { return CursorAddress(GridId::Ascii8); }
  std::int64_t CursorAddress16() const { return CursorAddress(GridId::Ascii16); }

  // The address of the view's first line that the six address cells of a row name (mode 1:
  // word addresses), never negative.
  std::int64_t ReadAddressCells(GridId grid, int gridRow) const;

 private:
  static int Index(GridId grid) { return static_cast<int>(grid); }
  std::string& Cell(GridId grid, int column, int row);
  std::int64_t CursorAddress(GridId grid) const;
  // The byte offset within its word pair of a 16-bit character column.
  int AsciiColumnOffset(int column) const { return profile_.bigEndianWords ? column : column ^ 1; }

  void HexEdit(GridId grid, std::string text, std::size_t digits);
  // Counts a notification of a character or address grid; true when it is the one the skip
  // counter swallows.
  bool CountAndSkip(const std::string& text);
  void CharEdit(GridId grid, const std::string& text);
  void AddressEdit(GridId grid, const std::string& text);

  // Remembers a click on the 8-bit hex grid with the clicked byte as it is.
  void RecordClick(int column, int row);
  GridCell Target(GridId grid, GridKey key) const;
  void MoveCursor(GridId grid, GridCell cell);
  void MoveOn(GridId grid);
  void SyncGridCursor(GridId grid, GridCell cell);
  void SyncTwinCell(GridId grid, GridCell cell);
  void WriteHeaders();
  void RefreshBytes(const BufferLock& lock, int row, std::int64_t rowAddress);
  void RefreshWords(const BufferLock& lock, int row, std::int64_t rowAddress);
  void RefreshAddressCells(int row, std::int64_t rowAddress);

  const EditProfile& profile_;
  DataBuffer& buffer_;
  DumpView& view_;
  EditRecords* records_;

  std::array<std::vector<std::string>, kGridCount> cells_;
  std::array<GridCell, kGridCount> cursor_{};
  // The cell whose in-place editor holds typed text; typing elsewhere starts afresh.
  bool editing_ = false;
  GridId editingGrid_ = GridId::Hex8;
  GridCell editingCell_;

  int skipEditCount_ = 0;
  int typedCount_ = 0;
  int partialHex_ = 0;
  int modified_ = 0;
};

}  // namespace buffer
