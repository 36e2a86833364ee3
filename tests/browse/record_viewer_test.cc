// The record viewer over the results of whole test runs. The rows and marks
// of every kind of record are the golden cases' (tests/golden); here the
// viewer's own state: records viewed out of order, unknown numbers, a
// damaged results file, and that viewing changes nothing.
#include "browse/record_viewer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>

#include "records/record_checkers.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
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
  std::set<int> View(int64_t rec_num) {
    EXPECT_EQ(viewer_->ViewFile(rec_num), ViewResult::kShown) << rec_num;
    std::vector<int> rows = viewer_->MarkedRows();
    return {rows.begin(), rows.end()};
  }
  std::unique_ptr<ResultsDb> db_;
  std::unique_ptr<RecordViewer> viewer_;
};

TEST_F(ViewerTest, CaptionNamesTheFileAndUnknownNumbersKeepTheView) {
  RecordViewer& viewer = Open(RunRecords(CleanSubmission(2)));
  View(3);
  const std::string caption = "Record Number 3 of 6 Tested Record(s) - submission.txt";
  EXPECT_EQ(viewer.caption(), caption);
  const std::vector<ViewerRow> rows = viewer.rows();
  for (int64_t missing : {0, -1, 7, 1000000}) {
    EXPECT_EQ(viewer.ViewFile(missing), ViewResult::kNotStored) << missing;
    EXPECT_EQ(viewer.caption(), caption);
    EXPECT_EQ(viewer.rows(), rows);
    EXPECT_EQ(viewer.rec_num(), 3);
  }
  EXPECT_EQ(ViewerCaption(12, 40, "/home/ann/payroll 2007/corrections.txt"),
            "Record Number 12 of 40 Tested Record(s) - corrections.txt");
}

// Two employers: military pay is allowed in 2000 but not in 2007, so the
// same employee is judged differently under each.
std::vector<std::string> TwoEmployers() {
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
          FinalRecord(2)};
}

TEST_F(ViewerTest, EachRecordIsJudgedWithItsOwnEmployersTaxYear) {
  RunOutput out = RunRecords(TwoEmployers());
  RecordViewer& viewer = Open(out);
  for (int64_t n : {6, 3, 6})  // the record viewed before never decides
    EXPECT_EQ(View(n), (n == 3 ? std::set<int>{49, 50} : std::set<int>{})) << n;
  EXPECT_EQ(viewer.state().TaxYear, 2000);
  EXPECT_EQ(viewer.state().TaxYearText, "2000");
  EXPECT_EQ(viewer.state().EmploymentCode, "F");
  View(4);  // the first employer's total
  EXPECT_EQ(viewer.state().TaxYear, 2007);
  EXPECT_EQ(viewer.state().EmploymentCode, "R");
  View(7);  // the RCO of the second employer
  EXPECT_EQ(viewer.state().TaxYear, 2000);

  auto employer_of = [&](int64_t n) -> int64_t {
    auto employer = EmployerRecordOf(*db_, *db_->ReadRecord(n));
    return employer ? employer->rec_num : 0;
  };
  EXPECT_EQ((std::vector<int64_t>{employer_of(1), employer_of(3), employer_of(4), employer_of(6),
                                  employer_of(8)}),
            (std::vector<int64_t>{0, 2, 2, 5, 5}));
  RecordRow unstamped = *db_->ReadRecord(6);  // never stamped: the employer it follows
  unstamped.rce_indx = 0;
  EXPECT_EQ(EmployerRecordOf(*db_, unstamped)->rec_num, 5);
  const EmployerValues values = EmployerValuesOf(CleanRCE({{4, "20O7"}, {223, "M"}}));
  EXPECT_EQ(values.TaxYear, 0);
  EXPECT_EQ(values.TaxYearText, "20O7");
  EXPECT_EQ(values.EmploymentCode, "M");
  EXPECT_EQ(EmployerValuesOf("RCE").TaxYearText, "");

  // Another program drops the running totals: the RCT cannot be read, the
  // previous record stays and the viewer says why.
  View(3);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(out.db_path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "DROP TABLE TRCT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);
  EXPECT_EQ(viewer.ViewFile(4), ViewResult::kUnreadable);
  EXPECT_FALSE(viewer.problem().empty());
  EXPECT_EQ(viewer.rec_num(), 3);
  EXPECT_EQ(viewer.rows().size(), 78u);
}

TEST_F(ViewerTest, ViewingChangesNoResult) {
  RunOutput out = RunRecords(TwoEmployers());
  const std::string before = ReadWholeFile(out.db_path());
  Open(out);
  for (int64_t n = 1; n <= static_cast<int64_t>(out.records.size()); ++n) View(n);
  viewer_.reset();
  db_.reset();
  EXPECT_TRUE(ReadWholeFile(out.db_path()) == before) << "viewing wrote to the results";
}

// The PIN row of a submitter record is marked exactly when the run found
// its PIN invalid: a valid PIN is stored masked and shown unmarked whichever
// file held the record and whatever submitter records came after it.
TEST_F(ViewerTest, PinMarkFollowsTheRunsFindingOnThatSubmitterRecord) {
  constexpr int kPinRow = 2;
  const std::string bad_pin = "Personal Identification Number [Position 13 - 20]";
  // A submission in two files: the second holds no submitter record.
  RunOutput split = RunFiles({{CleanRCA(), CleanRCE(), CleanRCW()}, {CleanRCT(1), FinalRecord(1)}});
  ASSERT_TRUE(split.errors.empty());
  ASSERT_EQ(split.files.size(), 2u);
  Open(split);
  EXPECT_EQ(View(1), std::set<int>{});
  EXPECT_EQ(viewer_->rows()[kPinRow].value, "********");

  // A second submitter record whose PIN fails is the last one tested; the
  // first keeps its unmarked masked PIN, the second and a literal run of
  // asterisks (invalid, stored as found) are marked.
  const std::vector<std::string> two_submitters = {CleanRCA(),  CleanRCE(),
                                                   CleanRCW(),  MakeRecord("RCS"),
                                                   CleanRCT(1), CleanRCA({{13, "AB 2-D34"}}),
                                                   CleanRCE(),  CleanRCW(),
                                                   CleanRCT(1), FinalRecord(2)};
  RunOutput out = RunRecords(two_submitters);
  ASSERT_EQ(ErrorsOf(out.errors, 1).size(), 0u);
  ASSERT_EQ(ErrorsOf(out.errors, 6).size(), 1u);
  ASSERT_EQ(ErrorsOf(out.errors, 6)[0].reference, bad_pin);
  Open(out);
  EXPECT_EQ(View(1), std::set<int>{});
  EXPECT_EQ(View(6), std::set<int>{kPinRow});
  RunOutput stars = RunRecords(
      {CleanRCA({{13, "********"}}), CleanRCE(), CleanRCW(), CleanRCT(1), FinalRecord(1)});
  ASSERT_EQ(ErrorsOf(stars.errors, 1).size(), 1u);
  Open(stars);
  EXPECT_EQ(View(1), std::set<int>{kPinRow});
}

// An employer record whose identifier was found in lower case is still the
// employer of the records after it: they are judged with its tax year and
// employment code, and their stored findings are marked.
TEST_F(ViewerTest, LowerCaseEmployerIdentifierIsFoundForItsRecords) {
  // Military amounts pass under the first employer (2000) and are findings
  // under the second (2007), whose identifier is "rce". The sequence rules
  // let it follow a total record of a block with a state record.
  const std::string military = CleanRCW({{574, Cents(5)}, {585, Cents(6)}});
  std::string lower = CleanRCE();
  lower.replace(0, 3, "rce");
  RunOutput out =
      RunRecords({CleanRCA(), CleanRCE({{4, "2000"}, {17, "320000002"}, {223, "F"}}), military,
                  MakeRecord("RCS"), CleanRCT(1), lower, military, CleanRCT(1), FinalRecord(2)});
  ASSERT_EQ(out.records[5].id, "rce");
  ASSERT_TRUE(ErrorsOf(out.errors, 3).empty());
  ASSERT_EQ(ErrorsOf(out.errors, 7).size(), 2u);  // the two military amounts, fields 49 and 50
  RecordViewer& viewer = Open(out);
  const std::set<int> military_fields = {49, 50};
  for (int64_t n : {7, 3, 7}) EXPECT_EQ(View(n), n == 7 ? military_fields : std::set<int>{}) << n;
  EXPECT_EQ(viewer.state().EmploymentCode, "R");
  EXPECT_EQ(viewer.state().TaxYear, 2007);
  // The employee and total records after it, by RCE_Indx or by place.
  for (int64_t n : {7, 8}) EXPECT_EQ(EmployerRecordOf(*db_, *db_->ReadRecord(n))->rec_num, 6);
}

TEST(ViewerRowList, BuildKeepsRowZeroAndUnloadRemovesTheRest) {
  ViewerRowList rows;
  ASSERT_EQ(rows.rows().size(), 1u);
  rows.Build(3);
  rows.SetRow(2, "Name", "Value");
  rows.SetRow(3, "Beyond", "ignored");
  rows.Mark(2);
  rows.Mark(7);
  EXPECT_EQ(rows.rows().size(), 3u);
  EXPECT_EQ(rows.MarkedRows(), std::vector<int>{2});
  rows.Unmark(2);
  EXPECT_TRUE(rows.MarkedRows().empty());
  rows.SetRow(0, "Record Identifier", "RCW");
  rows.UnloadLabels();
  EXPECT_EQ(rows.rows(), (std::vector<ViewerRow>{{"Record Identifier", "RCW", false}}));
  rows.Build(0);
  EXPECT_EQ(rows.rows(), (std::vector<ViewerRow>{{"", "", false}}));
}

}  // namespace
}  // namespace lintaro
