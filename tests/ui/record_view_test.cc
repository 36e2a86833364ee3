// The record viewer's widgets over a real run and the main window's size.
// What the viewer's rows hold and which are marked is in the window's state
// files (tests/ui/states); here the scrolling, Tab between rows, unloading,
// and the room a larger window gives the grids and the viewer. The designed
// size is the smallest, the first start fits the screen and later starts
// restore the last place.
#include "ui/record_view.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include "window_fixture.h"

namespace lintaro::testing {
namespace {

class RecordViewTest : public WindowTest {
 protected:
  // The faulty wage record (record 3, long field names) in the viewer.
  void ShowWageRecord() {
    Open();
    ViewFaultyWageRecord("PAYROLL & CO.TXT");
    ASSERT_EQ(view().row_count(), 78);
  }
  RecordView& view() { return *window->record_view(); }
  // Rows whose name is cut by its box.
  std::vector<int> CutNames() {
    std::vector<int> cut;
    for (int i = 0; i < view().row_count(); ++i) {
      const QLineEdit* name = view().NameBox(i);
      const int frame = name->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
      const int inner = name->width() - 2 * (frame + 2);
      if (name->fontMetrics().horizontalAdvance(name->text()) > inner) cut.push_back(i);
    }
    return cut;
  }
};

TEST_F(RecordViewTest, ScrollRangeVisibleRowsTabBetweenThemAndUnloading) {
  ShowWageRecord();
  const int shown = view().scroll().rows_shown();
  ASSERT_GT(shown, 3);
  ASSERT_LT(shown, 78);
  QScrollBar* bar = view().scroll_bar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 78 - shown);
  EXPECT_EQ(bar->height(), shown * view().NameBox(0)->height());
  for (int i = 0; i < 78; ++i) EXPECT_EQ(view().NameBox(i)->isVisible(), i < shown) << i;

  // Where Tab goes is ViewerScroll's rule (tests/browse); here the keys
  // reach it and the focus and the rows follow.
  window->activateWindow();
  const int last = shown - 1;  // the last row shown
  auto press = [](QLineEdit* box, bool back) {
    box->setFocus();
    QTest::keyClick(box, back ? Qt::Key_Backtab : Qt::Key_Tab,
                    back ? Qt::ShiftModifier : Qt::NoModifier);
  };
  press(view().NameBox(0), false);
  EXPECT_TRUE(view().ValueBox(0)->hasFocus());
  // From the last value box shown: one row down, the next row's name box.
  press(view().ValueBox(last), false);
  EXPECT_EQ(bar->value(), 1);
  EXPECT_TRUE(view().NameBox(last + 1)->hasFocus());
  EXPECT_TRUE(view().NameBox(last + 1)->isVisible());
  EXPECT_FALSE(view().NameBox(0)->isVisible());
  // Shift+Tab from a name box: up one row, the previous value box.
  press(view().NameBox(last + 1), true);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_TRUE(view().ValueBox(last)->hasFocus());
  // From name box 0 the focus leaves the rows.
  press(view().NameBox(0), true);
  EXPECT_EQ(bar->value(), 0);
  for (int i = 0; i < view().row_count(); ++i) EXPECT_FALSE(view().ValueBox(i)->hasFocus()) << i;

  // At the maximum the last row is at the bottom.
  bar->setValue(bar->maximum());
  EXPECT_TRUE(view().NameBox(77)->isVisible());
  EXPECT_EQ(view().NameBox(77)->y(), (shown - 1) * view().NameBox(0)->height());
  // The final record: three rows, no scroll bar.
  SelectTested(4);
  EXPECT_EQ(view().row_count(), 3);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(view().NameBox(0)->isVisible());

  // The grid view and a new run unload the rows.
  SelectTested(2);
  Button("cmdGrid")->click();
  QApplication::processEvents();
  EXPECT_EQ(view().row_count(), 1);
  EXPECT_FALSE(view().scroll_bar()->isVisible());
  EXPECT_FALSE(Find<QWidget>("viewerArea")->isVisible());
  EXPECT_EQ(view().viewer(), nullptr);  // the results file is let go

  // A new run removes the rows before it replaces the results file.
  Button("cmdView")->click();
  SelectTested(2);
  Run({Submission("clean.txt", CleanSubmission())});
  EXPECT_EQ(view().row_count(), 1);
  EXPECT_EQ(view().viewer(), nullptr);
}

TEST_F(RecordViewTest, ALargerWindowGrowsTheGridAndTheViewerAndShowsEveryNameWhole) {
  ShowWageRecord();
  const QSize smallest = window->minimumSize();
  window->resize(smallest);
  QApplication::processEvents();
  auto* grid3 = Find<QTableView>("DBGrid3");
  const int rows_small = view().scroll().rows_shown();
  const int value_small = view().ValueBox(0)->width();
  const int grid_small = grid3->height();
  EXPECT_FALSE(CutNames().empty());  // the designed size cuts the longest names

  // The size of a first start on a 1280x1024 screen.
  window->resize(FirstStartSize(QRect(0, 0, 1280, 1024), smallest));
  QApplication::processEvents();
  EXPECT_GE(view().scroll().rows_shown(), 20);
  EXPECT_GT(view().scroll().rows_shown(), rows_small);
  EXPECT_GT(grid3->height(), grid_small);
  EXPECT_GT(view().ValueBox(0)->width(), value_small);
  EXPECT_EQ(CutNames(), std::vector<int>{});
  // The value boxes reach the scroll bar; the headings follow the columns.
  const QScrollBar* bar = view().scroll_bar();
  EXPECT_EQ(view().ValueBox(0)->x() + view().ValueBox(0)->width(), bar->x());
  EXPECT_EQ(Find<QLabel>("lblFData")->x() - Find<QLabel>("lblFName")->x(),
            view().NameColumnWidth());
  EXPECT_EQ(view().ValueBox(0)->x(), view().NameColumnWidth());
  EXPECT_EQ(bar->height(), view().scroll().rows_shown() * view().NameBox(0)->height());

  // Back to the smallest: everything returns.
  window->resize(QSize(200, 150));  // below the smallest size
  QApplication::processEvents();
  EXPECT_EQ(window->size(), smallest);
  EXPECT_EQ(view().scroll().rows_shown(), rows_small);
  EXPECT_EQ(grid3->height(), grid_small);
}

// The divider between the tested records and the field-by-field view is
// dragged down for more records. The designed width is the smallest, unless
// the screen is narrower; later starts open at the last place, the divider
// where it was left, and without a saved place (or with one that cannot be
// read) at the first start's size again.
TEST_F(RecordViewTest, TheDividerIsDraggedAndLaterStartsOpenAtTheLastPlace) {
  ShowWageRecord();
  const QRect first = window->geometry();
  EXPECT_EQ(window->minimumSize().width(),
            std::min(window->Twips(11520), window->screen()->availableGeometry().width()));
  auto* grid3 = Find<QTableView>("DBGrid3");
  auto* divider = Find<QWidget>("splitTested");
  ASSERT_TRUE(divider->isVisible());
  const int before = grid3->height();
  const int fields_before = view().scroll().rows_shown();
  auto mouse = [&](QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), QPointF(divider->mapToGlobal(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
    QApplication::sendEvent(divider, &event);
  };
  mouse(QEvent::MouseButtonPress, {10, 2});
  mouse(QEvent::MouseMove, {10, 82});
  mouse(QEvent::MouseButtonRelease, {10, 82});
  QApplication::processEvents();
  EXPECT_NEAR(grid3->height(), before + 80, 2);
  EXPECT_EQ(divider->y(), grid3->geometry().bottom() + 1);
  EXPECT_LT(view().scroll().rows_shown(), fields_before);

  window->setGeometry(QRect(first.topLeft() + QPoint(7, 5), first.size() + QSize(90, 60)));
  QApplication::processEvents();
  const QSize left = window->size();
  const int dragged = grid3->height();
  window->close();  // Exit saves the place
  window.reset();
  keep_placement = true;
  Open();
  EXPECT_EQ(window->size(), left);
  Button("cmdView")->click();
  EXPECT_NEAR(Find<QTableView>("DBGrid3")->height(), dragged, 2);
  window.reset();
  QFile(WindowPlacement::DefaultFile()).open(QIODevice::WriteOnly | QIODevice::Truncate);
  Open();
  EXPECT_EQ(window->size(), first.size());
}

TEST(WindowPlacementSizes, FirstStartFitsTheScreenAndNeverGoesBelowTheDesign) {
  const QSize design(768, 547);
  struct Case {
    QRect available;
    QSize minimum, first;
  };
  const Case cases[] = {
      {QRect(0, 0, 1280, 1024), design, QSize(1152, 921)},
      {QRect(0, 24, 1920, 1056), design, QSize(1728, 950)},
      {QRect(0, 0, 800, 600), design, QSize(768, 547)},           // nine tenths is too small
      {QRect(0, 0, 960, 516), QSize(768, 516), QSize(864, 516)},  // scale 2 on 1920x1080
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MinimumWindowSize(design, c.available), c.minimum) << c.available.width();
    EXPECT_EQ(FirstStartSize(c.available, c.minimum), c.first) << c.available.width();
  }
}

}  // namespace
}  // namespace lintaro::testing
