// The record grids' rows read on demand: which record each row shows, the
// way back from a record number to its row, and that only a few windows of
// rows are held however far the grid is scrolled.
#include "browse/record_grid.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>

#include "store/results_db.h"
#include "support/results_fixture.h"

namespace lintaro {
namespace {

using testing::MakeRecord;
using testing::TempDir;

class RecordGridTest : public ::testing::Test {
 protected:
  // Records 1 .. count; those in with_errors get one finding each.
  void Write(int64_t count, const std::set<int64_t>& with_errors) {
    testing::ResultsFixture results(dir_.path());
    results.db().Begin();
    results.File("/data/corrections.txt");
    for (int64_t n = 1; n <= count; ++n) {
      const int errors = with_errors.count(n) ? 1 : 0;
      results.Record(n, "RCW", "", errors, MakeRecord("RCW", {{4, std::to_string(n)}}));
      if (errors)
        results.Error(n, "Wages [Position 100 - 110]", "", "Money fields must be numeric.");
    }
    results.db().Commit();
    db_ = ResultsDb::Open(path(), true);
  }
  std::string path() const { return (dir_.path() / kResultsFileName).string(); }

  TempDir dir_;
  std::unique_ptr<ResultsDb> db_;
};

TEST_F(RecordGridTest, TestedRecordsRowIsTheRecordNumberLessOne) {
  Write(1000, {7, 640});
  RecordGridRows rows(*db_, RecordGridRows::Kind::kTested);
  EXPECT_EQ(rows.size(), 1000);
  for (auto [row, rec] :
       std::vector<std::pair<int64_t, int64_t>>{{0, 1}, {6, 7}, {999, 1000}, {1000, 0}, {-1, 0}})
    EXPECT_EQ(rows.RecNumOf(row), rec) << row;
  for (auto [rec, row] : std::vector<std::pair<int64_t, std::optional<int64_t>>>{
           {1, 0}, {640, 639}, {1000, 999}, {0, std::nullopt}, {1001, std::nullopt}})
    EXPECT_EQ(rows.RowOf(rec), row) << rec;

  const GridRecord& seventh = rows.At(6);
  EXPECT_EQ(seventh.rec_num, 7);
  EXPECT_EQ(seventh.errors, 1);
  EXPECT_EQ(seventh.record, MakeRecord("RCW", {{4, "7"}}));
  EXPECT_EQ(rows.At(999).rec_num, 1000);
  EXPECT_EQ(rows.At(1000), GridRecord{});
}

TEST_F(RecordGridTest, RecordsWithErrorsAreTheNumbersOfTheFindingsInOrder) {
  Write(3000, {2999, 3, 1500, 1501});
  RecordGridRows rows(*db_, RecordGridRows::Kind::kWithErrors);
  ASSERT_EQ(rows.size(), 4);
  std::vector<int64_t> shown;
  for (int64_t row = 0; row < rows.size(); ++row) {
    const GridRecord& r = rows.At(row);
    EXPECT_EQ(r.rec_num, rows.RecNumOf(row));
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.record, MakeRecord("RCW", {{4, std::to_string(r.rec_num)}}));
    shown.push_back(r.rec_num);
  }
  EXPECT_EQ(shown, (std::vector<int64_t>{3, 1500, 1501, 2999}));
  EXPECT_EQ(rows.RowOf(1501), 2);
  EXPECT_EQ(rows.RowOf(1502), std::nullopt);  // tested, but without errors
  EXPECT_EQ(rows.RowOf(4000), std::nullopt);
  EXPECT_EQ(RecordGridRows(*db_, RecordGridRows::Kind::kTested).size(), 3000);
}

TEST_F(RecordGridTest, MissingRecordsAndAFailingDatabaseGiveEmptyRows) {
  Write(300, {});
  {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(other, "DELETE FROM RECORDS WHERE Rec_Num = 5", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(other);
  }
  RecordGridRows rows(*db_, RecordGridRows::Kind::kTested);
  EXPECT_EQ(rows.At(3).rec_num, 4);
  EXPECT_EQ(rows.At(4), GridRecord{});
  EXPECT_EQ(rows.At(5).rec_num, 6);
  EXPECT_TRUE(rows.problem().empty());

  // Another program removes the records: rows not yet read stay empty and
  // the grid says why, without reading again at every draw.
  {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "DROP TABLE RECORDS", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
  }
  EXPECT_EQ(rows.At(200), GridRecord{});
  EXPECT_FALSE(rows.problem().empty());
  const int64_t read = rows.windows_read();
  EXPECT_EQ(rows.At(201), GridRecord{});
  EXPECT_EQ(rows.windows_read(), read);
}

}  // namespace
}  // namespace lintaro
