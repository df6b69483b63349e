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

  // Cells from the hex text, two characters a cell, the ASCII cell the character of that
  // value (none for 0); cells past the text keep what they hold.
  void ShowPattern(std::string_view text);
  // The binary cells up to the first that does not open with a hex digit, each as two
  // digits (a one-digit cell is one byte); nothing when the first cell is not taken.
  std::optional<std::string> ReadPattern() const;
  void Clear();

  // Events from the grids.
  void Enter(SearchGrid grid);
  void Exit(SearchGrid grid);
  void MouseDown(SearchGrid grid, int column);
  // The key first moves the other grid (Left, Right; not right after a binary cell's first
  // digit), then the grid's own cursor.
  void KeyDown(SearchGrid grid, GridKey key);
  // A typed character into the grid's cursor cell: the binary grid takes what the hex key
  // filter lets through and appends to the cell being typed; an ASCII cell holds one
  // character, which a typed one replaces.
  void TypeChar(SearchGrid grid, char ch);
  // Backspace: the binary cell loses its last digit when the hex key filter keeps the key.
  void EraseChar(SearchGrid grid);
  // The cursor cell's editor text changed.
  void SetEditText(SearchGrid grid, const std::string& text);

 private:
  static int Index(SearchGrid grid) { return static_cast<int>(grid); }
  static SearchGrid Other(SearchGrid grid) {
    return grid == SearchGrid::Ascii ? SearchGrid::Binary : SearchGrid::Ascii;
  }
  std::string& CellAt(SearchGrid grid, int column) {
    return cells_[Index(grid)][static_cast<std::size_t>(column)];
  }
  void SetColumn(SearchGrid grid, int column);
  // Both grids on the column after `column`, the first after the last.
  void MoveBothOn(int column);
  void BinaryEdit(const std::string& text);
  void AsciiEdit(const std::string& text);

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
