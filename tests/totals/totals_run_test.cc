// Whole submissions through the test run: employee amounts summed per
// employer and compared with the employer's total records, read back from
// the results database.
#include <gtest/gtest.h>

#include "checks/money_pairs.h"
#include "core/test_driver.h"
#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/clean_records.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

std::string Ssn(int n) { return std::to_string(200000000 + n); }

// An employee with wages (pair 1).
std::string Wage(int n, int64_t orig, int64_t correct) {
  return CleanRCW({{13, Ssn(n)}, {244, Cents(orig)}, {255, Cents(correct)}});
}

// Re-checks stored record rec_num in the viewer, against the stored results.
std::set<int> ViewerMarks(const RunOutput& out, int64_t rec_num) {
  auto db = ResultsDb::Open(out.db_path(), true);
  StoredResults stored(*db);
  ViewFixture v;
  CheckContext ctx{v.state, v.recorder, stored, nullptr, &v.rows, v.yielder};
  auto record = db->ReadRecord(rec_num);
  EXPECT_TRUE(record);
  FillFields(record->record, static_cast<int32_t>(rec_num), ctx);
  return v.rows.Marked();
}

TEST(TotalsRun, WorkedExampleOfAWrongTotal) {
  RunOutput out = RunRecords({CleanRCA(), CleanRCE(), CleanRCW({{255, Cents(100000)}}),
                              CleanRCW({{13, Ssn(2)}, {255, Cents(50000)}}),
                              CleanRCW({{13, Ssn(3)}}), CleanRCT(3, {{26, Cents(140000, 15)}}),
                              FinalRecord(3)});
  const std::vector<Finding> expected = {
      {"Total Correct Wages, Tips and Other Compensation [Position 26 - 40]",
       "[000000000140000]",
       "The sum of the RCW Correct Wages, Tips and Other Compensation amounts does not equal the "
       "amount in the Total Correct Wages, Tips and Other Compensation field of the RCT record. "
       "The calculated sum of the RCW amounts for the Correct Wages, Tips and Other Compensation "
       "of the RCT record is 150000. The reported sum of the RCW amounts for the Correct Wages, "
       "Tips and Other Compensation of the RCT record is 140000."}};
  EXPECT_EQ(FindingsOf(out.errors, 6), expected);
  EXPECT_EQ(out.errors.size(), 1u);
  EXPECT_EQ(out.summary.outcome, RunOutcome::kFindings);
  // The employee and total records carry their employer.
  EXPECT_EQ(out.records[2].rec_reference, "200000001");
  EXPECT_EQ(out.records[2].rce_indx, out.trct[0].indx);
  EXPECT_EQ(out.records[5].rec_reference, "310000001");
  EXPECT_EQ(out.records[5].rce_indx, out.trct[0].indx);
}

TEST(TotalsRun, EmployeeWithACriticalErrorIsLeftOutOfTheTotalsButCountedByTheFinalRecord) {
  // After an RCT without optional records only RCE or RCF may follow: the
  // second block's RCW is a sequence error, stored but not checked.
  RunOutput out = RunRecords({CleanRCA(), CleanRCE(), Wage(1, 1000, 2000),
                              CleanRCT(1, {{11, Cents(1000, 15)}, {26, Cents(2000, 15)}}),
                              Wage(2, 5000, 6000), FinalRecord(2)});
  EXPECT_EQ(out.summary.outcome, RunOutcome::kCriticalStop);
  ASSERT_EQ(out.errors.size(), 1u);
  EXPECT_EQ(out.errors[0].type, "C");
  EXPECT_EQ(out.errors[0].rec_num, 5);
  ASSERT_EQ(out.trct.size(), 1u);
  EXPECT_EQ(out.trct[0].count, 1);
  EXPECT_EQ(out.trct[0].pair(1).correct, 2000);
  EXPECT_EQ(out.trct[0].pair(1).orig, 1000);
  EXPECT_EQ(out.records[4].rce_indx, 0);  // never stamped

  // The final record's count reads the stored records: both RCWs count.
  auto db = ResultsDb::Open(out.db_path(), true);
  StoredResults stored(*db);
  ViewFixture v;
  CheckContext ctx{v.state, v.recorder, stored, nullptr, &v.rows, v.yielder};
  v.rows.Build(3);
  CheckCodeRCF(FinalRecord(2), ctx);
  EXPECT_TRUE(v.rows.Marked().empty());
  CheckCodeRCF(FinalRecord(1), ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1}));
}

TEST(TotalsRun, ViewerReChecksAStoredTotalAgainstItsOwnEmployer) {
  RunOutput out = RunRecords(
      {CleanRCA(), CleanRCE(), Wage(1, 1000, 2000),
       CleanRCT(1, {{11, Cents(1000, 15)}, {26, Cents(1999, 15)}}), CleanRCE({{17, "320000002"}}),
       Wage(2, 5, 6), CleanRCT(1, {{11, Cents(5, 15)}, {26, Cents(6, 15)}}), FinalRecord(2)});
  ASSERT_EQ(out.errors.size(), 1u);
  EXPECT_EQ(out.errors[0].rec_num, 4);
  // Viewed after the run, each RCT is compared with its own employer's rows.
  EXPECT_EQ(ViewerMarks(out, 4), (std::set<int>{3}));
  EXPECT_TRUE(ViewerMarks(out, 7).empty());
}

TEST(TotalsRun, ZeroAmountsAreReportedTenTimesAndTheAlertNamesTheTotal) {
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  for (int i = 1; i <= 12; ++i) records.push_back(Wage(i, 100, 0));
  records.push_back(CleanRCT(12, {{11, Cents(1200, 15)}, {26, Cents(0, 15)}}));
  records.push_back(FinalRecord(12));
  RunOutput out = RunRecords(records);
  ASSERT_EQ(out.errors.size(), 10u);
  for (size_t i = 0; i < out.errors.size(); ++i) {
    EXPECT_EQ(out.errors[i].rec_num, static_cast<int64_t>(i) + 3);
    EXPECT_EQ(out.errors[i].reference,
              "Correct Wages, Tips and Other Compensation [Position 255 - 265]");
    EXPECT_EQ(out.errors[i].error, kMoneyAllZerosMessage);
  }
  ASSERT_EQ(out.messages.size(), 1u);
  EXPECT_EQ(out.messages[0].title, "Alert");
  EXPECT_EQ(out.messages[0].text,
            "12 instance(s) found where the corrected money field(s) is/are zero. This will zero "
            "out the corresponding originally reported money field(s). Please make sure this is "
            "correct. This program only captures up to the first 10 occurrences of this error.");
}

}  // namespace
}  // namespace lintaro
