// The view's scroll arithmetic: pages of 0x7FFF rows, MaxRow, and the normalisation that
// keeps every scroll inside 0..MaxRow.
#include <gtest/gtest.h>

#include "buffer/core/DumpView.h"

namespace buffer {
namespace {

TEST(ScrollArithmetic, LineStepsCrossThePageBoundaryBothWays) {
  DumpView view(ConsoleProfile());
  view.ResetForSize(0x100000);
  view.MoveToRow(0x7FFE);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::LineDown, 0x7FFF);
  EXPECT_EQ(view.PageNo(), 1);
  EXPECT_EQ(view.TopRow(), 0);
  EXPECT_EQ(view.BarPosition(ScrollBarId::Bits8), 0);
  EXPECT_EQ(view.BarPosition(ScrollBarId::Bits16), 0);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::LineUp, 0);
  EXPECT_EQ(view.PageNo(), 0);
  EXPECT_EQ(view.TopRow(), 0x7FFE);
  EXPECT_EQ(view.FirstAddress(), 0x7FFE0);
}

TEST(ScrollArithmetic, PagesMoveSixteenRowsAndCrossPages) {
  DumpView view(ConsoleProfile());
  view.ResetForSize(0x100000);
  view.MoveToRow(0x7FF8);
  view.Scroll(ScrollBarId::Bits16, ScrollCode::PageDown, 0);
  EXPECT_EQ(view.FirstRow(), 0x8008);
  EXPECT_EQ(view.PageNo(), 1);
  EXPECT_EQ(view.TopRow(), 9);
  view.Scroll(ScrollBarId::Bits16, ScrollCode::PageUp, 0);
  EXPECT_EQ(view.FirstRow(), 0x7FF8);
  view.MoveToRow(5);
  view.Scroll(ScrollBarId::Bits16, ScrollCode::PageUp, 0);
  EXPECT_EQ(view.FirstRow(), 0);
  view.Scroll(ScrollBarId::Bits16, ScrollCode::LineUp, 0);
  EXPECT_EQ(view.FirstRow(), 0);
}

TEST(ScrollArithmetic, TheEndIsReachedAndNeverLeft) {
  DumpView view(ConsoleProfile());
  view.ResetForSize(0x100000);
  view.MoveToRow(0xFFE8);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::PageDown, 0);
  EXPECT_EQ(view.FirstRow(), 0xFFF0);  // the last screen ends at BufSize - 1
  EXPECT_EQ(view.FirstAddress() + 16 * 16 - 1, 0xFFFFF);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::LineDown, 0);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::PageDown, 0);
  EXPECT_EQ(view.FirstRow(), 0xFFF0);
  // The thumb dragged to the bar's end of the last page stays at MaxRow.
  view.Scroll(ScrollBarId::Bits8, ScrollCode::EndScroll, 0x7FFF);
  EXPECT_EQ(view.FirstRow(), 0xFFF0);
}

TEST(ScrollArithmetic, ARowJustPastAPageStartIsReachable) {
  // MaxRow falls on the first row of page 2: the old rule needed page end < MaxRow.
  DumpView view(ConsoleProfile());
  view.ResetForSize((2 * 0x7FFF + 16) * 16);
  EXPECT_EQ(view.MaxRow(), 2 * 0x7FFF);
  view.MoveToRow(2 * 0x7FFF - 1);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::LineDown, 0x7FFF);
  EXPECT_EQ(view.PageNo(), 2);
  EXPECT_EQ(view.TopRow(), 0);
}

TEST(ScrollArithmetic, TheThumbPlacesTheViewWithinItsPage) {
  DumpView view(ConsoleProfile());
  view.ResetForSize(0x1000000);
  EXPECT_EQ(view.MaxRow(), 0xFFFF0);
  view.MoveToRow(3 * 0x7FFF + 7);
  EXPECT_FALSE(view.Scroll(ScrollBarId::Bits8, ScrollCode::Other, 0x100));
  EXPECT_EQ(view.TopRow(), 7);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::EndScroll, 0x100);
  EXPECT_EQ(view.PageNo(), 3);
  EXPECT_EQ(view.TopRow(), 0x100);
  EXPECT_EQ(view.BarPosition(ScrollBarId::Bits16), 0x100);
  // On the last page the thumb cannot pass MaxRow.
  view.MoveToRow(0xFFFF0);
  EXPECT_EQ(view.PageNo(), 32);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::EndScroll, 0x500);
  EXPECT_EQ(view.FirstRow(), 0xFFFF0);
}

TEST(ScrollArithmetic, TheThumbAtTheBarsEndStaysThere) {
  DumpView view(ConsoleProfile());
  view.ResetForSize(0x100000);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::EndScroll, 0x7FFF);
  EXPECT_EQ(view.PageNo(), 0);
  EXPECT_EQ(view.TopRow(), 0x7FFF);
  EXPECT_EQ(view.FirstRow(), 0x7FFF);
  EXPECT_EQ(view.BarPosition(ScrollBarId::Bits8), 0x7FFF);
  EXPECT_EQ(view.BarPosition(ScrollBarId::Bits16), 0x7FFF);
  // From there the line steps go on as usual.
  view.Scroll(ScrollBarId::Bits8, ScrollCode::LineDown, 0x7FFF);
  EXPECT_EQ(view.FirstRow(), 0x8000);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::LineUp, 0);
  EXPECT_EQ(view.FirstRow(), 0x7FFF);
  // The last page's end is MaxRow; a bar shorter than a page ends at MaxRow too.
  view.MoveToRow(0x8000);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::EndScroll, 0x7FFF);
  EXPECT_EQ(view.FirstRow(), 0xFFF0);
  view.ResetForSize(0x2000);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::EndScroll, view.BarMaximum());
  EXPECT_EQ(view.FirstAddress(), 0x2000 - 0x100);
}

TEST(ScrollArithmetic, ABufferSmallerThanAScreenStaysAtTheStart) {
  DumpView view(ConsoleProfile());
  view.ResetForSize(0x80);
  EXPECT_LT(view.MaxRow(), 0);
  EXPECT_EQ(view.BarMaximum(), 0);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::PageDown, 0);
  EXPECT_EQ(view.FirstRow(), 0);
}

TEST(ScrollArithmetic, TheUpdateToolPagesByThirteenRows) {
  DumpView view(UpdateToolProfile());
  view.ResetForSize(0x30000);
  EXPECT_EQ(view.MaxRow(), 0x3000 - 13);
  view.Scroll(ScrollBarId::Bits8, ScrollCode::PageDown, 0);
  EXPECT_EQ(view.FirstRow(), 13);
  view.JumpToAddress(0xFFFFFF, 0x30000);
  EXPECT_EQ(view.FirstAddress(), 0x30000 - 0x90);
}

}  // namespace
}  // namespace buffer
