#pragma once
// The Search dialog's two linked rows of ten cells, free of any widget: the pattern as
// characters (ASCII grid) and as hex bytes (binary grid), each grid's cursor column, and
// the rules that keep one grid in step with the other while the user types, clicks and
// moves. Only the binary cells make the pattern.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "buffer/core/GridEditor.h"
#include "buffer/core/HexText.h"

namespace buffer {

enum class SearchGrid { Ascii = 0, Binary = 1 };

class SearchCells {
 public:
  static constexpr int kColumns = 10;

  // Whether backspace erases a binary cell's last digit (the hex key filter's rule).
  explicit SearchCells(HexKeyRule hexKeyRule = HexKeyRule::KeepBackspace)
      : hexKeyRule_(hexKeyRule) {}

  const std::string& Cell(SearchGrid grid, int column) const {
    return cells_[Index(grid)][static_cast<std::size_t>(column)];
  }
  int Column(SearchGrid grid) const { return column_[Index(grid)]; }
  int TypedCount() const { return typedCount_; }
  bool BinGridActive() const { return binGridActive_; }
  // Set by a binary cell's first digit: the next key-down in a grid is not followed.
  bool SkipNextArrow() const { return skipNextArrow_; }

  // Cells from the hex text, two characters a cell, the ASCII cell the character of that
  // value (none for 0); cells past the text keep what they hold.
  void ShowPattern(std::string_view text);
  // The binary cells up to the first that does not open with a hex digit, each as two
  // digits (a one-digit cell is one byte); nothing when the first cell is not taken.
  std::optional<std::string> ReadPattern() const;
  void Clear();

  // The dialog's handlers of the two grids' events.
  void AsciiSGEnter() { binGridActive_ = false; }
  void BinSGEnter() { binGridActive_ = true; }
  void AsciiSGExit();
  void BinSGExit();
  // After the click has put the grid's cursor on `column`.
  void AsciiSGMouseDown(int column) { SetTwinColumn(SearchGrid::Ascii, column); }
  void BinSGMouseDown(int column) { SetTwinColumn(SearchGrid::Binary, column); }
  // Before the grid's own cursor moves by the key.
  void AsciiSGKeyDown(GridKey key) { FollowArrowKey(SearchGrid::Ascii, key); }
  void BinSGKeyDown(GridKey key) { FollowArrowKey(SearchGrid::Binary, key); }
  // A key typed into a binary cell: hex digits (lower case raised) and backspace pass, every
  // other key becomes 0 and is dropped.
  void BinSGKeyPress(char& key) { key = FilterHexKey(key, hexKeyRule_); }
  // The cell editor's edit mask of the ASCII cells: one character of any kind.
  static std::string_view AsciiSGGetEditMask() { return "c"; }

  // The other grid's column := `column`.
  void SetTwinColumn(SearchGrid grid, int column) { SetColumn(Other(grid), column); }
  // Left and Right move the other grid beside this grid's column; nothing right after a
  // binary cell's first digit.
  void FollowArrowKey(SearchGrid grid, GridKey key);

  // The grid's own handling of a click and of a key: its cursor moves.
  void SetColumn(SearchGrid grid, int column);
  void MoveCursor(SearchGrid grid, GridKey key);
  // A character typed into the grid's cursor cell, past its key press handler: the binary
  // cell being typed appends it, an ASCII cell holds one character, which a typed one
  // replaces; backspace erases.
  void TypeChar(SearchGrid grid, char ch);
  // Backspace: the binary cell loses its last digit when the hex key filter keeps the key.
  void EraseChar(SearchGrid grid);

 private:
  static int Index(SearchGrid grid) { return static_cast<int>(grid); }
  static SearchGrid Other(SearchGrid grid) {
    return grid == SearchGrid::Ascii ? SearchGrid::Binary : SearchGrid::Ascii;
  }
  std::string& CellAt(SearchGrid grid, int column) {
    return cells_[Index(grid)][static_cast<std::size_t>(column)];
  }
  // The cursor cell's editor text changed.
  void SetEditText(SearchGrid grid, const std::string& text);
  void AsciiSGSetEditText(const std::string& text);
  void BinSGSetEditText(const std::string& text);

  HexKeyRule hexKeyRule_;
  std::array<std::array<std::string, kColumns>, 2> cells_{};
  std::array<int, 2> column_{0, 0};
  int typedCount_ = 0;
  bool binGridActive_ = false;
  bool skipNextArrow_ = false;
  // The binary cell whose editor holds typed digits; typing elsewhere starts afresh.
  bool editing_ = false;
};

}  // namespace buffer
