// Tool tips over the error-detail grid, driven by a fake 10 ms timer.
#include "browse/grid_tips.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

constexpr ScreenPoint kAt{400, 300};

// A move over cell (row, column) of a grid with 5 visible rows.
GridTipTimer::Move Over(double x, double y, int row = 1, int column = 2) {
  GridTipTimer::Move m;
  m.x = x, m.y = y, m.screen = {kAt.x + x, kAt.y + y};
  m.row = row, m.column = column, m.visible_rows = 5;
  return m;
}

std::string Cell() { return "Must be numeric & blank."; }
// Ticks n times with the pointer at p; returns the last action.
TipAction TickN(GridTipTimer& tip, int n, ScreenPoint p) {
  TipAction last = TipAction::kNone;
  for (int i = 0; i < n; ++i) last = tip.Tick(p);
  return last;
}

TEST(GridTipTimer, RestingPointerShowsTheTipAtTheFifteenthTick) {
  GridTipTimer tip;
  EXPECT_EQ(tip.PointerMoved(Over(10, 20), Cell), TipAction::kPlace);
  EXPECT_EQ(tip.text(), "Must be numeric && blank.");
  EXPECT_EQ(tip.anchor(), (ScreenPoint{410, 320}));
  const ScreenPoint resting{412, 318};  // within 2 pixels
  EXPECT_EQ(TickN(tip, 14, resting), TipAction::kNone);
  EXPECT_FALSE(tip.visible());
  EXPECT_EQ(tip.Tick(resting), TipAction::kShow);
  EXPECT_TRUE(tip.visible());
  EXPECT_EQ(TickN(tip, 100, resting), TipAction::kNone);
  EXPECT_TRUE(tip.visible());
  // Moving away hides it at the next tick.
  EXPECT_EQ(tip.Tick({413, 320}), TipAction::kHide);
  EXPECT_FALSE(tip.visible());
}

TEST(GridTipTimer, MovingBeforeTheWaitEndsPreventsTheTipUntilTheNextMove) {
  GridTipTimer tip;
  tip.PointerMoved(Over(10, 20), Cell);
  TickN(tip, 5, {410, 320});
  EXPECT_EQ(TickN(tip, 10, {410, 323}), TipAction::kHide);  // tick 15, 3 pixels off
  EXPECT_FALSE(tip.visible());
  // Resting again does not bring it back...
  EXPECT_EQ(TickN(tip, 200, {410, 320}), TipAction::kNone);
  EXPECT_FALSE(tip.visible());
  // ...a new move over the grid starts the wait again.
  EXPECT_EQ(tip.PointerMoved(Over(11, 20), Cell), TipAction::kPlace);
  EXPECT_EQ(TickN(tip, 15, {411, 320}), TipAction::kShow);
}

TEST(GridTipTimer, AMoveToTheSamePlaceChangesNothing) {
  GridTipTimer tip;
  tip.PointerMoved(Over(10, 20), Cell);
  TickN(tip, 15, {410, 320});
  EXPECT_EQ(tip.PointerMoved(Over(10, 20), Cell), TipAction::kNone);
  EXPECT_TRUE(tip.visible());
  EXPECT_EQ(tip.PointerMoved(Over(10, 21), Cell), TipAction::kPlace);
  EXPECT_FALSE(tip.visible());
  EXPECT_EQ(tip.ticks(), 0);
}

TEST(GridTipTimer, NoTipOutsideTheCellsOrWhileAnotherWindowIsActive) {
  int reads = 0;
  auto counted = [&] {
    ++reads;
    return std::string("text");
  };
  GridTipTimer tip;
  EXPECT_EQ(tip.PointerMoved(Over(1, 1, -1, 0), counted), TipAction::kHide);  // heading row
  EXPECT_EQ(tip.PointerMoved(Over(1, 2, 5, 0), counted), TipAction::kHide);   // past the rows
  EXPECT_EQ(tip.PointerMoved(Over(1, 3, 0, -1), counted), TipAction::kHide);  // no column
  GridTipTimer::Move dialog = Over(1, 4);
  dialog.own_window_active = false;
  EXPECT_EQ(tip.PointerMoved(dialog, counted), TipAction::kHide);
  GridTipTimer::Move off = Over(1, 5);
  off.tips_allowed = false;
  EXPECT_EQ(tip.PointerMoved(off, counted), TipAction::kHide);
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(tip.ticks(), GridTipTimer::kNoTip);
  EXPECT_EQ(TickN(tip, 30, {401, 305}), TipAction::kNone);
  EXPECT_FALSE(tip.visible());
}

TEST(GridTipTimer, EmptyCellShowsNothingAndFocusLossHides) {
  GridTipTimer tip;
  tip.PointerMoved(Over(10, 20), [] { return std::string(); });
  EXPECT_EQ(TickN(tip, 15, {410, 320}), TipAction::kHide);
  EXPECT_FALSE(tip.visible());

  tip.PointerMoved(Over(12, 20), Cell);
  TickN(tip, 15, {412, 320});
  ASSERT_TRUE(tip.visible());
  EXPECT_EQ(tip.FocusLost(), TipAction::kHide);
  EXPECT_FALSE(tip.visible());
}

TEST(GridTipTimer, CounterWrapsBackToNoTip) {
  GridTipTimer tip;
  tip.PointerMoved(Over(10, 20), Cell);
  TickN(tip, GridTipTimer::kWrapAbove, {410, 320});
  EXPECT_EQ(tip.ticks(), GridTipTimer::kWrapAbove);
  tip.Tick({410, 320});
  EXPECT_EQ(tip.ticks(), GridTipTimer::kNoTip);
  // Still shown (the pointer rests), and never shown again by the count.
  EXPECT_TRUE(tip.visible());
}

TEST(PlaceTip, BelowTheCursorAndWithinTheScreenWithAmpersandsDoubled) {
  EXPECT_EQ(DoubleAmpersands("A&B&&"), "A&&B&&&&");
  EXPECT_EQ(PlaceTip({100, 200}, 300, 32, 32, 1920), (ScreenPoint{116, 232}));
  EXPECT_EQ(PlaceTip({1800, 200}, 300, 32, 32, 1920), (ScreenPoint{1620, 232}));
  EXPECT_EQ(PlaceTip({10, 0}, 3000, 32, 32, 1920), (ScreenPoint{0, 32}));
}

}  // namespace
}  // namespace lintaro
