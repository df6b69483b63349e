// What a grid draws again when its texts change: a scroll moves the rows and draws the new
// ones, an edit draws its cell, a jump draws everything.
#include <gtest/gtest.h>

#include "buffer/core/GridRepaint.h"

namespace buffer {
namespace {

struct RepaintCase {
  const char* name;
  std::vector<std::string> next;
  int shift;
  std::vector<int> cells;
};

// Three rows of two cells.
const std::vector<std::string> kShown{"a", "b", "c", "d", "e", "f"};

class GridRepaintPlan : public ::testing::TestWithParam<RepaintCase> {};

TEST_P(GridRepaintPlan, MovesTheRowsAndDrawsOnlyWhatStillDiffers) {
  const RepaintCase& c = GetParam();
  const GridRepaint plan = PlanRepaint(kShown, c.next, 2);
  EXPECT_EQ(plan.shift, c.shift);
  EXPECT_EQ(plan.cells, c.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, GridRepaintPlan,
    ::testing::Values(
        RepaintCase{"Unchanged", kShown, 0, {}},
        RepaintCase{"OneRowTowardTheEnd", {"c", "d", "e", "f", "g", "h"}, 1, {4, 5}},
        RepaintCase{"OneRowTowardTheStart", {"y", "z", "a", "b", "c", "d"}, -1, {0, 1}},
        RepaintCase{"TwoRows", {"e", "f", "g", "h", "i", "j"}, 2, {2, 3, 4, 5}},
        RepaintCase{"AnEdit", {"a", "X", "c", "d", "e", "f"}, 0, {1}},
        RepaintCase{"ARowAndAnEdit", {"c", "X", "e", "f", "g", "h"}, 1, {1, 4, 5}},
        RepaintCase{"AJump", {"p", "q", "r", "s", "t", "u"}, 0, {0, 1, 2, 3, 4, 5}}),
    [](const ::testing::TestParamInfo<RepaintCase>& info) { return info.param.name; });

TEST(GridRepaintFirstShow, DrawsEveryCell) {
  const GridRepaint plan = PlanRepaint({}, kShown, 2);
  EXPECT_EQ(plan.shift, 0);
  EXPECT_EQ(plan.cells, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace buffer
