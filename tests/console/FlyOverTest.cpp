#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QTest>

#include "console/FlyOverMenuSpdBtn.h"
#include "console/core/FlyOverGeometry.h"
#include "tests/console/HandTimers.h"

namespace {

using namespace console;

// Captions of 13-pixel lines; the widest, 100 pixels, has "&" counted as a character.
class TableMetrics : public TextMetrics {
 public:
  int LineHeight() const override { return 13; }
  int TextWidth(const std::string& text) const override { return text == "&Widest" ? 100 : 40; }
};

TEST(FlyOverLayoutTest, ItemsAndWindowFollowTheWidestAndTallestCaption) {
  TableMetrics metrics;
  FlyOverLayout layout({"a", "b", "-", "&Widest", "c", "-", "d"}, metrics);
  EXPECT_EQ(layout.ItemWidth(), 116);
  EXPECT_EQ(layout.ItemHeight(), 17);
  EXPECT_EQ(layout.MenuRect(), (Rect{0, 0, 122, 125}));
  EXPECT_EQ(layout.MenuItemRect(2), (Rect{3, 37, 119, 54}));
  const std::pair<Point, int> hits[] = {{{3, 3}, 0},   {{118, 36}, 1}, {{10, 37}, 2},
                                        {{2, 10}, -1}, {{119, 10}, -1}, {{50, 122}, -1},
                                        {{50, 121}, 6}};
  for (auto [point, index] : hits)
    EXPECT_EQ(layout.MenuIndexAtPoint(point), index) << point.x << "," << point.y;

  FlyOverLayout empty({}, metrics);
  EXPECT_EQ(empty.MenuRect(), Rect{});
  EXPECT_EQ(empty.ItemWidth(), 0);
  EXPECT_EQ(empty.MenuIndexAtPoint({0, 0}), -1);
}

struct Placement {
  const char* what;
  Point at;  // the button's bottom-left corner
  Rect expected;
  Size desktop = {800, 600};
};

void PrintTo(const Placement& p, std::ostream* out) { *out << p.what; }

class FlyOverPlacementTest : public ::testing::TestWithParam<Placement> {};

// A 122 x 125 window for a 55 x 49 button on a 800 x 600 desktop unless said.
TEST_P(FlyOverPlacementTest, WindowGoesWhereTheDesktopLetsIt) {
  EXPECT_EQ(PlaceFlyOver({0, 0, 122, 125}, GetParam().at, {55, 49}, GetParam().desktop),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Six, FlyOverPlacementTest,
    ::testing::Values(
        Placement{"below, left-aligned", {100, 200}, {100, 200, 222, 325}},
        Placement{"below at the bottom edge exactly", {100, 475}, {100, 475, 222, 600}},
        Placement{"below, right-aligned", {700, 200}, {633, 200, 755, 325}},
        Placement{"below, right edge reached exactly", {678, 200}, {611, 200, 733, 325}},
        Placement{"above, left-aligned", {100, 550}, {100, 376, 222, 501}},
        Placement{"above, right-aligned", {700, 550}, {633, 376, 755, 501}},
        // A desktop too low for either: beside the button from the top, cut at the bottom.
        Placement{"beside, right", {100, 150}, {155, 0, 277, 125}, {800, 160}},
        Placement{"beside, left", {700, 150}, {577, 0, 699, 125}, {800, 160}}));

TEST(FlyOverPlacementCutTest, BesideIsCutAtTheDesktopsBottom) {
  EXPECT_EQ(PlaceFlyOver({0, 0, 122, 125}, {100, 100}, {55, 49}, {800, 110}),
            (Rect{155, 0, 277, 110}));
}

class FlyOverButtonTest : public ::testing::Test {
 protected:
  FlyOverButtonTest() : button_(nullptr, timers_.Factory()) {
    button_.resize(55, 49);
    button_.move(100, 100);
    for (const char* caption : {"&One", "&Two"}) {
      menu_.addAction(caption, [this, caption] {
        calls_.push_back(std::string(caption) + (button_.FlyOver()->isVisible() ? " shown" : " hidden"));
      });
    }
    menu_.addSeparator();
    button_.PopupMenu = &menu_;
    button_.show();
  }
  void Enter() {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button_.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&button_, &enter);
  }
  void Leave(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&widget, &leave);
  }
  HandTimer& LeaveTimer() { return *timers_.made.at(0); }
  TFlyOverMenu& FlyOver() { return *button_.FlyOver(); }

  HandTimers timers_;
  QMenu menu_;
  TFlyOverMenuSpdBtn button_;
  std::vector<std::string> calls_;
};

TEST_F(FlyOverButtonTest, HoverOpensBelowTheButtonAndTheLeaveGraceClosesIt) {
  Enter();
  ASSERT_TRUE(FlyOver().isVisible());
  EXPECT_EQ(FlyOver().geometry().topLeft(), button_.mapToGlobal(QPoint(0, 49)));
  EXPECT_EQ(FlyOver().size(), QSize(FlyOver().Layout().ItemWidth() + 6,
                                    3 * FlyOver().Layout().ItemHeight() + 6));
  EXPECT_FALSE(FlyOver().hasFocus());
  Leave(button_);
  EXPECT_TRUE(LeaveTimer().IsRunning());
  EXPECT_EQ(LeaveTimer().Interval(), 10);
  LeaveTimer().Tick();
  EXPECT_FALSE(LeaveTimer().IsRunning());
  EXPECT_FALSE(FlyOver().isVisible());

  // Reaching the window within the grace keeps it; leaving the window closes it.
  Enter();
  Leave(button_);
  QEnterEvent inside(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&FlyOver(), &inside);
  LeaveTimer().Tick();
  EXPECT_TRUE(FlyOver().isVisible());
  Leave(FlyOver());
  EXPECT_FALSE(FlyOver().isVisible());

  // Back on the button within the grace: the old leave is forgotten.
  Enter();
  Leave(button_);
  Enter();
  EXPECT_FALSE(LeaveTimer().IsRunning());
  LeaveTimer().Tick();
  EXPECT_TRUE(FlyOver().isVisible());
}

TEST_F(FlyOverButtonTest, ItemReleaseHidesTheWindowFirstThenRunsTheItem) {
  Enter();
  const auto& layout = FlyOver().Layout();
  auto centre = [&](int i) {
    Rect r = layout.MenuItemRect(i);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  QTest::mouseMove(&FlyOver(), centre(1));
  EXPECT_EQ(FlyOver().HoveredIndex(), 1);
  QTest::mouseClick(&FlyOver(), Qt::RightButton, {}, centre(1));
  EXPECT_EQ(calls_, std::vector<std::string>({"&Two hidden"}));
  Enter();
  QTest::mouseClick(&FlyOver(), Qt::LeftButton, {}, centre(2));  // the separator only closes
  EXPECT_FALSE(FlyOver().isVisible());
  Enter();
  QTest::mouseClick(&FlyOver(), Qt::LeftButton, {}, QPoint(1, 1));  // the frame: nothing
  EXPECT_TRUE(FlyOver().isVisible());
  QTest::mouseClick(&FlyOver(), Qt::LeftButton, {}, centre(0));
  EXPECT_EQ(calls_, std::vector<std::string>({"&Two hidden", "&One hidden"}));
  // A click on the button closes the window too.
  Enter();
  QTest::mouseClick(&button_, Qt::LeftButton);
  EXPECT_FALSE(FlyOver().isVisible());
}

TEST_F(FlyOverButtonTest, DisabledOrEmptyShowsNothingAndOtherButtonsReachNothing) {
  button_.setEnabled(false);
  Enter();
  Leave(button_);
  EXPECT_FALSE(FlyOver().isVisible());
  EXPECT_FALSE(LeaveTimer().IsRunning());
  button_.setEnabled(true);
  QMenu empty;
  button_.PopupMenu = &empty;
  Enter();
  EXPECT_FALSE(FlyOver().isVisible());
  button_.PopupMenu = nullptr;
  Enter();
  EXPECT_FALSE(FlyOver().isVisible());

  QMouseEvent right(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                    Qt::RightButton, {});
  QApplication::sendEvent(&button_, &right);
  EXPECT_TRUE(right.isAccepted());
  QContextMenuEvent context(QContextMenuEvent::Mouse, QPoint(5, 5), button_.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&button_, &context);
  EXPECT_TRUE(context.isAccepted());
  EXPECT_FALSE(button_.isDown());
}

}  // namespace
