// The grids over a large results file: every row is there at once, the end
// is reached in one step, rows are read only as they are drawn, and Go to
// Record selects any record by its number.
#include <QAction>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <filesystem>

#include "support/line_diff.h"
#include "ui/record_grid_model.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

constexpr int kRecords = 200000;
constexpr int kErrorEvery = 1000;  // records 1000, 2000, ... have a finding
constexpr int kFar = 170000;       // far down the grids

class LargeResultTest : public WindowTest {
 protected:
  void SetUp() override {
    ResultsFixture results(home.path());
    results.db().Begin();
    results.File("/data/large.txt");
    for (int i = 1; i <= kRecords; ++i) {
      results.Record(i, "RCW");
      if (i % kErrorEvery == 0)
        results.Error(i, "Wages [Position 100 - 110]", "[ABC]", "Money fields must be numeric.");
    }
    results.db().Commit();
    Open();
    // The number typed, then Cancel where it is refused.
    window->set_record_number_asker(
        [this](int64_t tested, const std::function<bool(int64_t)>& accept) {
          asked_with.push_back(tested);
          return next_number && accept(*next_number) ? next_number : std::nullopt;
        });
  }

  RecordGridModel* Model(QTableView* grid) { return qobject_cast<RecordGridModel*>(grid->model()); }
  // The row drawn at the bottom of the grid.
  int BottomRow(QTableView* grid) { return grid->rowAt(grid->viewport()->height() - 2); }
  // Go to Record with rec_num typed (0: Cancel); what it left in grid:
  // the current row and whether it is in view, the caption or the record
  // label, and the message box shown.
  std::string GoTo(int64_t rec_num, QTableView* grid) {
    next_number = rec_num ? std::optional(rec_num) : std::nullopt;
    prompts.messages.clear();
    Action("mnuVGoToRecord")->trigger();
    QApplication::processEvents();
    const int row = grid->currentIndex().row();
    const bool in_view = grid->rowAt(0) <= row && BottomRow(grid) >= row;
    std::string out =
        std::to_string(rec_num) + ": row " + std::to_string(row) +
        (in_view ? " in view | " : " | ") +
        (Visible("lblErrors") ? Text("lblErrors") : window->windowTitle()).toStdString();
    for (const ShownMessage& m : prompts.messages) out += " | box: " + Describe(m);
    return out + "\n";
  }

  // A click on row of grid: the current row, the caption or the record
  // label, the first value of the viewer and the number of findings shown.
  std::string Click(QTableView* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, 0)).center());
    QApplication::processEvents();
    const QAbstractItemModel* findings = Find<QTableView>("DBGrid2")->model();
    return "click: row " + std::to_string(grid->currentIndex().row()) + " | " +
           (Visible("lblErrors") ? Text("lblErrors") : window->windowTitle()).toStdString() +
           " | " + Find<QLineEdit>("Text2_0")->text().toStdString() + " | findings " +
           std::to_string(findings ? findings->rowCount() : 0) + "\n";
  }

  // The record number and error count columns of grid show the widest
  // value each can hold whole, and the record column the first record
  // whole: the cell less its grid line and the text margins the item views
  // keep on both sides.
  void ExpectWidestValuesFit(QTableView* grid) {
    const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (int column : {0, 1}) {
      const QString widest = column == 0 ? "9999999" : "25000";
      EXPECT_GE(grid->columnWidth(column) - 1 - margins,
                grid->fontMetrics().horizontalAdvance(widest))
          << grid->objectName().toStdString() << " column " << column;
    }
    const QModelIndex record = grid->model()->index(0, 2);
    const QVariant font = record.data(Qt::FontRole);
    const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : grid->font());
    EXPECT_GE(grid->columnWidth(2) - 1 - margins,
              metrics.horizontalAdvance(record.data().toString()))
        << grid->objectName().toStdString() << " record text";
  }

  std::optional<int64_t> next_number;
  std::vector<int64_t> asked_with;
};

TEST_F(LargeResultTest, TestedRecordsOpenWholeTheEndIsOneStepAwayAndAnyCanBeGoneTo) {
  Button("cmdLast")->click();
  Button("cmdView")->click();
  QApplication::processEvents();
  auto* grid3 = Find<QTableView>("DBGrid3");
  ASSERT_NE(Model(grid3), nullptr);
  EXPECT_EQ(Text("DBGrid3Caption"), "200000 Record(s) Tested");
  EXPECT_EQ(grid3->model()->rowCount(), kRecords);
  ExpectWidestValuesFit(grid3);

  // Ctrl+End: the last record, selected, drawn and shown in the viewer.
  QTest::keyClick(grid3, Qt::Key_End, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(grid3->currentIndex().row(), kRecords - 1);
  EXPECT_EQ(BottomRow(grid3), kRecords - 1);
  EXPECT_EQ(window->windowTitle(), "Record Number 200000 of 200000 Tested Record(s) - large.txt");

  // The scroll bar dragged to the top and back to the end: the rows drawn
  // are read, and only a few windows of them are held.
  QScrollBar* bar = grid3->verticalScrollBar();
  bar->setValue(0);
  QApplication::processEvents();
  bar->setValue(bar->maximum());
  QApplication::processEvents();
  const int bottom = BottomRow(grid3);
  EXPECT_EQ(bottom, kRecords - 1);
  EXPECT_EQ(grid3->model()->data(grid3->model()->index(bottom, 0)).toLongLong(), kRecords);
  EXPECT_LE(Model(grid3)->rows().windows_held(), RecordGridRows::kWindowsHeld);
  EXPECT_LE(Model(grid3)->rows().windows_read(), 8);

  // A click on the record's text keeps RecNum and ErrCount in view.
  grid3->horizontalScrollBar()->setValue(0);
  const int data_x = grid3->columnViewportPosition(2) + grid3->columnWidth(2) - 20;
  QTest::mouseClick(grid3->viewport(), Qt::LeftButton, {}, QPoint(data_x, 5));
  EXPECT_EQ(grid3->horizontalScrollBar()->value(), 0);
  EXPECT_EQ(grid3->columnViewportPosition(0), 0);

  // Go to Record selects any number or says there is none: compared with
  // go_to_record.trace (0 is Cancel).
  std::string trace;
  for (int64_t n : {150000, 200001, kFar, 0}) trace += GoTo(n, grid3);
  EXPECT_EQ(asked_with, (std::vector<int64_t>{kRecords, kRecords, kRecords, kRecords}));
  // Onto a row and past it: the viewer never shows one record while the
  // row is on another.
  trace += GoTo(kFar - 1, grid3) + Click(grid3, kFar - 1) + Click(grid3, kFar);

  // In the grid view the records with errors are the rows.
  Button("cmdGrid")->click();
  auto* grid1 = Find<QTableView>("DBGrid1");
  EXPECT_EQ(grid1->model()->rowCount(), kRecords / kErrorEvery);
  EXPECT_EQ(Text("lblRecords"), "200000 Record(s) Tested, 200 Record(s) with Error(s)");
  ExpectWidestValuesFit(grid1);
  for (int64_t n : {5000, 5001, kFar}) trace += GoTo(n, grid1);
  trace += GoTo(kFar - kErrorEvery, grid1) + Click(grid1, kFar / kErrorEvery - 1);
  ExpectUiFileHolds("traces/go_to_record.trace", trace);
}

// A last record number no run reaches (such results are damaged, and the
// window refuses them): the grid's model holds no more rows than a view can.
TEST(RecordGridModelTest, ALastRecordNumberNoRunReachesGivesTheRowsAViewCanHold) {
  ResultsFixture results;
  results.File("/data/first.txt");
  results.Record(1, "RCA");
  results.db().InsertRecord(RecordRow{9223372036854775000, "RCW", 0, 0, MakeRecord("RCW"), ""});
  std::unique_ptr<RecordGridModel> model(
      RecordGridModel::Open(results.path(), RecordGridRows::Kind::kTested, nullptr));
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(model->rowCount(), 1073741823);
}

}  // namespace
}  // namespace lintaro::testing
