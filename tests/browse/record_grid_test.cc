// The record grids' rows read on demand: which record each row shows, the
// way back from a record number to its row, and that a failing database is
// not read again at every draw.
#include "browse/record_grid.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>

#include "store/results_db.h"
#include "support/results_fixture.h"

namespace lintaro {
namespace {

using testing::MakeRecord;

class RecordGridTest : public ::testing::Test {
 protected:
  // Records 1 .. count; those in with_errors get one finding each.
  void Write(int64_t count, const std::set<int64_t>& with_errors) {
    results_.db().Begin();
    results_.File("/data/corrections.txt");
    for (int64_t n = 1; n <= count; ++n) {
      results_.Record(n, "RCW", "", MakeRecord("RCW", {{4, std::to_string(n)}}));
      if (with_errors.count(n))
        results_.Error(n, "Wages [Position 100 - 110]", "", "Money fields must be numeric.");
    }
    results_.db().Commit();
    db_ = ResultsDb::Open(results_.path(), true);
  }
  // Another connection changes the database.
  void Change(const char* sql) {
    ASSERT_EQ(sqlite3_exec(results_.db().handle(), sql, nullptr, nullptr, nullptr), SQLITE_OK);
  }

  testing::ResultsFixture results_;
  std::unique_ptr<ResultsDb> db_;
};

TEST_F(RecordGridTest, RowsOfTestedRecordsOfRecordsWithErrorsAndOfAFailingDatabase) {
  Write(3000, {2999, 7, 3, 1500, 1501});
  RecordGridRows tested(*db_, RecordGridRows::Kind::kTested);
  EXPECT_EQ(tested.size(), 3000);
  for (auto [row, rec] :
       std::vector<std::pair<int64_t, int64_t>>{{0, 1}, {6, 7}, {2999, 3000}, {3000, 0}, {-1, 0}})
    EXPECT_EQ(tested.RecNumOf(row), rec) << row;
  for (auto [rec, row] : std::vector<std::pair<int64_t, std::optional<int64_t>>>{
           {1, 0}, {640, 639}, {3000, 2999}, {0, std::nullopt}, {3001, std::nullopt}})
    EXPECT_EQ(tested.RowOf(rec), row) << rec;
  EXPECT_EQ(tested.At(6), (GridRecord{7, 1, MakeRecord("RCW", {{4, "7"}})}));
  EXPECT_EQ(tested.At(2999).rec_num, 3000);
  EXPECT_EQ(tested.At(3000), GridRecord{});

  RecordGridRows errors(*db_, RecordGridRows::Kind::kWithErrors);
  ASSERT_EQ(errors.size(), 5);
  std::vector<int64_t> shown;
  for (int64_t row = 0; row < errors.size(); ++row) {
    const GridRecord& r = errors.At(row);
    EXPECT_EQ(r.rec_num, errors.RecNumOf(row));
    EXPECT_EQ(r, (GridRecord{r.rec_num, 1, MakeRecord("RCW", {{4, std::to_string(r.rec_num)}})}));
    shown.push_back(r.rec_num);
  }
  EXPECT_EQ(shown, (std::vector<int64_t>{3, 7, 1500, 1501, 2999}));
  EXPECT_EQ(errors.RowOf(1501), 3);
  EXPECT_EQ(errors.RowOf(1502), std::nullopt);  // tested, but without errors
  EXPECT_EQ(errors.RowOf(4000), std::nullopt);

  // A record gone from the results gives an empty row.
  Change("DELETE FROM RECORDS WHERE Rec_Num = 5");
  RecordGridRows rows(*db_, RecordGridRows::Kind::kTested);
  EXPECT_EQ(rows.At(3).rec_num, 4);
  EXPECT_EQ(rows.At(4), GridRecord{});
  EXPECT_EQ(rows.At(5).rec_num, 6);
  EXPECT_TRUE(rows.problem().empty());

  // Another program removes the records: rows not yet read stay empty and
  // the grid says why, without reading again at every draw.
  Change("DROP TABLE RECORDS");
  EXPECT_EQ(rows.At(200), GridRecord{});
  EXPECT_FALSE(rows.problem().empty());
  const int64_t read = rows.windows_read();
  EXPECT_EQ(rows.At(201), GridRecord{});
  EXPECT_EQ(rows.windows_read(), read);
}

}  // namespace
}  // namespace lintaro
