// The tool tips of the error-detail grid on the real window, with the timer
// ticks driven by the test.
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "store/results_db.h"
#include "ui/grid_tip_window.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

const char* kLongMessage =
    "If Agent Indicator Code [Position 26] is \"1\", then Agent for EIN cannot be blank & "
    "the Agent's EIN must be numeric.";

class GridTipsTest : public WindowTest {
 protected:
  void SetUp() override {
    WriteResults({"/data/corrections.txt"}, {"RCA", "RCE", "RCE"},
                 {{2, "Agent for EIN [Position 27 - 35]", "[         ]", kLongMessage},
                  {2, "Agent for EIN [Position 27 - 35]", "[         ]", "Must be numeric."}});
    Open();
    Button("cmdLast")->click();
    QApplication::processEvents();
    grid = Find<QTableView>("DBGrid2");
    tips = window->gridTips();
    ASSERT_NE(tips, nullptr);
    ASSERT_EQ(grid->model()->rowCount(), 2);
  }

  // The centre of a cell, in the grid's viewport and on the screen.
  QPoint CellPoint(int row, int column) const {
    return grid->visualRect(grid->model()->index(row, column)).center();
  }
  QPoint Global(QPoint p) const { return grid->viewport()->mapToGlobal(p); }

  // Requests a tip at a cell and stops the real timer, so that the test
  // gives the ticks.
  void PointAt(QPoint p, bool heading = false) {
    tips->PointerMoved(p, Global(p), heading);
    if (tips->timer() != nullptr) tips->timer()->stop();
  }
  void TickTimes(int n, QPoint global) {
    for (int i = 0; i < n; ++i) tips->Tick(global);
  }
  bool TipShown() const { return tips->tipWindow() != nullptr && tips->tipWindow()->isVisible(); }

  QTableView* grid = nullptr;
  GridTips* tips = nullptr;
};

TEST_F(GridTipsTest, RestingOnACellShowsItsFullTextAtTheFifteenthTick) {
  const QPoint cell = CellPoint(0, 2);
  PointAt(cell);
  QWidget* tip = tips->tipWindow();
  ASSERT_NE(tip, nullptr);
  // The text with its ampersand doubled, the tip below the pointer; a
  // message wider than half the screen is wrapped and stays on the screen.
  EXPECT_EQ(tips->tipText()->text(), QString(kLongMessage).replace("&", "&&"));
  EXPECT_GT(tip->y(), Global(cell).y());
  const int screen_width = grid->screen()->geometry().width();
  EXPECT_LE(tip->width(), std::max(320, screen_width / 2) + 16);
  EXPECT_LE(tip->x() + tip->width(), screen_width);
  EXPECT_FALSE(TipShown());

  TickTimes(14, Global(cell));
  EXPECT_FALSE(TipShown());
  tips->Tick(Global(cell) + QPoint(2, -2));  // within 2 pixels: resting
  EXPECT_TRUE(TipShown());
  // Later ticks keep it while the pointer rests, and hide it once it moves.
  TickTimes(20, Global(cell));
  EXPECT_TRUE(TipShown());
  tips->Tick(Global(cell) + QPoint(3, 0));
  EXPECT_FALSE(TipShown());
  // Resting again does not bring it back without a new move over the grid;
  // the timer rests until that move.
  TickTimes(30, Global(cell));
  EXPECT_FALSE(TipShown());
  EXPECT_FALSE(tips->timer()->isActive());
  tips->PointerMoved(CellPoint(1, 1), Global(CellPoint(1, 1)));
  EXPECT_TRUE(tips->timer()->isActive());
  tips->timer()->stop();

  // A move to another cell asks again with that cell's text.
  PointAt(CellPoint(1, 2));
  EXPECT_EQ(tips->tipText()->text(), "Must be numeric.");
  TickTimes(15, Global(CellPoint(1, 2)));
  EXPECT_TRUE(TipShown());
}

TEST_F(GridTipsTest, MovingAwayLosingTheFocusTheHeadingPastTheLastRowOrADialogHideIt) {
  const QPoint cell = CellPoint(0, 2);
  PointAt(cell);
  TickTimes(10, Global(cell));
  TickTimes(5, Global(cell) + QPoint(0, 3));  // moved 3 pixels at tick 15
  EXPECT_FALSE(TipShown());

  PointAt(cell + QPoint(1, 0));
  TickTimes(15, Global(cell + QPoint(1, 0)));
  ASSERT_TRUE(TipShown());
  tips->FocusLost();
  EXPECT_FALSE(TipShown());

  // The same position again is no new request.
  PointAt(cell + QPoint(1, 0));
  TickTimes(15, Global(cell + QPoint(1, 0)));
  EXPECT_FALSE(TipShown());

  // A tip is shown first, so that each case below must also hide it.
  PointAt(cell);
  TickTimes(15, Global(cell));
  ASSERT_TRUE(TipShown());

  PointAt(QPoint(cell.x(), 5), /*heading=*/true);
  EXPECT_FALSE(TipShown());
  TickTimes(20, Global(QPoint(cell.x(), 5)));
  EXPECT_FALSE(TipShown());

  const QRect last = grid->visualRect(grid->model()->index(1, 2));
  ASSERT_LT(last.bottom() + 10, grid->viewport()->height());
  const QPoint below(last.center().x(), last.bottom() + 10);
  PointAt(below);
  TickTimes(20, Global(below));
  EXPECT_FALSE(TipShown());

  QDialog dialog(window.get());
  dialog.setModal(true);
  dialog.show();
  QApplication::processEvents();
  PointAt(cell + QPoint(0, 1));
  TickTimes(20, Global(cell + QPoint(0, 1)));
  EXPECT_FALSE(TipShown());
  dialog.close();
  QApplication::processEvents();
  PointAt(cell);
  TickTimes(15, Global(cell));
  EXPECT_TRUE(TipShown());

  // Shutdown closes the tip.
  window->close();
  EXPECT_EQ(tips->tipWindow(), nullptr);
}

TEST(TipLabel, ADoubledAmpersandShowsAsOneAmpersand) {
  TipLabel label;
  label.setText("Smith && Sons");
  label.resize(label.sizeHint());
  QImage shown(label.size(), QImage::Format_ARGB32);
  shown.fill(Qt::white);
  {
    QPainter p(&shown);
    label.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
  }
  // The same text drawn literally, with no mnemonic processing.
  QImage literal(label.size(), QImage::Format_ARGB32);
  literal.fill(Qt::white);
  {
    QPainter p(&literal);
    p.setFont(label.font());
    p.setPen(QToolTip::palette().color(QPalette::ToolTipText));
    p.drawText(label.rect().adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter,
               "Smith & Sons");
  }
  EXPECT_EQ(shown, literal);
  EXPECT_EQ(label.sizeHint().width(), label.fontMetrics().size(0, "Smith & Sons").width() + 8);
}

}  // namespace
}  // namespace lintaro::testing
