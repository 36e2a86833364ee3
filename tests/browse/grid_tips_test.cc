// Tool tips over the error-detail grid, driven by a fake 10 ms timer.
#include "browse/grid_tips.h"

#include <gtest/gtest.h>

namespace lintaro {
namespace {

// A move over cell (row, column) of a grid with 5 visible rows, at 400, 300.
GridTipTimer::Move Over(double x, double y, int row = 1, int column = 2) {
  GridTipTimer::Move m;
  m.x = x, m.y = y, m.screen = {400 + x, 300 + y};
  m.row = row, m.column = column, m.visible_rows = 5;
  return m;
}
std::string Cell() { return "Must be numeric & blank."; }

// Ticks n times with the pointer at p and the main window active; returns
// the last action.
TipAction TickN(GridTipTimer& tip, int n, ScreenPoint p) {
  TipAction last = TipAction::kNone;
  for (int i = 0; i < n; ++i) last = tip.Tick(p, true);
  return last;
}

TEST(GridTipTimer, ARestingPointerShowsTheTipAtTheFifteenthTickAndAMovingOneNot) {
  GridTipTimer tip;
  EXPECT_EQ(tip.PointerMoved(Over(10, 20), Cell), TipAction::kPlace);
  EXPECT_EQ(tip.text(), "Must be numeric && blank.");  // ampersands doubled
  EXPECT_EQ(tip.anchor(), (ScreenPoint{410, 320}));
  const ScreenPoint resting{412, 318};  // within 2 pixels
  EXPECT_EQ(TickN(tip, 14, resting), TipAction::kNone);
  EXPECT_EQ(tip.Tick(resting, true), TipAction::kShow);
  EXPECT_EQ(TickN(tip, 100, resting), TipAction::kNone);
  EXPECT_TRUE(tip.visible());
  EXPECT_EQ(tip.PointerMoved(Over(10, 20), Cell), TipAction::kNone);  // same place
  EXPECT_TRUE(tip.visible());
  EXPECT_EQ(tip.Tick({413, 320}, true), TipAction::kHide);  // moved away
  EXPECT_FALSE(tip.visible());
  // A move elsewhere starts the wait again; focus loss hides.
  EXPECT_EQ(tip.PointerMoved(Over(10, 21), Cell), TipAction::kPlace);
  EXPECT_EQ(tip.ticks(), 0);
  EXPECT_EQ(TickN(tip, 15, {410, 321}), TipAction::kShow);
  EXPECT_EQ(tip.FocusLost(), TipAction::kHide);
  EXPECT_FALSE(tip.visible());
  // The counter wraps back to no tip; a shown tip stays while the pointer rests.
  tip.PointerMoved(Over(10, 20), Cell);
  TickN(tip, GridTipTimer::kWrapAbove, {410, 320});
  EXPECT_EQ(tip.ticks(), GridTipTimer::kWrapAbove);
  tip.Tick({410, 320}, true);
  EXPECT_EQ(tip.ticks(), GridTipTimer::kNoTip);
  EXPECT_TRUE(tip.visible());
  // Moving before the wait ends prevents the tip until the next move.
  EXPECT_EQ(tip.FocusLost(), TipAction::kHide);
  tip.PointerMoved(Over(9, 20), Cell);
  TickN(tip, 5, {409, 320});
  EXPECT_EQ(TickN(tip, 10, {409, 323}), TipAction::kHide);   // tick 15, 3 pixels off
  EXPECT_EQ(TickN(tip, 200, {409, 320}), TipAction::kNone);  // resting again: no tip
  EXPECT_FALSE(tip.visible());
  EXPECT_EQ(tip.PointerMoved(Over(11, 20), Cell), TipAction::kPlace);
  EXPECT_EQ(TickN(tip, 15, {411, 320}), TipAction::kShow);
  // An empty cell shows nothing.
  tip.PointerMoved(Over(12, 20), [] { return std::string(); });
  EXPECT_EQ(TickN(tip, 15, {412, 320}), TipAction::kHide);
  EXPECT_FALSE(tip.visible());
}

TEST(GridTipTimer, NoTipOutsideTheCellsOrWhileAnotherWindowIsActive) {
  int reads = 0;
  auto counted = [&] { return ++reads, std::string("text"); };
  GridTipTimer tip;
  std::vector<GridTipTimer::Move> moves = {Over(1, 1, -1, 0), Over(1, 2, 5, 0), Over(1, 3, 0, -1),
                                           Over(1, 4),
                                           Over(1, 5)};  // heading, past rows, no column
  moves[3].own_window_active = false;
  moves[4].tips_allowed = false;
  for (const auto& m : moves) EXPECT_EQ(tip.PointerMoved(m, counted), TipAction::kHide) << m.y;
  EXPECT_EQ(reads, 0);
  EXPECT_EQ(tip.ticks(), GridTipTimer::kNoTip);
  EXPECT_EQ(TickN(tip, 30, {401, 305}), TipAction::kNone);
  EXPECT_FALSE(tip.visible());
  // A dialog that became the active window while the tip waited keeps it.
  EXPECT_EQ(tip.PointerMoved(Over(1, 6), counted), TipAction::kPlace);
  EXPECT_EQ(TickN(tip, 14, {401, 306}), TipAction::kNone);
  EXPECT_EQ(tip.Tick({401, 306}, false), TipAction::kHide);
  EXPECT_FALSE(tip.visible());
}

TEST(PlaceTip, BelowTheCursorAndWithinTheScreen) {
  EXPECT_EQ(DoubleAmpersands("A&B&&"), "A&&B&&&&");
  EXPECT_EQ(PlaceTip({100, 200}, 300, 32, 32, 1920), (ScreenPoint{116, 232}));
  EXPECT_EQ(PlaceTip({1800, 200}, 300, 32, 32, 1920), (ScreenPoint{1620, 232}));
  EXPECT_EQ(PlaceTip({10, 0}, 3000, 32, 32, 1920), (ScreenPoint{0, 32}));
}

}  // namespace
}  // namespace lintaro
