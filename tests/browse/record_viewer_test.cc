// The record viewer over the results of whole test runs: rows, marks,
// caption, the employer values of the re-check, and that viewing changes
// nothing.
#include "browse/record_viewer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <set>
#include <span>
#include <sstream>

#include "checks/money_pairs.h"
#include "core/test_driver.h"
#include "records/employee_layouts.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/run_fixture.h"
#include "support/wage_records.h"
#include "totals/total_layouts.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::CleanRCA;
using testing::CleanRCE;
using testing::CleanRCO;
using testing::CleanRCT;
using testing::CleanRCU;
using testing::CleanRCW;
using testing::FinalRecord;
using testing::RunOutput;
using testing::RunRecords;

// Positions of the military pay pair, allowed only for 1995 to 2001.
constexpr int kMilitaryOrig = 574;
constexpr int kMilitaryCorrect = 585;
constexpr int kMilitaryCorrectRow = 50;

std::set<int> Marked(const RecordViewer& viewer) {
  std::vector<int> rows = viewer.MarkedRows();
  return {rows.begin(), rows.end()};
}

std::span<const FieldSpec> LayoutOf(std::string_view id) {
  if (id == "RCW") return kRCWFields;
  if (id == "RCO") return kRCOFields;
  if (id == "RCT") return kRCTFields;
  if (id == "RCU") return kRCUFields;
  return {};
}

// The field numbers the stored findings of record rec_num name: the field
// of the layout whose reference each finding carries. Findings that name no
// field of the layout are returned in `unmatched`.
std::set<int> FieldsOfFindings(const RunOutput& out, int64_t rec_num, std::string_view id,
                               std::vector<std::string>& unmatched) {
  std::set<int> fields;
  for (const ErrorRow& e : out.errors) {
    if (e.rec_num != rec_num) continue;
    bool found = false;
    for (const FieldSpec& f : LayoutOf(id)) {
      if (Reference(f) == e.reference) {
        fields.insert(f.number);
        found = true;
      }
    }
    if (!found) unmatched.push_back(e.reference);
  }
  return fields;
}

class ViewerTest : public ::testing::Test {
 protected:
  void Open(const RunOutput& out) {
    db_ = ResultsDb::Open(out.db_path(), true);
    viewer_ = std::make_unique<RecordViewer>(*db_);
  }
  RecordViewer& viewer() { return *viewer_; }

  std::unique_ptr<ResultsDb> db_;
  std::unique_ptr<RecordViewer> viewer_;
};

TEST_F(ViewerTest, WageRecordMarksExactlyTheFieldsOfItsFindings) {
  // A bad state code, the same amount twice, a Correct amount that is not
  // numeric and military pay in a year that allows none.
  const std::string faulty = CleanRCW({{188, "XX"},
                                       {244, Cents(1000)},
                                       {255, Cents(1000)},
                                       {266, Cents(100)},
                                       {277, "0000001000A"},
                                       {kMilitaryOrig, Cents(5)},
                                       {kMilitaryCorrect, Cents(6)}});
  RunOutput out = RunRecords({CleanRCA(), CleanRCE(), faulty, CleanRCT(1), FinalRecord(1)});
  std::vector<std::string> unmatched;
  const std::set<int> expected = FieldsOfFindings(out, 3, "RCW", unmatched);
  EXPECT_TRUE(unmatched.empty()) << unmatched.front();
  ASSERT_GE(expected.size(), 4u);
  EXPECT_TRUE(expected.count(12) && expected.count(20) && expected.count(22) &&
              expected.count(kMilitaryCorrectRow));

  Open(out);
  ASSERT_EQ(viewer().ViewFile(3), ViewResult::kShown);
  ASSERT_EQ(viewer().rows().size(), 78u);
  EXPECT_EQ(Marked(viewer()), expected);
  EXPECT_EQ(viewer().record_id(), "RCW");
  EXPECT_EQ(viewer().rows()[12].label, "State Abbreviation");
  EXPECT_EQ(viewer().rows()[12].value, "XX");
  EXPECT_EQ(viewer().rows()[22].value, "0000001000A");
  // A field reported twice is one marked row; a clean field is not marked.
  EXPECT_FALSE(viewer().rows()[2].marked);
}

TEST_F(ViewerTest, EveryEmployeeAndTotalRecordOfAFaultySubmissionMarksItsFindings) {
  std::ifstream in(std::string(LINTARO_SOURCE_DIR) + "/samples/mistakes.txt", std::ios::binary);
  ASSERT_TRUE(in) << "samples/mistakes.txt";
  std::vector<std::string> records;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) records.push_back(line);
  }
  RunOutput out = RunRecords(records);
  ASSERT_GT(out.errors.size(), 5u);
  Open(out);
  int compared = 0;
  for (const RecordRow& r : out.records) {
    const std::string id = r.record.substr(0, 3);
    if (LayoutOf(id).empty()) continue;
    std::vector<std::string> unmatched;
    const std::set<int> expected = FieldsOfFindings(out, r.rec_num, id, unmatched);
    EXPECT_TRUE(unmatched.empty()) << "record " << r.rec_num << ": " << unmatched.front();
    ASSERT_EQ(viewer().ViewFile(r.rec_num), ViewResult::kShown);
    EXPECT_EQ(viewer().rows().size(), LayoutOf(id).size());
    EXPECT_EQ(Marked(viewer()), expected) << "record " << r.rec_num << " (" << id << ")";
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

TEST_F(ViewerTest, CriticalRecordsAreShownWithoutTheirChecks) {
  // An RCT straight after the employer: a sequence error.
  RunOutput seq = RunRecords({CleanRCA(), CleanRCE(), CleanRCT(0, {{11, "ABC"}}), FinalRecord(0)});
  ASSERT_EQ(seq.errors.size(), 1u);
  ASSERT_EQ(seq.errors[0].reference, kSequenceReference);
  Open(seq);
  ASSERT_EQ(viewer().ViewFile(3), ViewResult::kShown);
  EXPECT_EQ(viewer().rows().size(), 54u);
  EXPECT_EQ(Marked(viewer()), (std::set<int>{0}));
  EXPECT_EQ(viewer().rows()[0].value, "RCT");

  // A short last record: the run stops on its length; nothing is marked.
  std::string shortened = CleanRCW({{188, "XX"}}).substr(0, 600);
  RunOutput length = RunRecords({CleanRCA(), CleanRCE(), shortened});
  ASSERT_FALSE(length.errors.empty());
  ASSERT_EQ(length.errors.back().reference, "Record Length");
  ASSERT_EQ(length.errors.back().rec_num, 3);
  Open(length);
  ASSERT_EQ(viewer().ViewFile(3), ViewResult::kShown);
  EXPECT_EQ(viewer().rows().size(), 78u);
  EXPECT_TRUE(Marked(viewer()).empty());
  EXPECT_EQ(viewer().rows()[12].value, "XX");
}

TEST_F(ViewerTest, RecordsWithoutFieldChecksShowOneRow) {
  RunOutput out = RunRecords({CleanRCA(), CleanRCE(), CleanRCW(std::map<int, std::string>{}), testing::MakeRecord("RCS"), CleanRCT(1),
                              testing::MakeRecord("RCX")});
  Open(out);
  ASSERT_EQ(viewer().ViewFile(4), ViewResult::kShown);
  ASSERT_EQ(viewer().rows().size(), 1u);
  EXPECT_EQ(viewer().rows()[0], (ViewerRow{"Record Identifier", "RCS", false}));
  // An identifier outside the nine stopped the run; its only row is marked.
  ASSERT_EQ(viewer().ViewFile(6), ViewResult::kShown);
  ASSERT_EQ(viewer().rows().size(), 1u);
  EXPECT_EQ(viewer().rows()[0], (ViewerRow{"Record Identifier", "RCX", true}));
}

TEST_F(ViewerTest, CaptionNamesTheFileWithoutItsFolderAndUnknownNumbersKeepTheView) {
  RunOutput out = RunRecords(testing::CleanSubmission(2));
  Open(out);
  ASSERT_EQ(viewer().ViewFile(3), ViewResult::kShown);
  EXPECT_EQ(viewer().caption(), "Record Number 3 of 6 Tested Record(s) - submission.txt");
  const std::vector<ViewerRow> rows = viewer().rows();
  for (int64_t missing : {0, -1, 7, 1000000}) {
    EXPECT_EQ(viewer().ViewFile(missing), ViewResult::kNotStored) << missing;
    EXPECT_EQ(viewer().caption(), "Record Number 3 of 6 Tested Record(s) - submission.txt");
    EXPECT_EQ(viewer().rows(), rows);
    EXPECT_EQ(viewer().rec_num(), 3);
  }
  EXPECT_EQ(ViewerCaption(12, 40, "/home/ann/payroll 2007/w2c.txt"),
            "Record Number 12 of 40 Tested Record(s) - w2c.txt");
}

// Two employers with different tax years: military pay is allowed in 2000
// but not in 2007, so the same employee is judged differently in each.
std::vector<std::string> TwoEmployers() {
  const std::string military = CleanRCW({{kMilitaryOrig, Cents(5)}, {kMilitaryCorrect, Cents(6)}});
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

TEST_F(ViewerTest, EmployeeIsJudgedWithItsOwnEmployersTaxYear) {
  RunOutput out = RunRecords(TwoEmployers());
  std::vector<std::string> unmatched;
  ASSERT_EQ(FieldsOfFindings(out, 3, "RCW", unmatched), (std::set<int>{49, 50}));
  ASSERT_TRUE(FieldsOfFindings(out, 6, "RCW", unmatched).empty());
  Open(out);
  // In either order: the record viewed before never decides.
  for (int64_t n : {6, 3, 6}) {
    ASSERT_EQ(viewer().ViewFile(n), ViewResult::kShown);
    EXPECT_EQ(Marked(viewer()), FieldsOfFindings(out, n, "RCW", unmatched)) << n;
  }
  EXPECT_EQ(viewer().state().TaxYear, 2000);
  EXPECT_EQ(viewer().state().TaxYearText, "2000");
  EXPECT_EQ(viewer().state().EmploymentCode, "F");
  ASSERT_EQ(viewer().ViewFile(4), ViewResult::kShown);  // the first employer's total
  EXPECT_EQ(viewer().state().TaxYear, 2007);
  EXPECT_EQ(viewer().state().EmploymentCode, "R");
  ASSERT_EQ(viewer().ViewFile(7), ViewResult::kShown);  // the RCO of the second employer
  EXPECT_EQ(viewer().state().TaxYear, 2000);
  EXPECT_EQ(viewer().state().EmploymentCode, "F");
}

TEST_F(ViewerTest, AFailingDatabaseKeepsThePreviousRecordAndSaysWhy) {
  RunOutput out = RunRecords(TwoEmployers());
  Open(out);
  ASSERT_EQ(viewer().ViewFile(3), ViewResult::kShown);
  const std::string caption = viewer().caption();
  // Another program removes the employers' running totals meanwhile.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(out.db_path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "DROP TABLE TRCT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);

  EXPECT_EQ(viewer().ViewFile(4), ViewResult::kUnreadable);  // the RCT reads them
  EXPECT_FALSE(viewer().problem().empty());
  EXPECT_EQ(viewer().rec_num(), 3);
  EXPECT_EQ(viewer().caption(), caption);
  EXPECT_EQ(viewer().rows().size(), 78u);
}

TEST(EmployerRecordOf, FollowsTheEmployerRowOrTheNearestEmployerBefore) {
  RunOutput out = RunRecords(TwoEmployers());
  auto db = ResultsDb::Open(out.db_path(), true);
  auto employer_of = [&](int64_t n) -> int64_t {
    auto employer = EmployerRecordOf(*db, *db->ReadRecord(n));
    return employer ? employer->rec_num : 0;
  };
  EXPECT_EQ(employer_of(3), 2);
  EXPECT_EQ(employer_of(4), 2);
  EXPECT_EQ(employer_of(6), 5);
  EXPECT_EQ(employer_of(7), 5);
  EXPECT_EQ(employer_of(8), 5);
  EXPECT_EQ(employer_of(1), 0);  // the submitter comes before every employer

  // A wage record never stamped with an employer row (RCE_Indx 0) still
  // finds the employer it follows.
  RecordRow unstamped = *db->ReadRecord(6);
  unstamped.rce_indx = 0;
  EXPECT_EQ(EmployerRecordOf(*db, unstamped)->rec_num, 5);

  const EmployerValues values = EmployerValuesOf(CleanRCE({{4, "20O7"}, {223, "M"}}));
  EXPECT_EQ(values.TaxYear, 0);
  EXPECT_EQ(values.TaxYearText, "20O7");
  EXPECT_EQ(values.EmploymentCode, "M");
  EXPECT_EQ(EmployerValuesOf("RCE").TaxYearText, "");
}

TEST_F(ViewerTest, ViewingMarksEveryAllZeroAmountAndChangesNoResult) {
  // Twelve employees with an all-zero Correct amount: the run stores ten
  // findings, the viewer marks the amount of every one of them.
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  for (int i = 1; i <= 12; ++i)
    records.push_back(CleanRCW({{13, std::to_string(200000000 + i)},
                                {244, Cents(100)},
                                {255, Cents(0)}}));
  // One employee with twelve all-zero Correct amounts of its own.
  std::map<int, std::string> zeros = {{13, "200000099"}};
  for (int pair : {1, 2, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18}) {
    const FieldSpec& orig = kRCWFields[static_cast<size_t>(kRCWMoneyPairs[pair - 1].orig_row)];
    const FieldSpec& correct =
        kRCWFields[static_cast<size_t>(kRCWMoneyPairs[pair - 1].correct_row)];
    zeros[orig.start] = Cents(100);
    zeros[correct.start] = Cents(0);
  }
  records.push_back(CleanRCW(zeros));
  records.push_back(CleanRCT(13));
  records.push_back(FinalRecord(13));
  RunOutput out = RunRecords(records);
  size_t zero_findings = 0;
  for (const ErrorRow& e : out.errors) zero_findings += e.error == kMoneyAllZerosMessage;
  ASSERT_EQ(zero_findings, 10u);
  EXPECT_EQ(out.state.zero_amount_count, 24);

  std::ifstream before_file(out.db_path(), std::ios::binary);
  std::stringstream before;
  before << before_file.rdbuf();

  Open(out);
  for (int64_t n = 3; n <= 14; ++n) {
    ASSERT_EQ(viewer().ViewFile(n), ViewResult::kShown);
    EXPECT_EQ(Marked(viewer()), (std::set<int>{20})) << n;
    EXPECT_EQ(viewer().state().zero_amount_count, 0);
  }
  ASSERT_EQ(viewer().ViewFile(15), ViewResult::kShown);
  EXPECT_EQ(viewer().MarkedRows().size(), 12u);

  // The run's counter is not raised by a re-check that uses the run state.
  testing::ViewFixture v;
  v.state.zero_amount_count = 11;
  FillFields(records[14], 15, v.ctx);
  EXPECT_EQ(v.rows.Marked().size(), 12u);
  EXPECT_EQ(v.state.zero_amount_count, 11);

  // Nothing was written to the results.
  db_.reset();
  viewer_.reset();
  std::ifstream after_file(out.db_path(), std::ios::binary);
  std::stringstream after;
  after << after_file.rdbuf();
  EXPECT_TRUE(before.str() == after.str());
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
  ASSERT_EQ(rows.rows().size(), 1u);
  EXPECT_EQ(rows.rows()[0].value, "RCW");
  rows.Build(0);
  EXPECT_EQ(rows.rows().size(), 1u);
  EXPECT_EQ(rows.rows()[0].value, "");
}

}  // namespace
}  // namespace lintaro
