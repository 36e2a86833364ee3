// The tool tips of the error-detail grid on the real window, with the timer
// ticks driven by the test.
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
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
                  {2, "Agent for EIN [Position 27 - 35]", "[         ]", "Must be numeric."},
                  {3, "Agent for EIN [Position 27 - 35]", "[         ]", "Must be numeric."}});
    Open();
    Button("cmdLast")->click();
    QApplication::processEvents();
    grid = Find<QTableView>("DBGrid2");
    tips = window->grid_tips();
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
  bool TipShown() const { return tips->tip_window() != nullptr && tips->tip_window()->isVisible(); }
  // Points at p and rests there for 15 ticks; whether the tip is shown then.
  bool ShownAfterResting(QPoint p, bool heading = false) {
    PointAt(p, heading);
    for (int i = 0; i < 15; ++i) tips->Tick(Global(p));
    return TipShown();
  }

  QTableView* grid = nullptr;
  GridTips* tips = nullptr;
};

// The timing rules are tested on GridTipTimer (tests/browse); here the
// window's part: the pointer's cell, the tip window's text and place, the
// real timer, the focus, a modal dialog and shutdown.
TEST_F(GridTipsTest, RestingOnACellShowsItsFullTextBelowThePointerUntilHidden) {
  const QPoint cell = CellPoint(0, 2);
  PointAt(cell);
  QWidget* tip = tips->tip_window();
  ASSERT_NE(tip, nullptr);
  // The text with its ampersand doubled, the tip below the pointer; a
  // message wider than half the screen is wrapped and stays on the screen.
  EXPECT_EQ(tips->tip_text()->text(), QString(kLongMessage).replace("&", "&&"));
  EXPECT_GT(tip->y(), Global(cell).y());
  const int screen_width = grid->screen()->geometry().width();
  EXPECT_LE(tip->width(), std::max(320, screen_width / 2) + 16);
  EXPECT_LE(tip->x() + tip->width(), screen_width);
  EXPECT_TRUE(ShownAfterResting(cell));
  tips->Tick(Global(cell) + QPoint(3, 0));  // the pointer moves away
  EXPECT_FALSE(TipShown());
  // The next move over the grid starts the real timer with that cell's text.
  tips->PointerMoved(CellPoint(1, 2), Global(CellPoint(1, 2)));
  EXPECT_TRUE(tips->timer()->isActive());
  EXPECT_EQ(tips->tip_text()->text(), "Must be numeric.");

  // Losing the focus, the heading, past the last row or a dialog hide it.
  ASSERT_TRUE(ShownAfterResting(cell));
  tips->FocusLost();
  EXPECT_FALSE(TipShown());
  ASSERT_TRUE(ShownAfterResting(cell + QPoint(1, 0)));
  EXPECT_FALSE(ShownAfterResting(QPoint(cell.x(), 5), /*heading=*/true));
  const QRect last = grid->visualRect(grid->model()->index(1, 2));
  ASSERT_LT(last.bottom() + 10, grid->viewport()->height());
  ASSERT_TRUE(ShownAfterResting(cell));
  EXPECT_FALSE(ShownAfterResting(QPoint(last.center().x(), last.bottom() + 10)));

  QDialog dialog(window.get());
  dialog.setModal(true);
  dialog.show();
  QApplication::processEvents();
  EXPECT_FALSE(ShownAfterResting(cell + QPoint(0, 1)));
  // Nor when the main window is made active while the dialog is still up
  // (a window manager may do so on a click).
  window->activateWindow();
  QApplication::processEvents();
  EXPECT_FALSE(ShownAfterResting(cell + QPoint(0, 2)));
  dialog.close();
  QApplication::processEvents();
  EXPECT_TRUE(ShownAfterResting(cell));
  // A dialog that opens while a tip waits (Go to Record from the keyboard,
  // with the pointer resting on a cell) keeps the tip from being shown over it.
  tips->FocusLost();
  PointAt(cell + QPoint(1, 1));
  dialog.show();
  QApplication::processEvents();
  for (int i = 0; i < 15; ++i) tips->Tick(Global(cell + QPoint(1, 1)));
  EXPECT_FALSE(TipShown());
  dialog.close();
  QApplication::processEvents();
  window->close();  // shutdown closes the tip
  EXPECT_EQ(tips->tip_window(), nullptr);
}

// The screen's width and the pointer's size that the window was given, not
// the screen it happens to be on, place and wrap the tip: below the pointer
// by its height, right of it by half its width, within the screen.
class GridTipsOnAMeasuredScreen : public GridTipsTest {
 protected:
  void SetUp() override {
    metrics = {.screen_width = 700, .cursor_width = 48, .cursor_height = 56};
    GridTipsTest::SetUp();
  }
};

TEST_F(GridTipsOnAMeasuredScreen, TheGivenMetricsPlaceAndWrapTheTip) {
  const QPoint cell = Global(CellPoint(0, 2));
  PointAt(CellPoint(0, 2));
  const QWidget* tip = tips->tip_window();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(tip->y(), cell.y() + 56);
  EXPECT_EQ(tip->x(), std::max(0, std::min(cell.x() + 24, 700 - tip->width())));
  EXPECT_LE(tip->width(), 350 + 16);  // wrapped at half the given width
}

// A tip shown hides when the keyboard moves the selection (of either grid)
// or the focus, or changes the view.
TEST_F(GridTipsTest, KeysThatChangeTheSelectionTheFocusOrTheViewHideTheTip) {
  // Each tip is asked for a pixel further along the cell (a move to where
  // the pointer was is no move).
  int moves = 0;
  auto shown = [&] { return ShownAfterResting(CellPoint(0, 2) + QPoint(++moves, 0)); };
  ASSERT_TRUE(shown());
  QTest::keyClick(grid, Qt::Key_Down);
  EXPECT_FALSE(TipShown()) << "the findings grid's selection";
  auto* records = Find<QTableView>("DBGrid1");
  records->setFocus();
  ASSERT_TRUE(shown());
  QTest::keyClick(records, Qt::Key_Down);
  EXPECT_EQ(records->currentIndex().row(), 1);
  EXPECT_FALSE(TipShown()) << "the records grid's selection";
  QTest::keyClick(records, Qt::Key_Up);
  ASSERT_TRUE(shown());
  QTest::keyClick(records, Qt::Key_Tab);
  EXPECT_FALSE(TipShown()) << "the focus";
  ASSERT_TRUE(shown());
  QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);  // View Tested Records
  // The button's click follows its animation.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Visible("DBGrid3"); }, 5000));
  EXPECT_FALSE(TipShown()) << "the view";
}

// A finding is read whole without a tip: every text wraps within its
// column and its row is as high as the wrapped text, at the window's first
// size and at its smallest, and the grid needs no sideways scrolling.
TEST_F(GridTipsTest, FindingsWrapWithinTheirColumns) {
  const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
  for (QSize size : {window->size(), window->minimumSize()}) {
    window->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(grid->horizontalScrollBar()->maximum(), 0) << size.width();
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
      for (int column = 0; column < 3; ++column) {
        const QString text = grid->model()->index(row, column).data().toString();
        const QRect wrapped = grid->fontMetrics().boundingRect(
            QRect(0, 0, grid->columnWidth(column) - 1 - margins, 1 << 20), Qt::TextWordWrap, text);
        EXPECT_LE(wrapped.height(), grid->rowHeight(row))
            << size.width() << ": " << text.toStdString();
      }
    }
  }
}

TEST(TipLabel, ADoubledAmpersandShowsAsOneAmpersand) {
  TipLabel label;
  label.set_text("Smith && Sons");
  label.resize(label.sizeHint());
  auto draw = [&](const std::function<void(QPainter&)>& paint) {
    QImage image(label.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    paint(p);
    return image;
  };
  // The same text drawn literally, with no mnemonic processing.
  EXPECT_EQ(
      draw([&](QPainter& p) { label.render(&p, QPoint(), QRegion(), QWidget::DrawChildren); }),
      draw([&](QPainter& p) {
        p.setFont(label.font());
        p.setPen(QToolTip::palette().color(QPalette::ToolTipText));
        p.drawText(label.rect().adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter,
                   "Smith & Sons");
      }));
  EXPECT_EQ(label.sizeHint().width(), label.fontMetrics().size(0, "Smith & Sons").width() + 8);
}

}  // namespace
}  // namespace lintaro::testing
