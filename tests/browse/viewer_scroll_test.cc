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

TEST(ViewerScroll, RangeLetsTheLastRowReachTheBottom) {
  ViewerScroll s = WageRecordIn20Rows();
  EXPECT_EQ(s.rows_shown(), 20);
  EXPECT_EQ(s.scroll_bar_height(), 20 * 21);
  EXPECT_TRUE(s.scroll_bar_visible());
  EXPECT_EQ(s.scroll_max(), 58);
  s.ScrollTo(1000);
  EXPECT_EQ(s.position(), 58);
  EXPECT_TRUE(s.RowVisible(77));
  EXPECT_EQ(s.RowTop(77), 19 * 21);
  EXPECT_FALSE(s.RowVisible(57));
  s.ScrollTo(-3);
  EXPECT_EQ(s.position(), 0);
}

TEST(ViewerScroll, ScrollingHidesTheRowsAboveAndBelow) {
  ViewerScroll s = WageRecordIn20Rows();
  s.ScrollTo(10);
  for (int row = 0; row < 78; ++row)
    EXPECT_EQ(s.RowVisible(row), row >= 10 && row <= 29) << row;
  EXPECT_EQ(s.RowTop(10), 0);
  EXPECT_EQ(s.RowTop(11), 21);
  // A new record starts at the top again.
  s.SetRowCount(54);
  EXPECT_EQ(s.position(), 0);
  EXPECT_EQ(s.scroll_max(), 34);
}

TEST(ViewerScroll, ShortRecordsHideTheScrollBar) {
  ViewerScroll s = WageRecordIn20Rows();
  s.SetRowCount(1);  // RCS
  EXPECT_FALSE(s.scroll_bar_visible());
  EXPECT_EQ(s.scroll_max(), 0);
  s.SetRowCount(20);  // exactly fits
  EXPECT_FALSE(s.scroll_bar_visible());
  s.SetRowCount(21);
  EXPECT_TRUE(s.scroll_bar_visible());
  // A window made taller keeps the position within the new range.
  s.ScrollTo(1);
  s.Layout(30 * 21, 21);
  EXPECT_EQ(s.position(), 0);
  s.Unload();
  EXPECT_EQ(s.row_count(), 1);
  EXPECT_FALSE(s.scroll_bar_visible());
  // A window lower than one row still shows one.
  s.Layout(5, 21);
  EXPECT_EQ(s.rows_shown(), 1);
}

TEST(ViewerScroll, AreaHeightFollowsTheWindowState) {
  EXPECT_EQ(RowsAreaHeight(600, 40, WindowShow::kNormal), 600 - 40 - kRowsBottomMarginNormal);
  EXPECT_EQ(RowsAreaHeight(600, 40, WindowShow::kMaximised),
            600 - 40 - kRowsBottomMarginMaximised);
  EXPECT_EQ(RowsAreaHeight(600, 40, WindowShow::kMinimised), std::nullopt);
  EXPECT_EQ(RowsAreaHeight(50, 40, WindowShow::kNormal), 0);
}

TEST(ViewerScroll, TabFromTheLastVisibleValueBoxScrollsOneRow) {
  ViewerScroll s = WageRecordIn20Rows();
  EXPECT_EQ(s.Tab({19, Box::kName}, false), (Focus{19, Box::kValue}));
  EXPECT_EQ(s.position(), 0);
  EXPECT_EQ(s.Tab({19, Box::kValue}, false), (Focus{20, Box::kName}));
  EXPECT_EQ(s.position(), 1);
  EXPECT_TRUE(s.RowVisible(20));
  // Row 0 has no row before it: Tab from its value box does not scroll.
  s.ScrollTo(0);
  EXPECT_EQ(s.Tab({0, Box::kValue}, false), (Focus{1, Box::kName}));
  EXPECT_EQ(s.position(), 0);
  // At the end of the range the view stays; the last row leaves the rows.
  s.ScrollTo(58);
  EXPECT_EQ(s.Tab({76, Box::kValue}, false), (Focus{77, Box::kName}));
  EXPECT_EQ(s.position(), 58);
  EXPECT_EQ(s.Tab({77, Box::kValue}, false), std::nullopt);
}

TEST(ViewerScroll, ShiftTabMovesUpAndStopsAtRowZero) {
  ViewerScroll s = WageRecordIn20Rows();
  s.ScrollTo(10);
  EXPECT_EQ(s.Tab({10, Box::kValue}, true), (Focus{10, Box::kName}));
  EXPECT_EQ(s.position(), 10);
  EXPECT_EQ(s.Tab({10, Box::kName}, true), (Focus{9, Box::kValue}));
  EXPECT_EQ(s.position(), 9);
  EXPECT_TRUE(s.RowVisible(9));
  s.ScrollTo(0);
  EXPECT_EQ(s.Tab({0, Box::kName}, true), std::nullopt);
  EXPECT_EQ(s.position(), 0);
  EXPECT_EQ(s.Tab({1, Box::kName}, true), (Focus{0, Box::kValue}));
  EXPECT_EQ(s.position(), 0);
}

TEST(ViewerScroll, OneRowWindowBringsTheNextRowIntoView) {
  ViewerScroll s;
  s.Layout(21, 21);
  s.SetRowCount(3);
  EXPECT_EQ(s.Tab({0, Box::kValue}, false), (Focus{1, Box::kName}));
  EXPECT_TRUE(s.RowVisible(1));
}

TEST(ValueBoxWidth, ReachesTheScrollBarOrItsRightEdge) {
  EXPECT_EQ(ValueBoxWidth(300, 700, 17, true), 400);
  EXPECT_EQ(ValueBoxWidth(300, 700, 17, false), 417);
  EXPECT_EQ(ValueBoxWidth(800, 700, 17, true), 0);
}

}  // namespace
}  // namespace lintaro
