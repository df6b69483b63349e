// The Fill, Block and Search commands' buffer side: the fill patterns and the fill that
// follows the dialog, block copy, move and mask, the resize sizes, and the data search with
// the placement of its match.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "buffer/core/BlockOps.h"
#include "buffer/core/DataSearch.h"
#include "buffer/core/FillData.h"
#include "buffer/core/HexText.h"
#include "platform/winapi/Clock.h"
#include "tests/buffer/BufferFormFixture.h"

namespace buffer {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FillBlockSearchTest : public BufferFormTest {
 protected:
  void SetSection(const char* section, const std::vector<std::pair<const char*, int>>& keys) {
    TIniFile ini(SettingsPath());
    for (const auto& [key, value] : keys) ini.WriteInteger(section, key, value);
  }
  winapi::ManualClock clock_;
};

struct PatternCase {
  FillKind kind;
  std::int32_t start, end;
  Bytes expected;  // from start - 1 to end + 1: the bytes around the range stay 0x55
};

TEST_F(FillBlockSearchTest, PatternFillsWriteTheirRangeAndNothingBeside) {
  const std::vector<PatternCase> cases{
      {FillKind::SequentialByte, 0x0FE, 0x101, {0x55, 0xFE, 0xFF, 0x00, 0x01, 0x55}},
      {FillKind::SequentialWord, 0x1000, 0x1003, {0x55, 0x10, 0x00, 0x10, 0x02, 0x55}},
      {FillKind::SequentialWord, 0xFFFE, 0x10001, {0x55, 0xFF, 0xFE, 0x00, 0x00, 0x55}},
      // An odd count of bytes: the lone last byte gets its word's high byte, nothing more.
      {FillKind::SequentialWord, 0x1000, 0x1002, {0x55, 0x10, 0x00, 0x10, 0x55}},
      {FillKind::SequentialWord, 0x1001, 0x1004, {0x55, 0x10, 0x01, 0x10, 0x03, 0x55}},
      // Reversed and one-byte ranges write nothing.
      {FillKind::SequentialByte, 0x20, 0x20, {0x55, 0x55, 0x55}},
      {FillKind::SequentialWord, 0x21, 0x20, {0x55, 0x55}},
  };
  for (const PatternCase& c : cases) {
    Resize(0x20000, 0x55);
    FillPattern(form_, c.start, c.end, c.kind);
    EXPECT_EQ(Read(c.start - 1, c.expected.size()), c.expected) << c.start << ".." << c.end;
  }
  // The last byte of the buffer, lone: the slack past it stays untouched.
  Resize(0x20000, 0x55);
  Write(0x20000, {0x55});
  FillPattern(form_, 0x1FFFC, 0x1FFFF, FillKind::SequentialWord);
  EXPECT_EQ(Read(0x1FFFC, 5), (Bytes{0xFF, 0xFC, 0xFF, 0xFE, 0x55}));
  Resize(0x20000, 0x55);
  Write(0x20000, {0x55});
  FillPattern(form_, 0x1FFFD, 0x1FFFF, FillKind::SequentialWord);
  EXPECT_EQ(Read(0x1FFFD, 4), (Bytes{0xFF, 0xFD, 0xFF, 0x55}));
  // A range reaching past the buffer is refused whole.
  FillPattern(form_, 0x1FFF0, 0x20000, FillKind::SequentialByte);
  EXPECT_TRUE(AllBytes(0x1FFF0, 0x1FFFD, 0x55));
}

TEST_F(FillBlockSearchTest, RandomFillsRepeatWithinASecondAndStepTheBar) {
  Resize(0x10000, 0x55);
  clock_.AdvanceSeconds(1'700'000'000);
  FillPattern(form_, 0x100, 0x1FF, FillKind::Random);
  const Bytes first = Read(0x100, 0x100);
  EXPECT_TRUE(AllBytes(0, 0x100, 0x55));
  EXPECT_TRUE(AllBytes(0x200, 0x10000, 0x55));
  std::set<std::uint8_t> distinct(first.begin(), first.end());
  EXPECT_GT(distinct.size(), 100u);
  EXPECT_EQ(progress_.steps, StepsAt(0x100, 0x1FF, 2, [](auto) { return true; }));
  EXPECT_EQ(progress_.finishes, 1);

  FillPattern(form_, 0x100, 0x1FF, FillKind::Random);
  EXPECT_EQ(Read(0x100, 0x100), first);
  clock_.AdvanceSeconds(1);
  FillPattern(form_, 0x100, 0x1FF, FillKind::Random);
  EXPECT_NE(Read(0x100, 0x100), first);
}

TEST_F(FillBlockSearchTest, FillFromTheDialogsSectionTrustsNoAddressOfAnEditedFile) {
  Resize(0x10000, 0x55);
  Write(0x10000, {0x55});
  // Hand-edited: the end lies past the buffer, and the fill byte has more than 8 bits.
  SetSection(kFillDataSection, {{"StartAdd", -5},
                                {"EndAdd", 0x7FFFFFFF},
                                {"Select", 2},
                                {"UserData", 0x1A5},
                                {"UserCheck", 1}});
  FillFromDialog(form_);
  EXPECT_TRUE(AllBytes(0, 0x10000, 0xA5));
  EXPECT_EQ(Read(0x10000, 1), Bytes{0x55});
  EXPECT_EQ(progress_.shows, 1);
  EXPECT_EQ(progress_.closes, 1);
  EXPECT_TRUE(progress_.captions.empty());
  EXPECT_EQ(form_.grids().Text(GridId::Hex8, 0, 1), "A5");
  EXPECT_EQ(form_.grids().Modified(), 0);

  const std::vector<std::pair<int, std::uint8_t>> selects{{0, 0xFF}, {1, 0x00}, {5, 0x00}};
  for (const auto& [select, value] : selects) {
    SetSection(kFillDataSection,
               {{"StartAdd", 0x10}, {"EndAdd", 0x1F}, {"UserCheck", 0}, {"Select", select}});
    FillFromDialog(form_);
    EXPECT_TRUE(AllBytes(0x10, 0x20, value)) << select;
  }
  SetSection(kFillDataSection, {{"Select", 3}});
  FillFromDialog(form_);
  EXPECT_EQ(Read(0x10, 2), (Bytes{0x10, 0x11}));
  SetSection(kFillDataSection, {{"EndAdd", 0}, {"Select", 0}});
  FillFromDialog(form_);
  EXPECT_EQ(Read(0x10, 2), (Bytes{0x10, 0x11}));
}

struct BlockCase {
  BlockAction action;
  std::int32_t start, end, destination;
  Bytes expected;
};

TEST_F(FillBlockSearchTest, CopyAndMoveOverlappingBothWaysAndRefuseRangesOutside) {
  const std::vector<BlockCase> cases{
      {BlockAction::Copy, 0, 3, 2, {0, 1, 0, 1, 2, 3, 6, 7}},
      {BlockAction::Copy, 2, 5, 0, {2, 3, 4, 5, 4, 5, 6, 7}},
      {BlockAction::Copy, 2, 5, 2, {0, 1, 2, 3, 4, 5, 6, 7}},
      {BlockAction::Move, 0, 3, 2, {0, 0, 0, 1, 2, 3, 6, 7}},
      {BlockAction::Move, 2, 5, 0, {2, 3, 4, 5, 0, 0, 6, 7}},
      {BlockAction::Move, 0, 1, 4, {0, 0, 2, 3, 0, 1, 6, 7}},
      {BlockAction::Move, 4, 5, 4, {0, 1, 2, 3, 4, 5, 6, 7}},
      // The destination's end, or the source, outside the buffer: nothing at all.
      {BlockAction::Copy, 0, 3, 0xFFFD, {0, 1, 2, 3, 4, 5, 6, 7}},
      {BlockAction::Move, 0, 3, 0xFFFD, {0, 1, 2, 3, 4, 5, 6, 7}},
      {BlockAction::Move, 0, 3, -1, {0, 1, 2, 3, 4, 5, 6, 7}},
      {BlockAction::Copy, 0xFFFE, 0x10001, 0, {0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const BlockCase& c : cases) {
    Resize(0x10000, 0xEE);
    Write(0, Counting(8));
    Write(0xFFF8, Counting(8, 0xF8));
    const bool inside =
        c.destination >= 0 && c.destination + c.end - c.start < 0x10000 && c.end < 0x10000;
    const bool done = c.action == BlockAction::Copy
                          ? BlockCopy(form_.buffer(), c.start, c.end, c.destination)
                          : BlockMove(form_.buffer(), c.start, c.end, c.destination);
    EXPECT_EQ(done, inside) << c.start << ".." << c.end << " to " << c.destination;
    EXPECT_EQ(Read(0, 8), c.expected) << c.start << ".." << c.end << " to " << c.destination;
    EXPECT_EQ(Read(0xFFF8, 8), Counting(8, 0xF8));
  }
}

TEST_F(FillBlockSearchTest, MaskAndsPairsHighByteFirstWithinTheRangeOnly) {
  const std::vector<std::tuple<std::int32_t, std::int32_t, std::uint16_t, Bytes>> cases{
      {0, 3, 0xFF00, {0, 0, 2, 0, 4, 5, 6, 7}},
      {0, 3, 0xFFFF, {0, 1, 2, 3, 4, 5, 6, 7}},
      // Ends on an even address: byte 2 is the lone first byte of a pair, byte 3 stays.
      {0, 2, 0x00FF, {0, 1, 0, 3, 4, 5, 6, 7}},
      {1, 6, 0x0F01, {0, 1, 0, 3, 0, 5, 0, 7}},
  };
  for (const auto& [start, end, mask, expected] : cases) {
    Resize(0x10000, 0xFF);
    Write(0, Counting(8));
    EXPECT_TRUE(BlockMask(form_.buffer(), start, end, mask));
    EXPECT_EQ(Read(0, 8), expected) << start << ".." << end;
  }
  // Long enough for whole words, from an odd start, and clipped to the buffer's end.
  Resize(0x10000, 0xFF);
  Write(0x10000, {0xFF});
  EXPECT_TRUE(BlockMask(form_.buffer(), 0xFFE1, 0x7FFFFFFF, 0xF00F));
  for (std::int64_t a = 0xFFE1; a < 0x10000; ++a) {
    ASSERT_EQ(Read(a, 1)[0], (a - 0xFFE1) % 2 == 0 ? 0xF0 : 0x0F) << a;
  }
  EXPECT_EQ(Read(0xFFE0, 1)[0], 0xFF);
  EXPECT_EQ(Read(0x10000, 1)[0], 0xFF);
}

TEST_F(FillBlockSearchTest, BlockActionFromTheDialogsSection) {
  Resize(0x10000, 0xEE);
  Write(0, Counting(8));
  SetSection(kBlockSection,
             {{"StartAdd", 0}, {"EndAdd", 3}, {"DistSAdd", 4}, {"Action", 1}, {"MaskData", 0}});
  DoBlockAction(form_);
  EXPECT_EQ(Read(0, 8), (Bytes{0, 0, 0, 0, 0, 1, 2, 3}));
  EXPECT_EQ(form_.grids().Text(GridId::Hex8, 5, 1), "01");
  SetSection(kBlockSection, {{"StartAdd", 4}, {"EndAdd", 7}, {"Action", 2}, {"MaskData", 0xFE}});
  DoBlockAction(form_);
  EXPECT_EQ(Read(0, 8), (Bytes{0, 0, 0, 0, 0, 0, 0, 2}));
  SetSection(kBlockSection, {{"StartAdd", 0}, {"EndAdd", 7}, {"Action", 3}, {"MaskData", 0}});
  DoBlockAction(form_);
  EXPECT_EQ(Read(0, 8), (Bytes{0, 0, 0, 0, 0, 0, 0, 2}));
  EXPECT_EQ(form_.grids().Modified(), 0);
  EXPECT_EQ(progress_.shows, 0);
}

// The update tool's Block action on a buffer that begins 00 01 02 03 04 05: Swap as its third
// action, and no redraw when the destination is the start.
struct UpdateBlockCase {
  const char* name;
  std::int32_t start, end, destination, action;
  Bytes expected;
  bool redraws;
};

TEST_F(FillBlockSearchTest, UpdateToolBlockActionSwapsAndSkipsADestinationAtTheStart) {
  const std::vector<UpdateBlockCase> cases{
      {"swap apart", 0, 1, 4, 2, {4, 5, 2, 3, 0, 1}, true},
      {"swap overlapping upward", 0, 3, 2, 2, {2, 3, 4, 5, 0, 1}, true},
      {"swap overlapping downward", 2, 5, 0, 2, {2, 3, 4, 5, 0, 1}, true},
      {"swap one byte", 1, 1, 4, 2, {0, 1, 2, 3, 4, 5}, true},
      {"copy", 0, 1, 4, 0, {0, 1, 2, 3, 0, 1}, true},
      {"move", 0, 1, 4, 1, {0, 0, 2, 3, 0, 1}, true},
      {"copy onto itself", 2, 5, 2, 0, {0, 1, 2, 3, 4, 5}, false},
      {"move onto itself", 2, 5, 2, 1, {0, 1, 2, 3, 4, 5}, false},
      {"swap onto itself", 2, 5, 2, 2, {0, 1, 2, 3, 4, 5}, false},
      {"no end", 0, 0, 4, 2, {0, 1, 2, 3, 4, 5}, false},
      {"unknown action", 0, 1, 4, 3, {0, 1, 2, 3, 4, 5}, true},
      // A destination past the buffer's end exchanges nothing; the grids are redrawn.
      {"swap past the end", 0, 3, 0xFFFD, 2, {0, 1, 2, 3, 4, 5}, true},
  };
  for (const UpdateBlockCase& c : cases) {
    DumpEditCore form{UpdateToolProfile()};
    ASSERT_TRUE(form.Create());
    {
      BufferLock lock(form.buffer());
      for (int i = 0; i < 6; ++i) lock[i] = static_cast<std::uint8_t>(i);
      lock[0xFFFF] = 0xEE;
    }
    SetSection(kBlockSection, {{"StartAdd", c.start}, {"EndAdd", c.end},
                               {"DistSAdd", c.destination}, {"Action", c.action}});
    // The update tool's section has no mask; a stray one is never used.
    SetSection(kBlockSection, {{"MaskData", 0}});
    EXPECT_EQ(DoBlockAction(form), c.redraws) << c.name;
    BufferLock lock(form.buffer());
    EXPECT_EQ(Bytes(lock.data(), lock.data() + 6), c.expected) << c.name;
    EXPECT_EQ(lock[0xFFFF], 0xEE) << c.name;
    // Byte 1 as the grid shows it: the zero-filled creation's, unless redrawn.
    EXPECT_EQ(form.grids().Text(GridId::Hex8, 1, 1), c.redraws ? FormatHex(c.expected[1], 2) : "00")
        << c.name;
  }
  // Straight calls: a range reaching past the buffer is refused, a lone byte is not.
  DumpEditCore form{UpdateToolProfile()};
  ASSERT_TRUE(form.Create());
  EXPECT_FALSE(BlockSwap(form.buffer(), 0xFFFE, 0x10000, 0));
  EXPECT_FALSE(BlockSwap(form.buffer(), 0, 1, -1));
  EXPECT_TRUE(BlockSwap(form.buffer(), 3, 3, 0xFFFF));
}

TEST_F(FillBlockSearchTest, TrackBarSizesAndTheResizeTarget) {
  const std::vector<std::pair<std::int32_t, int>> opening{
      {0x8000, 0}, {0x10000, 0}, {0x10001, 1}, {0x30000, 2}, {0x1000000, 8}, {0x1020000, 8}};
  for (const auto& [size, position] : opening)
    EXPECT_EQ(TrackBarPositionFor(size), position) << size;
  EXPECT_EQ(TrackBarSize(0), 0x10000);
  EXPECT_EQ(TrackBarSize(8), 0x1000000);
  EXPECT_EQ(ResizeTarget("040000"), 0x40000);
  EXPECT_EQ(ResizeTarget("000100"), 0x10000);
  EXPECT_EQ(ResizeTarget("1020000"), 0x1000000);
}

// The first match of a plain byte-by-byte search, for comparison.
std::optional<std::int64_t> NaiveFind(const Bytes& bytes, const Bytes& pattern, std::int64_t cursor,
                                      bool backward) {
  const auto size = static_cast<std::int64_t>(bytes.size());
  const auto n = static_cast<std::int64_t>(pattern.size());
  auto matches = [&](std::int64_t a) {
    return a + n <= size && std::equal(pattern.begin(), pattern.end(), bytes.begin() + a);
  };
  if (backward) {
    for (std::int64_t a = cursor - 1; a >= 0; --a)
      if (matches(a)) return a;
  } else {
    for (std::int64_t a = std::max<std::int64_t>(cursor + 1, 0); a < size; ++a)
      if (matches(a)) return a;
  }
  return std::nullopt;
}

TEST_F(FillBlockSearchTest, SearchAgreesWithAPlainSearchAndNeverTakesTheCursorByte) {
  EXPECT_EQ(PatternBytes("1234"), (Bytes{0x12, 0x34}));
  EXPECT_EQ(PatternBytes("123"), (Bytes{0x12, 0x03}));
  EXPECT_TRUE(PatternBytes("").empty());

  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    // Few distinct values make many partial matches; sizes around the backward window.
    Bytes bytes(static_cast<std::size_t>(random() % 9000 + 1));
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 3);
    Bytes pattern(static_cast<std::size_t>(random() % 4 + 1));
    for (auto& b : pattern) b = static_cast<std::uint8_t>(random() % 3);
    const auto size = static_cast<std::int64_t>(bytes.size());
    const std::int64_t cursor = static_cast<std::int64_t>(random() % (bytes.size() + 2)) - 1;
    EXPECT_EQ(FindForward(bytes.data(), size, pattern, cursor),
              NaiveFind(bytes, pattern, cursor, false));
    EXPECT_EQ(FindBackward(bytes.data(), size, pattern, cursor),
              NaiveFind(bytes, pattern, cursor, true));
  }
  const Bytes bytes{0x12, 0x34, 0x12, 0x34, 0x12};
  EXPECT_EQ(FindForward(bytes.data(), 5, Bytes{0x12, 0x34}, 0), 2);
  EXPECT_EQ(FindBackward(bytes.data(), 5, Bytes{0x12, 0x34}, 2), 0);
  EXPECT_EQ(FindBackward(bytes.data(), 5, Bytes{0x12}, 0), std::nullopt);
  // The last 12 would need a 34 past the end.
  EXPECT_EQ(FindForward(bytes.data(), 5, Bytes{0x12, 0x34}, 2), std::nullopt);
}

TEST_F(FillBlockSearchTest, SearchPlacesTheMatchOnAFullScreenInBothPages) {
  // A 1 MiB console buffer: the match near its end shows on the last full screen.
  Resize(0x100000, 0x00);
  Write(0xFFFF5, {0xAB, 0xCD});
  Write(0xFFFFF, {0xAB, 0xCD});  // runs into the slack: no match
  form_.fields().SearchPattern = "ABCD";
  ASSERT_TRUE(SearchForward(form_, 0));
  EXPECT_EQ(form_.view().FirstRow(), 0xFFFF - 15);
  EXPECT_EQ(form_.view().PageNo(), 1);
  EXPECT_EQ(form_.view().TopRow(), (0xFFFF - 15) % kPageRows);
  EXPECT_EQ(form_.grids().Cursor(GridId::Hex8), (GridCell{5, 16}));
  EXPECT_EQ(form_.grids().CursorAddress8(), 0xFFFF5);
  EXPECT_EQ(form_.grids().CursorAddress16(), 0xFFFF5);
  EXPECT_EQ(form_.grids().Text(GridId::Hex8, 5, 16), "AB");
  EXPECT_EQ(form_.grids().Text(GridId::Hex8, 15, 16), "AB");
  EXPECT_EQ(form_.grids().Cursor(GridId::Hex16).column, 2);
  EXPECT_EQ(form_.view().BarPosition(ScrollBarId::Bits16), form_.view().TopRow());
  // Search Next from the match: nothing further, and the view stays.
  EXPECT_FALSE(SearchForward(form_, form_.grids().CursorAddress8()));
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "NOT FOUND DATA !");
  EXPECT_EQ(boxes_.boxes()[0].caption, "SEARCH");
  EXPECT_EQ(form_.grids().CursorAddress8(), 0xFFFF5);
  // Backward from the match finds the one near the buffer's start, on the first row.
  Write(0x80, {0xAB, 0xCD});
  ASSERT_TRUE(SearchBackward(form_, 0xFFFF5));
  EXPECT_EQ(form_.view().FirstRow(), 0x8);
  EXPECT_EQ(form_.grids().Cursor(GridId::Ascii8), (GridCell{0, 1}));

  Resize(0x10000, 0x00);
  Write(0xFF80, {0xAB, 0xCD});
  ASSERT_TRUE(SearchForward(form_, 0));
  EXPECT_EQ(form_.view().TopRow(), 0xFF0);
  EXPECT_EQ(form_.grids().Cursor(GridId::Hex8), (GridCell{0, 9}));

  // The update tool's nine rows: a match in the buffer's last row is on row 9; a match just
  // past MaxRow (0xFF3) keeps the view at MaxRow, where its scroll bar ends.
  DumpEditCore update(UpdateToolProfile());
  update.Create();
  {
    BufferLock lock(update.buffer());
    lock[0xFFFE] = 0x77;
    lock[0xFF52] = 0x77;
  }
  update.fields().SearchPattern = "77";
  ASSERT_TRUE(SearchForward(update, 0));
  EXPECT_EQ(update.view().TopRow(), 0xFF3);
  EXPECT_EQ(update.grids().Cursor(GridId::Hex8), (GridCell{2, 3}));
  ASSERT_TRUE(SearchForward(update, update.grids().CursorAddress8()));
  EXPECT_EQ(update.view().TopRow(), 0xFF7);
  EXPECT_EQ(update.grids().Cursor(GridId::Hex8), (GridCell{14, 9}));
  EXPECT_EQ(update.grids().CursorAddress8(), 0xFFFE);
  EXPECT_EQ(update.grids().CursorAddress16(), 0xFFFE);
  EXPECT_EQ(update.grids().Text(GridId::Hex8, 14, 9), "77");

  form_.fields().SearchPattern.clear();
  EXPECT_FALSE(SearchForward(form_, 0));
  EXPECT_EQ(boxes_.boxes().back().text, "NOT FOUND DATA !");
}

}  // namespace
}  // namespace buffer
