#include <gtest/gtest.h>

#include "console/core/ScrollText.h"
#include "tests/console/HandTimers.h"

namespace {

using namespace console;

class ScrollTextTest : public ::testing::Test {
 protected:
  ScrollTextTest() : text_(metrics_, timers_.Factory()) {
    text_.OnBegin = [this] { events_ += 'B'; };
    text_.OnStep = [this] { events_ += 'S'; };
    text_.OnEnd = [this] { events_ += 'E'; };
    text_.PaintNow = [this] { events_ += 'p'; };
    text_.Invalidate = [this] { events_ += 'i'; };
  }
  HandTimer& Timer() { return *timers_.made.at(0); }

  FixedMetrics metrics_;
  HandTimers timers_;
  ScrollTextModel text_;
  std::string events_;
};

TEST_F(ScrollTextTest, ANewControlScrollsAPassOfStepsPlusOneTicksAndStartsAgain) {
  EXPECT_TRUE(Timer().IsRunning());
  EXPECT_EQ(Timer().Interval(), 100);
  EXPECT_EQ(text_.ScrollDirection(), TScrollDirection::sdRightToLeft);
  EXPECT_EQ(text_.Items(), std::vector<std::string>({"ScrollText"}));
  EXPECT_EQ(text_.Color(), clBtnFace);
  text_.SetSteps(3);
  for (int i = 0; i < 4; ++i) Timer().Tick();
  EXPECT_EQ(events_, "BpSpSpSpSE");
  EXPECT_EQ(text_.CurrentStep(), 0);
  EXPECT_TRUE(Timer().IsRunning());  // continuous

  events_.clear();
  text_.SetContinuous(false);
  for (int i = 0; i < 4; ++i) Timer().Tick();
  EXPECT_EQ(events_, "BpSpSpSpSE");
  EXPECT_FALSE(Timer().IsRunning());
  Timer().Tick();  // a stopped timer's late tick changes nothing
  EXPECT_EQ(events_, "BpSpSpSpSE");
}

TEST_F(ScrollTextTest, SettersClampStoreOnlyChangesAndRecomputeTheSizes) {
  const std::pair<int, int> speeds[] = {{0, 1}, {-5, 1}, {5000, 1000}, {1000, 1000}, {250, 250}};
  for (auto [given, stored] : speeds) {
    text_.SetSpeed(given);
    EXPECT_EQ(text_.Speed(), stored) << given;
    EXPECT_EQ(Timer().Interval(), stored) << given;
  }
  text_.SetSize(200, 100);
  events_.clear();
  text_.SetItems({"ab", "abcd"});
  text_.SetItems({"ab", "abcd"});
  EXPECT_EQ(events_, "i");
  EXPECT_EQ(text_.BlockWidth(), 24);
  EXPECT_EQ(text_.BlockHeight(), 26);
  struct Style {
    TTextStyle style;
    int lineHeight;
    int blockWidth;
  };
  const Style styles[] = {{TTextStyle::tsRaised, 17, 28},
                          {TTextStyle::tsLowered, 17, 28},
                          {TTextStyle::tsShaddow, 15, 26},
                          {TTextStyle::tsNormal, 13, 24}};
  text_.SetDepth(2);
  for (const Style& s : styles) {
    text_.SetTextStyle(s.style);
    EXPECT_EQ(text_.LineHeightPx(), s.lineHeight);
    EXPECT_EQ(text_.BlockWidth(), s.blockWidth);
  }
  // Lines within the block: "ab" is 12 of 24 pixels.
  const std::pair<TAlignment, int> offsets[] = {
      {TAlignment::taRightJustify, 12}, {TAlignment::taLeftJustify, 0}, {TAlignment::taCenter, 6}};
  for (auto [alignment, offset] : offsets) {
    text_.SetAlignment(alignment);
    EXPECT_EQ(text_.LineOffset(12), offset);
  }
}

TEST_F(ScrollTextTest, StartAndReverseFollowTheirRules) {
  text_.SetSteps(80);
  text_.ScrollStop();
  text_.ScrollStart(30);
  EXPECT_EQ(text_.CurrentStep(), 30);
  text_.ScrollStart(50);  // already running: nothing
  EXPECT_EQ(text_.CurrentStep(), 30);
  text_.ScrollStop();
  text_.ScrollStart(81);  // beyond the steps: starts from the current step
  EXPECT_EQ(text_.CurrentStep(), 30);
  EXPECT_TRUE(Timer().IsRunning());
  text_.ReverseDirection();
  EXPECT_EQ(text_.CurrentStep(), 50);
  EXPECT_EQ(text_.ScrollDirection(), TScrollDirection::sdLeftToRight);
  text_.SetDirection(TScrollDirection::sdTopToBottom);
  text_.ReverseDirection();
  EXPECT_EQ(text_.ScrollDirection(), TScrollDirection::sdBottomToTop);
  EXPECT_EQ(text_.CurrentStep(), 30);
  text_.SetDirection(TScrollDirection::sdStatic);
  EXPECT_FALSE(Timer().IsRunning());
  text_.ReverseDirection();
  EXPECT_EQ(text_.CurrentStep(), 30);
  EXPECT_EQ(text_.ScrollDirection(), TScrollDirection::sdStatic);
}

struct Placement {
  TScrollDirection direction;
  int step;
  int x;
  int y;
};

void PrintTo(const Placement& p, std::ostream* out) {
  *out << "direction " << int(p.direction) << " step " << p.step;
}

class ScrollStartPositionTest : public ScrollTextTest,
                                public ::testing::WithParamInterface<Placement> {};

// A block of 60 x 26 ("abcdefghij", "x") in a control of 200 x 100, 80 steps.
TEST_P(ScrollStartPositionTest, BlockStartsWhereTheDirectionAndStepPutIt) {
  text_.SetSize(200, 100);
  text_.SetItems({"abcdefghij", "x"});
  text_.SetSteps(80);
  text_.SetDirection(GetParam().direction);
  text_.ScrollStop();
  text_.ScrollStart(GetParam().step);
  const Point start = text_.StartPosition();
  EXPECT_EQ(start.x, GetParam().x);
  EXPECT_EQ(start.y, GetParam().y);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, ScrollStartPositionTest,
    ::testing::Values(Placement{TScrollDirection::sdRightToLeft, 0, 200, 37},
                      Placement{TScrollDirection::sdRightToLeft, 80, -60, 37},
                      Placement{TScrollDirection::sdRightToLeft, 20, 135, 37},
                      Placement{TScrollDirection::sdLeftToRight, 0, -60, 37},
                      Placement{TScrollDirection::sdLeftToRight, 20, 5, 37},
                      Placement{TScrollDirection::sdTopToBottom, 0, 70, -26},
                      Placement{TScrollDirection::sdTopToBottom, 40, 70, 37},
                      Placement{TScrollDirection::sdBottomToTop, 0, 70, 100},
                      Placement{TScrollDirection::sdBottomToTop, 80, 70, -26},
                      Placement{TScrollDirection::sdStatic, 40, 70, 37}));

TEST_F(ScrollTextTest, StaticBlockStaysCentredOrAtZeroAndNoStepsDividesNothing) {
  text_.SetSize(40, 10);
  text_.SetItems({"abcdefghij"});  // 60 wide, 13 high: larger than the control
  text_.SetDirection(TScrollDirection::sdStatic);
  Timer().Tick();
  EXPECT_EQ(text_.StartPosition().x, 0);
  EXPECT_EQ(text_.StartPosition().y, 0);
  EXPECT_EQ(text_.CurrentStep(), 0);

  for (int steps : {0, -3}) {
    text_.SetSteps(steps);
    text_.SetDirection(TScrollDirection::sdLeftToRight);
    Timer().Tick();
    EXPECT_EQ(text_.StartPosition().x, -60) << steps;
    text_.SetDirection(TScrollDirection::sdStatic);
  }
}

}  // namespace

#include <QApplication>

#include "console/ScrollText.h"

namespace {

// Counts the pixels of a colour in the picture.
int Count(const QImage& picture, const QColor& colour) {
  int count = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) count += picture.pixelColor(x, y) == colour ? 1 : 0;
  return count;
}

TEST(ScrollTextPaintTest, StylesAddTheirHighlightAndShadowCopies) {
  HandTimers timers;
  TScrollText text(nullptr, timers.Factory());
  text.resize(120, 40);
  QPalette palette = text.palette();
  palette.setColor(QPalette::Light, QColor(255, 0, 0));
  palette.setColor(QPalette::Dark, QColor(0, 0, 255));
  palette.setColor(QPalette::WindowText, Qt::black);
  text.setPalette(palette);
  text.SetItems({"HHHH"});
  text.Model().SetDirection(console::TScrollDirection::sdStatic);
  text.Model().SetColor(0x00FFFFFF);
  struct Expect {
    console::TTextStyle style;
    bool highlight;
    bool shadow;
  };
  const Expect styles[] = {{console::TTextStyle::tsNormal, false, false},
                           {console::TTextStyle::tsRaised, true, true},
                           {console::TTextStyle::tsLowered, true, true},
                           {console::TTextStyle::tsShaddow, false, true}};
  for (const Expect& e : styles) {
    text.Model().SetTextStyle(e.style);
    const QImage picture = text.Picture();
    EXPECT_EQ(Count(picture, QColor(255, 0, 0)) > 0, e.highlight) << int(e.style);
    EXPECT_EQ(Count(picture, QColor(0, 0, 255)) > 0, e.shadow) << int(e.style);
    EXPECT_GT(Count(picture, Qt::black), 0) << int(e.style);
    EXPECT_GT(Count(picture, Qt::white), 0) << int(e.style);
  }
}

}  // namespace
