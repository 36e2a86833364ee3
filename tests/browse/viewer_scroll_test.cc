// The viewer's rows on the screen: rows that fit, scroll range, visible
// rows, keyboard steps between rows and the value column's width.
#include "browse/viewer_scroll.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

using Box = ViewerScroll::Box;
using Focus = ViewerScroll::Focus;

// A wage record (78 rows) in a viewer 20 rows high.
ViewerScroll WageRecordIn20Rows() {
  ViewerScroll s;
  s.Layout(20 * 21 + 13, 21);  // a partial row does not count
  s.SetRowCount(78);
  return s;
}

TEST(ViewerScroll, RangeAndVisibleRows) {
  ViewerScroll s = WageRecordIn20Rows();
  EXPECT_EQ(s.rows_shown(), 20);
  EXPECT_EQ(s.scroll_max(), 58);  // the last row reaches the bottom
  s.ScrollTo(1000);
  EXPECT_EQ(s.position(), 58);
  EXPECT_EQ(s.RowTop(77), 19 * 21);
  s.ScrollTo(-3);
  EXPECT_EQ(s.position(), 0);
  s.ScrollTo(10);
  for (int row = 0; row < 78; ++row) EXPECT_EQ(s.RowVisible(row), row >= 10 && row <= 29) << row;
  s.SetRowCount(54);  // a new record starts at the top again
  EXPECT_EQ(s.position(), 0);
  EXPECT_EQ(s.scroll_max(), 34);
  for (int rows : {1, 20, 21}) {
    s.SetRowCount(rows);
    EXPECT_EQ(s.scroll_bar_visible(), rows > 20) << rows;
  }
  s.ScrollTo(1);
  s.Layout(30 * 21, 21);  // a taller window keeps the position within the range
  EXPECT_EQ(s.position(), 0);
  s.Layout(5, 21);  // lower than one row still shows one
  EXPECT_EQ(s.rows_shown(), 1);
  EXPECT_EQ(RowsAreaHeight(600, 40, WindowShow::kNormal), 600 - 40 - kRowsBottomMarginNormal);
  EXPECT_EQ(RowsAreaHeight(600, 40, WindowShow::kMaximised), 600 - 40 - kRowsBottomMarginMaximised);
  EXPECT_EQ(RowsAreaHeight(600, 40, WindowShow::kMinimised), std::nullopt);
  EXPECT_EQ(RowsAreaHeight(50, 40, WindowShow::kNormal), 0);
  EXPECT_EQ(ValueBoxWidth(300, 700, 17, true), 400);
  EXPECT_EQ(ValueBoxWidth(300, 700, 17, false), 417);
  EXPECT_EQ(ValueBoxWidth(800, 700, 17, true), 0);
}

TEST(ViewerScroll, TabAndShiftTabScrollOneRowAtTheEdges) {
  struct Step {
    int scroll_to;
    Focus from;
    bool back;
    std::optional<Focus> to;
    int position;
  };
  const std::vector<Step> steps = {
      {0, {19, Box::kName}, false, Focus{19, Box::kValue}, 0},
      {0, {19, Box::kValue}, false, Focus{20, Box::kName}, 1},
      {0, {0, Box::kValue}, false, Focus{1, Box::kName}, 0},  // row 0: no scroll
      {58, {76, Box::kValue}, false, Focus{77, Box::kName}, 58},
      {58, {77, Box::kValue}, false, std::nullopt, 58},  // the last row leaves the rows
      {10, {10, Box::kValue}, true, Focus{10, Box::kName}, 10},
      {10, {10, Box::kName}, true, Focus{9, Box::kValue}, 9},
      {0, {0, Box::kName}, true, std::nullopt, 0},
      {0, {1, Box::kName}, true, Focus{0, Box::kValue}, 0},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    ViewerScroll s = WageRecordIn20Rows();
    s.ScrollTo(steps[i].scroll_to);
    EXPECT_EQ(s.Tab(steps[i].from, steps[i].back), steps[i].to) << i;
    EXPECT_EQ(s.position(), steps[i].position) << i;
    EXPECT_TRUE(!steps[i].to || s.RowVisible(steps[i].to->row)) << i;
  }
  ViewerScroll one;  // a one-row window brings the next row into view
  one.Layout(21, 21);
  one.SetRowCount(3);
  EXPECT_EQ(one.Tab({0, Box::kValue}, false), (Focus{1, Box::kName}));
  EXPECT_TRUE(one.RowVisible(1));
}

}  // namespace
}  // namespace lintaro
