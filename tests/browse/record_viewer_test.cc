// The record viewer over the results of whole test runs. The rows and marks
// of every kind of record, viewed in order, are the golden cases'
// (tests/golden, tests/golden/viewer); here the viewer's own state: records
// viewed out of order, unknown numbers, a damaged results file, and that
// viewing changes nothing.
#include "browse/record_viewer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "records/record_checkers.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class ViewerTest : public ::testing::Test {
 protected:
  RecordViewer& Open(const RunOutput& out) {
    viewer_.reset();
    db_ = ResultsDb::Open(out.db_path(), true);
    viewer_ = std::make_unique<RecordViewer>(*db_);
    return *viewer_;
  }
  // Shows the record; returns its number, identifier, marked rows, the
  // employer values it was judged with and its employer record.
  std::string View(int64_t rec_num) {
    EXPECT_EQ(viewer_->ViewFile(rec_num), ViewResult::kShown) << rec_num;
    std::string seen = std::to_string(rec_num) + " " + viewer_->record_id() + ": marked";
    for (int row : viewer_->MarkedRows()) seen += " " + std::to_string(row);
    const RunState& s = viewer_->state();
    auto employer = EmployerRecordOf(*db_, *db_->ReadRecord(rec_num));
    return seen + ", tax year " + std::to_string(s.TaxYear) + " '" + s.TaxYearText + "' code '" +
           s.EmploymentCode + "', employer " +
           (employer ? std::to_string(employer->rec_num) : "none") + "\n";
  }
  std::unique_ptr<ResultsDb> db_;
  std::unique_ptr<RecordViewer> viewer_;
};

// Three employers: military pay is allowed in 2000 but not in 2007, so the
// same employee is judged differently under each; the third's code is M.
std::vector<std::string> ThreeEmployers() {
  const std::string military = CleanRCW({{574, Cents(5)}, {585, Cents(6)}});
  return {CleanRCA(),
          CleanRCE(),
          military,
          CleanRCT(1),
          CleanRCE({{4, "2000"}, {17, "320000002"}, {223, "F"}}),
          military,
          CleanRCO({{13, Cents(1)}, {24, Cents(2)}}),
          CleanRCT(1),
          CleanRCU(1, {{11, Cents(1, 15)}, {26, Cents(2, 15)}}),
          CleanRCE({{4, "2000"}, {17, "330000003"}, {223, "M"}}),
          military,
          military,
          CleanRCT(2),
          FinalRecord(4)};
}

// Each record is judged under its own employer (an employer record belongs
// to the one before it): every record viewed, out of order, compared with
// record_viewer.employers. The file reads its employers and its count of RCW
// records from what the run wrote for readers (the index of the employer
// records, the count with the run's ending) or, as a file of an earlier
// version without them, from the records themselves, with the same rows.
// Viewing, and numbers not stored, change nothing in the results.
TEST_F(ViewerTest, EachRecordIsJudgedWithItsOwnEmployerInThisAndOlderFiles) {
  RunOutput out = RunRecords(ThreeEmployers());
  const std::string before = ReadWholeFile(out.db_path());
  Open(out);
  std::string trace;
  // The record viewed before never decides.
  for (int64_t n : {6, 3, 6, 4, 7, 1, 2, 5, 8, 9, 10, 11, 12, 13, 14, 3}) trace += View(n);
  // Numbers not stored keep the record shown.
  const std::vector<ViewerRow> rows = viewer_->rows();
  for (int64_t missing : {0, -1, 15, 1000000}) {
    EXPECT_EQ(viewer_->ViewFile(missing), ViewResult::kNotStored) << missing;
    EXPECT_EQ(viewer_->caption(), "Record Number 3 of 14 Tested Record(s) - submission.txt");
    EXPECT_EQ(viewer_->rows(), rows);
    EXPECT_EQ(viewer_->rec_num(), 3);
  }
  ExpectFileHolds(std::string(LINTARO_SOURCE_DIR) + "/tests/browse/record_viewer.employers", trace);
  RecordRow unstamped = *db_->ReadRecord(6);  // never stamped: the employer it follows
  unstamped.rce_indx = 0;
  EXPECT_EQ(EmployerRecordOf(*db_, unstamped)->rec_num, 5);
  const EmployerValues values = EmployerValuesOf(CleanRCE({{4, "20O7"}, {223, "M"}}));
  EXPECT_EQ(std::to_string(values.TaxYear) + values.TaxYearText + values.EmploymentCode, "020O7M");
  EXPECT_EQ(EmployerValuesOf("RCE").TaxYearText, "");
  // Every record in order: what it was judged with and its rows.
  auto view_all = [&] {
    std::pair<std::string, std::vector<std::vector<ViewerRow>>> shown;
    for (int64_t n = 1; n <= 14; ++n) {
      shown.first += View(n);
      shown.second.push_back(viewer_->rows());
    }
    return shown;
  };
  const auto written_now = view_all();
  // The final record states the four RCW records of the file: nothing marked.
  EXPECT_EQ(written_now.second.back().size(), 3u);
  viewer_.reset();
  db_.reset();
  EXPECT_TRUE(ReadWholeFile(out.db_path()) == before) << "viewing wrote to the results";
  {
    std::unique_ptr<ResultsDb> db = ResultsDb::Open(out.db_path(), false);
    ASSERT_EQ(sqlite3_exec(db->handle(),
                           "DROP INDEX EmployerRecords; ALTER TABLE RUN DROP COLUMN RCW_Count",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
  }
  Open(out);
  EXPECT_EQ(view_all(), written_now);

  // Another program drops the findings: the RCT cannot be judged, the
  // previous record stays and the viewer says why.
  View(3);
  ASSERT_EQ(sqlite3_exec(ResultsDb::Open(out.db_path(), false)->handle(), "DROP TABLE ERRORS",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(viewer_->ViewFile(4), ViewResult::kUnreadable);
  EXPECT_FALSE(viewer_->problem().empty());
  EXPECT_EQ(viewer_->rec_num(), 3);
  EXPECT_EQ(viewer_->rows().size(), 78u);
}

}  // namespace
}  // namespace lintaro
