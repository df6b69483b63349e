#include "buffer/core/GridEditor.h"

#include <algorithm>

#include "buffer/core/DataBuffer.h"
#include "buffer/core/EditRecords.h"
#include "buffer/core/HexText.h"

namespace buffer {
namespace {

// The platform grid's in-place editor holds at most this many characters.
constexpr std::size_t kEditorLimit = 9;
constexpr int kAddressCells = 6;

bool IsAddressGrid(GridId grid) { return grid == GridId::Address8 || grid == GridId::Address16; }
bool IsHexGrid(GridId grid) { return grid == GridId::Hex8 || grid == GridId::Hex16; }
bool IsCharGrid(GridId grid) { return grid == GridId::Ascii8 || grid == GridId::Ascii16; }

char Upper(char c) { return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c; }

// The edit masks of the 8-bit page: "A" on the address cells (one letter or digit, required),
// "C" on the character cells (one character of any kind, required). A masked editor holds
// exactly its one character: a typed one replaces it and none can be erased.
enum class EditMask { None, Alphanumeric, AnyChar };

EditMask MaskOf(GridId grid) {
  switch (grid) {
    case GridId::Address8: return EditMask::Alphanumeric;
    case GridId::Ascii8: return EditMask::AnyChar;
    default: return EditMask::None;
  }
}

bool IsAlphanumeric(std::uint8_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

int ColumnCount(GridId grid) {
  switch (grid) {
    case GridId::Address8:
    case GridId::Address16: return kAddressCells;
    case GridId::Hex16: return 8;
    default: return 16;
  }
}

ScrollBarId PageOf(GridId grid) {
  return static_cast<int>(grid) < static_cast<int>(GridId::Address16) ? ScrollBarId::Bits8
                                                                      : ScrollBarId::Bits16;
}

std::string CharText(std::uint8_t byte) {
  return byte == 0 ? std::string() : std::string(1, static_cast<char>(byte));
}

GridEditor::GridEditor(const EditProfile& profile, DataBuffer& buffer, DumpView& view,
                       EditRecords* records)
    : profile_(profile), buffer_(buffer), view_(view), records_(records) {
  for (int g = 0; g < kGridCount; ++g) {
    cells_[g].assign(static_cast<std::size_t>(ColumnCount(GridId(g)) * (Rows() + 1)), {});
  }
  WriteHeaders();
}

std::string& GridEditor::Cell(GridId grid, int column, int row) {
  return cells_[Index(grid)][static_cast<std::size_t>(row * ColumnCount(grid) + column)];
}

const std::string& GridEditor::Text(GridId grid, int column, int row) const {
  return cells_[Index(grid)][static_cast<std::size_t>(row * ColumnCount(grid) + column)];
}

void GridEditor::WriteHeaders() {
  for (int c = 0; c < 16; ++c) {
    Cell(GridId::Hex8, c, 0) = FormatHex(static_cast<std::uint32_t>(c), 2);
    Cell(GridId::Ascii8, c, 0) = FormatHex(static_cast<std::uint32_t>(c), 1);
    // Each byte pair is labelled above its second cell with the word's column.
    if (c % 2 == 1) Cell(GridId::Ascii16, c, 0) = FormatHex(static_cast<std::uint32_t>(c - 1) / 2, 1);
  }
  for (int c = 0; c < 8; ++c) Cell(GridId::Hex16, c, 0) = FormatHex(static_cast<std::uint32_t>(c), 4);
}

void GridEditor::RefreshGrids() {
  editing_ = false;
  const BufferLock lock(buffer_);
  for (int r = 1; r <= Rows(); ++r) {
    const std::int64_t rowAddress = view_.CellAddress(r, 0);
    RefreshBytes(lock, r, rowAddress);
    RefreshWords(lock, r, rowAddress);
    RefreshAddressCells(r, rowAddress);
  }
}

void GridEditor::ShowAddressInRow(std::int64_t address, int cursorRow) {
  view_.ShowFromRow(address / kRowBytes - (cursorRow - 1));
  const int row = static_cast<int>(address / kRowBytes - view_.FirstRow() + 1);
  const int column = static_cast<int>(address % kRowBytes);
  const GridCell cell8{column, row};
  const GridCell cell16{AsciiColumnOffset(column), row};
  MoveCursor(GridId::Hex8, cell8);
  SyncGridCursor(GridId::Hex8, cell8);
  MoveCursor(GridId::Ascii16, cell16);
  SyncGridCursor(GridId::Ascii16, cell16);
  RefreshGrids();
}

// Cells past the end show nothing rather than bytes of an earlier, larger buffer.
void GridEditor::RefreshBytes(const BufferLock& lock, int row, std::int64_t rowAddress) {
  for (int c = 0; c < 16; ++c) {
    const std::int64_t a = rowAddress + c;
    const bool inside = a < lock.size();
    Cell(GridId::Hex8, c, row) = inside ? FormatHex(lock[static_cast<std::size_t>(a)], 2) : "";
    Cell(GridId::Ascii8, c, row) = inside ? CharText(lock[static_cast<std::size_t>(a)]) : "";
  }
}

void GridEditor::RefreshWords(const BufferLock& lock, int row, std::int64_t rowAddress) {
  for (int k = 0; k < 8; ++k) {
    const std::int64_t a = rowAddress + 2 * k;
    std::string& word = Cell(GridId::Hex16, k, row);
    std::string& left = Cell(GridId::Ascii16, 2 * k, row);
    std::string& right = Cell(GridId::Ascii16, 2 * k + 1, row);
    if (a >= lock.size()) {
      word.clear();
      left.clear();
      right.clear();
      continue;
    }
    // The slack past BufSize makes the pair read safe at the very end.
    const std::uint8_t first = lock[static_cast<std::size_t>(a + AsciiColumnOffset(0))];
    const std::uint8_t second = lock[static_cast<std::size_t>(a + AsciiColumnOffset(1))];
    word = FormatHex(first, 2) + FormatHex(second, 2);
    left = CharText(first);
    right = CharText(second);
  }
}

// Six cells show the first six digits; seven-digit addresses lose their last one.
void GridEditor::RefreshAddressCells(int row, std::int64_t rowAddress) {
  const std::string bytes = FormatHex(static_cast<std::uint32_t>(rowAddress), 6);
  const std::string words = FormatHex(static_cast<std::uint32_t>(rowAddress / 2), 6);
  for (int c = 0; c < kAddressCells; ++c) {
    Cell(GridId::Address8, c, row) = bytes.substr(static_cast<std::size_t>(c), 1);
    Cell(GridId::Address16, c, row) = words.substr(static_cast<std::size_t>(c), 1);
  }
}

bool GridEditor::PokeByte(int column, int gridRow, std::uint8_t value) {
  if (gridRow - 1 < 0) return false;
  const std::int64_t a = view_.CellAddress(gridRow, column);
  BufferLock lock(buffer_);
  if (a < 0 || a >= lock.size()) return false;
  lock[static_cast<std::size_t>(a)] = value;
  return true;
}

bool GridEditor::PokeWord(int wordColumn, int gridRow, std::uint16_t value) {
  const std::uint8_t high = static_cast<std::uint8_t>(value >> 8);
  const std::uint8_t low = static_cast<std::uint8_t>(value & 0xFF);
  // The word's text reads high byte first; the byte that lands at the lower address
  // depends on the view's byte order.
  const bool first = PokeByte(2 * wordColumn, gridRow, profile_.bigEndianWords ? high : low);
  const bool second = PokeByte(2 * wordColumn + 1, gridRow, profile_.bigEndianWords ? low : high);
  return first || second;
}

std::int64_t GridEditor::CursorAddress(GridId grid) const {
  const GridCell cell = Cursor(grid);
  // A 16-bit character column shows the byte of its pair in the word's order.
  const int column = grid == GridId::Ascii16 ? AsciiColumnOffset(cell.column) : cell.column;
  return (cell.row + view_.FirstRow()) * kRowBytes + column - kRowBytes;
}

std::int64_t GridEditor::ReadAddressCells(GridId grid, int gridRow) const {
  std::string digits;
  for (int c = 0; c < kAddressCells; ++c) {
    const std::string& cell = Text(grid, c, gridRow);
    if (cell.empty()) break;
    digits += cell[0];
  }
  std::int64_t address = ParseHex(digits);
  if (grid == GridId::Address16) address *= 2;
  if (gridRow > 0) address -= std::int64_t{gridRow - 1} * kRowBytes;
  return std::max<std::int64_t>(address, 0);
}

// ---- focus, mouse and keys ----

void GridEditor::FocusIn(GridId grid) {
  if (!IsHexGrid(grid)) skipEditCount_ = 1;
}

void GridEditor::FocusOut(GridId) {
  typedCount_ = 0;
  editing_ = false;
}

void GridEditor::EditorOpened(GridId grid) {
  const GridCell cell = Cursor(grid);
  SetEditText(grid, Text(grid, cell.column, cell.row));
  editing_ = false;
}

void GridEditor::MouseDown(GridId grid, int column, int row) {
  if (row < 1 || row > Rows() || column < 0 || column >= ColumnCount(grid)) return;
  MoveCursor(grid, {column, row});
  SyncGridCursor(grid, {column, row});
  if (grid == GridId::Hex8 && records_ && profile_.editRecords) RecordClick(column, row);
}

void GridEditor::RecordClick(int column, int row) {
  // The row's address comes from the view: the six address cells cut seven-digit ones. The
  // text is the byte itself, not the cell, which may hold an unfinished entry.
  const std::int64_t address = view_.CellAddress(row, column);
  const BufferLock lock(buffer_);
  const std::string text = address < lock.size()
                               ? FormatHex(lock[static_cast<std::size_t>(address)], 2)
                               : Text(GridId::Hex8, column, row);
  records_->Add({static_cast<std::int32_t>(view_.CellAddress(row, 0)), column, text});
}

GridCell GridEditor::Target(GridId grid, GridKey key) const {
  const GridCell at = Cursor(grid);
  const int last = ColumnCount(grid) - 1;
  switch (key) {
    case GridKey::PageUp: return {at.column, 1};
    case GridKey::PageDown: return {at.column, Rows()};
    case GridKey::Up: return {at.column, std::max(at.row - 1, 1)};
    case GridKey::Down: return {at.column, std::min(at.row + 1, Rows())};
    case GridKey::Home: return {0, at.row};
    case GridKey::End: return {last, at.row};
    case GridKey::Left: return {std::max(at.column - 1, 0), at.row};
    case GridKey::Right: return {std::min(at.column + 1, last), at.row};
    case GridKey::Other: break;
  }
  return at;
}

void GridEditor::KeyDown(GridId grid, GridKey key) {
  const GridCell target = Target(grid, key);
  if (IsHexGrid(grid) && partialHex_) {
    // The key after an unfinished hex entry moves only the grid's own cursor.
    partialHex_ = 0;
    if (key != GridKey::Other) MoveCursor(grid, target);
    return;
  }
  if (key == GridKey::Other) return;
  const int row = Cursor(grid).row;
  const ScrollBarId bar = PageOf(grid);
  if (key == GridKey::PageUp && row <= 1) Scroll(bar, ScrollCode::PageUp, 0);
  if (key == GridKey::PageDown && row > Rows() - 1) Scroll(bar, ScrollCode::PageDown, 0);
  if (key == GridKey::Up && row <= 1) Scroll(bar, ScrollCode::LineUp, 0);
  if (key == GridKey::Down && row > Rows() - 1) Scroll(bar, ScrollCode::LineDown, 0);
  MoveCursor(grid, target);
  SyncGridCursor(grid, target);
}

void GridEditor::Scroll(ScrollBarId bar, ScrollCode code, std::int32_t position) {
  view_.Scroll(bar, code, position);
  RefreshGrids();
}

void GridEditor::WheelRows(std::int32_t rows) {
  if (rows == 0) return;
  view_.MoveToRow(view_.FirstRow() + rows);
  RefreshGrids();
}

void GridEditor::MoveCursor(GridId grid, GridCell cell) {
  cursor_[Index(grid)] = cell;
  editing_ = false;
}

void GridEditor::MoveOn(GridId grid) {
  GridCell cell = Cursor(grid);
  if (cell.column + 1 < ColumnCount(grid)) {
    ++cell.column;
  } else {
    cell.column = 0;
    cell.row = cell.row >= Rows() ? 1 : cell.row + 1;
  }
  MoveCursor(grid, cell);
}

void GridEditor::SyncGridCursor(GridId grid, GridCell cell) {
  auto rowOnly = [&](GridId other) { cursor_[Index(other)].row = cell.row; };
  auto put = [&](GridId other, int column) { cursor_[Index(other)] = {column, cell.row}; };
  switch (grid) {
    case GridId::Hex8: rowOnly(GridId::Address8); put(GridId::Ascii8, cell.column); break;
    case GridId::Ascii8: rowOnly(GridId::Address8); put(GridId::Hex8, cell.column); break;
    case GridId::Hex16: rowOnly(GridId::Address16); put(GridId::Ascii16, 2 * cell.column); break;
    case GridId::Ascii16: rowOnly(GridId::Address16); put(GridId::Hex16, cell.column / 2); break;
    case GridId::Address8: rowOnly(GridId::Hex8); rowOnly(GridId::Ascii8); break;
    case GridId::Address16: rowOnly(GridId::Hex16); rowOnly(GridId::Ascii16); break;
  }
}

void GridEditor::SyncTwinCell(GridId grid, GridCell cell) {
  const std::string& text = Text(grid, cell.column, cell.row);
  const std::uint8_t first = text.empty() ? 0 : static_cast<std::uint8_t>(text[0]);
  switch (grid) {
    case GridId::Hex8:
      Cell(GridId::Ascii8, cell.column, cell.row) = CharText(ParseHex(text) & 0xFF);
      break;
    case GridId::Ascii8: Cell(GridId::Hex8, cell.column, cell.row) = FormatHex(first, 2); break;
    case GridId::Hex16: {
      const std::uint32_t v = ParseHex(text);
      Cell(GridId::Ascii16, 2 * cell.column, cell.row) = CharText((v >> 8) & 0xFF);
      Cell(GridId::Ascii16, 2 * cell.column + 1, cell.row) = CharText(v & 0xFF);
      break;
    }
    case GridId::Ascii16: {
      std::string& word = Cell(GridId::Hex16, cell.column / 2, cell.row);
      const std::string h = word + "    ";
      word = cell.column % 2 == 1 ? h.substr(0, 2) + FormatHex(first, 2)
                                  : FormatHex(first, 2) + h.substr(2, 2);
      break;
    }
    default: break;
  }
}

// ---- typed text ----

void GridEditor::TypeChar(GridId grid, std::uint8_t ch) {
  const GridCell cell = Cursor(grid);
  const EditMask mask = MaskOf(grid);
  if (mask == EditMask::Alphanumeric && !IsAlphanumeric(ch)) return;
  std::string text;
  const bool sameCell = editing_ && editingGrid_ == grid && editingCell_ == cell;
  if (sameCell && mask == EditMask::None) text = Text(grid, cell.column, cell.row);
  if (text.size() >= kEditorLimit) return;
  text += static_cast<char>(ch);
  editing_ = true;
  editingGrid_ = grid;
  editingCell_ = cell;
  SetEditText(grid, text);
}

void GridEditor::EraseChar(GridId grid) {
  if (MaskOf(grid) != EditMask::None) return;
  const GridCell cell = Cursor(grid);
  std::string text = Text(grid, cell.column, cell.row);
  if (!text.empty()) text.pop_back();
  editing_ = true;
  editingGrid_ = grid;
  editingCell_ = cell;
  SetEditText(grid, text);
}

void GridEditor::SetEditText(GridId grid, const std::string& text) {
  const GridCell cell = Cursor(grid);
  Cell(grid, cell.column, cell.row) = text.substr(0, kEditorLimit);
  if (grid == GridId::Hex8) HexEdit(grid, text, 2);
  else if (grid == GridId::Hex16) HexEdit(grid, text, 4);
  else if (IsCharGrid(grid)) CharEdit(grid, text);
  else if (IsAddressGrid(grid)) AddressEdit(grid, text);
}

void GridEditor::HexEdit(GridId grid, std::string text, std::size_t digits) {
  const GridCell cell = Cursor(grid);
  text = text.substr(0, kEditorLimit);
  ++typedCount_;
  const bool complete = text.size() > digits - 1;
  for (char& c : text) {
    if (!IsHexDigit(c)) c = '0';
    else if (complete) c = Upper(c);
  }
  if (grid == GridId::Hex16) text = text.substr(0, digits);
  Cell(grid, cell.column, cell.row) = text;

  if (complete && typedCount_ > static_cast<int>(digits) - 1 && !text.empty()) {
    const std::uint32_t value = ParseHex(text);
    const bool written = grid == GridId::Hex8
                             ? PokeByte(cell.column, cell.row, value & 0xFF)
                             : PokeWord(cell.column, cell.row, value & 0xFFFF);
    if (written) modified_ = 1;
    SyncTwinCell(grid, cell);
    SyncGridCursor(grid, cell);
    MoveOn(grid);
  } else if (!text.empty() && text[0] != ' ' && typedCount_ > 0) {
    SyncGridCursor(grid, cell);
    partialHex_ = 1;
  }
}

bool GridEditor::CountAndSkip(const std::string& text) {
  if (!text.empty()) ++typedCount_;
  if (skipEditCount_ <= 0) return false;
  --skipEditCount_;
  return true;
}

void GridEditor::CharEdit(GridId grid, const std::string& text) {
  const GridCell cell = Cursor(grid);
  if (CountAndSkip(text) || text.empty() || typedCount_ <= 0 || text[0] == '\0') return;
  const std::uint8_t ch = static_cast<std::uint8_t>(text[0]);
  const int column = grid == GridId::Ascii8 ? cell.column : AsciiColumnOffset(cell.column);
  if (PokeByte(column, cell.row, ch)) modified_ = 1;
  SyncTwinCell(grid, cell);
  SyncGridCursor(grid, cell);
  MoveOn(grid);
}

void GridEditor::AddressEdit(GridId grid, const std::string& text) {
  const GridCell cell = Cursor(grid);
  if (CountAndSkip(text) || text.empty() || typedCount_ <= 0 || text[0] == '\0' ||
      text[0] == ' ')
    return;
  std::string& stored = Cell(grid, cell.column, cell.row);
  if (!IsHexDigit(text[0])) stored[0] = '0';
  // The 8-bit grid shows the digit raised; the 16-bit grid keeps it as typed.
  else if (grid == GridId::Address8) stored[0] = Upper(stored[0]);

  const std::int64_t address = ReadAddressCells(grid, cell.row);
  view_.JumpToAddress(address, buffer_.BufSize());
  RefreshGrids();
  MoveOn(grid);
}

}  // namespace buffer
