#include "buffer/core/SearchCells.h"

#include <algorithm>

#include "buffer/core/HexText.h"

namespace buffer {
namespace {

// The platform grid's editor reads at most this many characters of a binary cell.
constexpr std::size_t kBinaryEditorLimit = 249;

char Upper(char c) { return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void SearchCells::ShowPattern(std::string_view text) {
  for (int k = 0; k < kColumns && !text.empty(); ++k) {
    const std::string_view digits = text.substr(0, 2);
    text.remove_prefix(digits.size());
    CellAt(SearchGrid::Binary, k) = std::string(digits);
    CellAt(SearchGrid::Ascii, k) = CharText(static_cast<std::uint8_t>(ParseHexDigits(digits)));
  }
}

std::optional<std::string> SearchCells::ReadPattern() const {
  std::string pattern;
  for (int k = 0; k < kColumns; ++k) {
    const std::string& cell = Cell(SearchGrid::Binary, k);
    if (cell.empty() || !IsHexDigit(cell[0])) break;
    pattern += FormatHex(ParseHexDigits(std::string_view(cell).substr(0, 2)) & 0xFF, 2);
  }
  if (pattern.empty()) return std::nullopt;
  return pattern;
}

void SearchCells::Clear() {
  for (auto& grid : cells_) grid.fill({});
  editing_ = false;
}

void SearchCells::AsciiSGExit() {
  typedCount_ = 0;
  binGridActive_ = true;
  editing_ = false;
}

void SearchCells::BinSGExit() {
  typedCount_ = 0;
  binGridActive_ = false;
  editing_ = false;
}

void SearchCells::FollowArrowKey(SearchGrid grid, GridKey key) {
  if (skipNextArrow_) {
    skipNextArrow_ = false;
  } else if (key == GridKey::Left) {
    SetTwinColumn(grid, Column(grid) - 1);
  } else if (key == GridKey::Right) {
    SetTwinColumn(grid, Column(grid) + 1);
  }
}

void SearchCells::SetColumn(SearchGrid grid, int column) {
  column_[Index(grid)] = std::clamp(column, 0, kColumns - 1);
  if (grid == SearchGrid::Binary) editing_ = false;
}

void SearchCells::MoveCursor(SearchGrid grid, GridKey key) {
  switch (key) {
    case GridKey::Left: SetColumn(grid, Column(grid) - 1); break;
    case GridKey::Right: SetColumn(grid, Column(grid) + 1); break;
    case GridKey::Home: SetColumn(grid, 0); break;
    case GridKey::End: SetColumn(grid, kColumns - 1); break;
    default: break;
  }
}

void SearchCells::TypeChar(SearchGrid grid, char ch) {
  if (ch == kBackspace) {
    EraseChar(grid);
  } else if (grid == SearchGrid::Ascii) {
    SetEditText(grid, std::string(1, ch));
  } else {
    std::string text = editing_ ? Cell(grid, Column(grid)) : std::string();
    editing_ = true;
    SetEditText(grid, text + ch);
  }
}

void SearchCells::EraseChar(SearchGrid grid) {
  // An ASCII cell always holds its one character.
  if (grid == SearchGrid::Ascii) return;
  std::string text = Cell(grid, Column(grid));
  if (!text.empty()) text.pop_back();
  editing_ = true;
  SetEditText(grid, text);
}

void SearchCells::SetEditText(SearchGrid grid, const std::string& text) {
  if (grid == SearchGrid::Binary) BinSGSetEditText(text.substr(0, kBinaryEditorLimit));
  else AsciiSGSetEditText(text.substr(0, AsciiSGGetEditMask().size()));
}

void SearchCells::BinSGSetEditText(const std::string& typed) {
  const int c = Column(SearchGrid::Binary);
  std::string text = typed;
  if (!text.empty()) ++typedCount_;
  if (typedCount_ >= 1) {
    text = text.substr(0, 2);
    for (char& ch : text) {
      if (!IsHexDigit(ch)) ch = '0';
      else if (text.size() >= 2) ch = Upper(ch);
    }
  }
  CellAt(SearchGrid::Binary, c) = text;
  if (text.size() >= 2 && typedCount_ >= 2) {
    // A complete cell: its character above it, and both grids on to the next cell.
    if (binGridActive_) {
      CellAt(SearchGrid::Ascii, c) = CharText(static_cast<std::uint8_t>(ParseHexDigits(text)));
    }
    const int next = (c + 1) % kColumns;
    SetColumn(SearchGrid::Ascii, next);
    SetColumn(SearchGrid::Binary, next);
    typedCount_ = 0;
  } else if (!text.empty() && typedCount_ >= 1 && binGridActive_ && text[0] != ' ') {
    SetColumn(SearchGrid::Ascii, c);
    skipNextArrow_ = true;
  }
}

void SearchCells::AsciiSGSetEditText(const std::string& text) {
  const int c = Column(SearchGrid::Ascii);
  CellAt(SearchGrid::Ascii, c) = text;
  if (text.empty()) return;
  ++typedCount_;
  if (!binGridActive_) {
    CellAt(SearchGrid::Binary, c) = FormatHex(static_cast<std::uint8_t>(text[0]), 2);
  }
  // The binary grid comes to this cell; only the ASCII grid moves on.
  SetColumn(SearchGrid::Binary, c);
  SetColumn(SearchGrid::Ascii, (c + 1) % kColumns);
}

}  // namespace buffer
