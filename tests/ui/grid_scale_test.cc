// The grids over a large results file: rows are fetched as they are shown.
#include <QElapsedTimer>
#include <QSqlQueryModel>

#include "window_fixture.h"

namespace lintaro::testing {
namespace {

TEST_F(WindowTest, GridsStayQuickWithTwoHundredThousandRecords) {
  constexpr int kRecords = 200000;
  {
    auto db = ResultsDb::Create(ResultsPath());
    db->Begin();
    db->InsertMisc("/data/large.txt", "12/06/2026");
    RecordRow r;
    r.id = "RCW";
    r.record = MakeRecord("RCW");
    for (int i = 1; i <= kRecords; ++i) {
      r.rec_num = i;
      r.errors = i % 2 == 0 ? 1 : 0;  // every second record has a finding
      db->InsertRecord(r);
      if (r.errors) {
        ErrorRow e;
        e.rec_num = i;
        e.reference = "Wages [Position 100 - 110]";
        e.user_entry = "[ABC]";
        e.error = "Money fields must be numeric.";
        db->InsertError(e);
      }
    }
    db->Commit();
  }
  Open();
  QElapsedTimer timer;
  timer.start();
  Button("cmdLast")->click();
  const qint64 grid_ms = timer.elapsed();
  EXPECT_EQ(Text("lblRecords"), "200000 Record(s) Tested, 100000 Record(s) with Error(s)");
  auto* grid1 = Find<QTableView>("DBGrid1");
  auto* model = qobject_cast<QSqlQueryModel*>(grid1->model());
  ASSERT_NE(model, nullptr);
  EXPECT_LT(model->rowCount(), 2000);  // not loaded whole
  EXPECT_TRUE(model->canFetchMore());

  timer.restart();
  Button("cmdView")->click();
  const qint64 tested_ms = timer.elapsed();
  auto* grid3 = Find<QTableView>("DBGrid3");
  EXPECT_EQ(Text("DBGrid3Caption"), "200000 Record(s) Tested");
  EXPECT_LT(grid3->model()->rowCount(), 2000);

  // Scrolling further fetches more rows.
  const int before = grid3->model()->rowCount();
  grid3->scrollToBottom();
  QApplication::processEvents();
  EXPECT_GT(grid3->model()->rowCount(), before);

  RecordProperty("grid_view_ms", static_cast<int>(grid_ms));
  RecordProperty("tested_view_ms", static_cast<int>(tested_ms));
  EXPECT_LT(grid_ms, 3000);
  EXPECT_LT(tested_ms, 3000);
}

}  // namespace
}  // namespace lintaro::testing
