// The record viewer's widgets over a real run: rows, marks and colours as
// the viewer model gives them, scrolling, Tab between rows, column widths.
#include "ui/record_view.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <set>

#include "browse/record_viewer.h"
#include "store/cp1252.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "ui/record_view.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

constexpr int kMilitaryOrig = 574;
constexpr int kMilitaryCorrect = 585;

class RecordViewTest : public WindowTest {
 protected:
  // A submission whose RCW (record 3) has several faulty fields, tested in
  // the window and opened in "View Tested Records".
  void RunFaultySubmission() {
    const std::string faulty = CleanRCW({{188, "XX"},
                                         {244, Cents(1000)},
                                         {255, Cents(1000)},
                                         {266, Cents(100)},
                                         {277, "0000001000A"},
                                         {kMilitaryOrig, Cents(5)},
                                         {kMilitaryCorrect, Cents(6)}});
    Open();
    Run({Submission("PAYROLL & CO.TXT",
                    {CleanRCA(), CleanRCE(), faulty, CleanRCT(1), FinalRecord(1)})});
    ASSERT_GT(window->last_summary().errors, 0);
    Button("cmdView")->click();
    QApplication::processEvents();
  }

  void Select(int row) {
    auto *grid3 = Find<QTableView>("DBGrid3");
    grid3->setCurrentIndex(grid3->model()->index(row, 0));
    QApplication::processEvents();
  }

  RecordView &view() { return *window->recordView(); }
};

QColor BackOf(QLineEdit *box) { return box->palette().color(QPalette::Base); }

TEST_F(RecordViewTest, WageRecordShowsTheModelsRowsAndPaintsExactlyItsMarkedFields) {
  RunFaultySubmission();
  Select(2);

  // The model, run on its own over the same results.
  auto db = ResultsDb::Open(ResultsPath(), true);
  RecordViewer model(*db);
  ASSERT_EQ(model.ViewFile(3), ViewResult::kShown);
  ASSERT_EQ(model.rows().size(), 78u);
  const std::vector<int> marked = model.MarkedRows();
  ASSERT_GE(marked.size(), 4u);

  ASSERT_EQ(view().row_count(), 78);
  const QColor window_colour = QLineEdit().palette().color(QPalette::Base);
  ASSERT_NE(window_colour, kMarkedFieldColour);
  std::set<int> painted;
  for (int i = 0; i < 78; ++i) {
    const ViewerRow &row = model.rows()[static_cast<size_t>(i)];
    EXPECT_EQ(view().NameBox(i)->text(), ToQString(Cp1252ToUtf8(row.label))) << i;
    EXPECT_EQ(view().ValueBox(i)->text(), ToQString(Cp1252ToUtf8(row.value))) << i;
    const QColor back = BackOf(view().ValueBox(i));
    if (back == QColor(255, 255, 128))
      painted.insert(i);
    else
      EXPECT_EQ(back, window_colour) << i;
  }
  EXPECT_EQ(painted, std::set<int>(marked.begin(), marked.end()));
  EXPECT_EQ(view().ValueBox(12)->text(), "XX");
  EXPECT_TRUE(painted.count(12));

  // The caption is the model's, with the file's name only.
  EXPECT_EQ(window->windowTitle(), "Record Number 3 of 5 Tested Record(s) - PAYROLL & CO.TXT");

  // The next record repaints: the employer record has no marks.
  Select(1);
  EXPECT_EQ(view().row_count(), 24);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(BackOf(view().ValueBox(i)), window_colour) << i;
  EXPECT_EQ(view().NameBox(24), nullptr);
}

TEST_F(RecordViewTest, ScrollRangeVisibleRowsAndColumnWidths) {
  RunFaultySubmission();
  Select(2);
  const ViewerScroll &s = view().scroll();
  const int shown = s.rows_shown();
  ASSERT_GT(shown, 3);
  ASSERT_LT(shown, 78);
  QScrollBar *bar = view().scrollBar();
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 78 - shown);
  EXPECT_EQ(bar->height(), shown * view().NameBox(0)->height());
  for (int i = 0; i < 78; ++i) EXPECT_EQ(view().NameBox(i)->isVisible(), i < shown) << i;

  // At the maximum the last row is at the bottom.
  bar->setValue(bar->maximum());
  EXPECT_TRUE(view().NameBox(77)->isVisible());
  EXPECT_EQ(view().NameBox(77)->y(), (shown - 1) * view().NameBox(0)->height());

  // The final record: three rows, no scroll bar, value boxes to its right
  // edge.
  Select(4);
  EXPECT_EQ(view().row_count(), 3);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(view().NameBox(0)->isVisible());
}

// Where Tab goes is ViewerScroll's rule (tests/browse); here the keys reach
// it and the focus and the rows follow.
TEST_F(RecordViewTest, TabAndShiftTabMoveBetweenRowsAndScroll) {
  RunFaultySubmission();
  Select(2);
  window->activateWindow();
  const int last = view().scroll().rows_shown() - 1;  // the last row shown
  QScrollBar *bar = view().scrollBar();
  auto press = [](QLineEdit *box, bool back) {
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
}

TEST_F(RecordViewTest, GridViewAndNewRunUnloadTheRows) {
  RunFaultySubmission();
  Select(2);
  ASSERT_EQ(view().row_count(), 78);
  Button("cmdGrid")->click();
  QApplication::processEvents();
  EXPECT_EQ(view().row_count(), 1);
  EXPECT_FALSE(view().scrollBar()->isVisible());
  EXPECT_FALSE(Visible("viewerArea"));
  EXPECT_EQ(view().viewer(), nullptr);  // the results file is let go

  // A new run removes the rows before it replaces the results file.
  Button("cmdView")->click();
  Select(2);
  Run({Submission("clean.txt", CleanRecords())});
  EXPECT_EQ(view().row_count(), 1);
  EXPECT_EQ(view().viewer(), nullptr);
}

}  // namespace
}  // namespace lintaro::testing
