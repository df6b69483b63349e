#include <gtest/gtest.h>

#include "platform/winapi/Clock.h"
#include "platform/winapi/MessageBox.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace {

using namespace winapi;

TEST(MessageBoxTest, ScriptedHostRecordsBoxesAndAnswersInOrder) {
  ScriptedMessageBoxes boxes;
  boxes.Answer(IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Data are changed", "Question", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "again", "Question", MB_YESNOCANCEL), IDYES);
  EXPECT_EQ(MessageBox(nullptr, "x", "y", MB_OKCANCEL), IDOK);
  MessageBeep(0);
  ASSERT_EQ(boxes.boxes().size(), 3u);
  EXPECT_EQ(boxes.boxes()[0].text, "Data are changed");
  EXPECT_EQ(boxes.boxes()[0].caption, "Question");
  EXPECT_EQ(boxes.boxes()[0].flags, unsigned{MB_YESNOCANCEL});
  EXPECT_EQ(boxes.beeps(), std::vector<unsigned>{0});
}

TEST(MessageBoxTest, HostsNestAndRestore) {
  ScriptedMessageBoxes outer;
  {
    ScriptedMessageBoxes inner;
    MessageBox(nullptr, "inner", "", MB_OK);
    EXPECT_EQ(inner.boxes().size(), 1u);
  }
  MessageBox(nullptr, "outer", "", MB_OK);
  ASSERT_EQ(outer.boxes().size(), 1u);
  EXPECT_EQ(outer.boxes()[0].text, "outer");
}

TEST(ClockTest, ManualClockMovesOnlyWhenTold) {
  ManualClock clock;
  uint32_t start = GetTickCount();
  clock.AdvanceMs(60);
  EXPECT_EQ(GetTickCount() - start, 60u);
  clock.AdvanceSeconds(5);
  EXPECT_EQ(CurrentClock().Seconds(), 5);
  EXPECT_EQ(GetTickCount() - start, 5060u);
}

}  // namespace
