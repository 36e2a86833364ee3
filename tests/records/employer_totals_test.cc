// Whole runs through the employee records' money pairs: the running totals
// of every employer and the cap on all-zero Correct amounts. They need the
// employee record checker; while it is not there they are skipped.
#include <gtest/gtest.h>

#include "checks/money_pairs.h"
#include "support/run_fixture.h"
#include "support/sample_records.h"

namespace lintaro {
namespace {

using testing::CleanRCA;
using testing::CleanRCE;
using testing::FinalRecord;
using testing::MakeRecord;
using testing::RunOutput;
using testing::RunRecords;

// An employee record with its wages pair (pair 1) at 244 and 255.
std::string Employee(const std::string& ssn, const std::string& orig, const std::string& correct) {
  return MakeRecord("RCW", {{13, ssn}, {244, orig}, {255, correct}});
}

bool EmployeeCheckerPresent(const RunOutput& out) {
  return !out.trct.empty() && out.trct[0].count > 0;
}

TEST(EmployerTotals, EachEmployerSumsItsOwnEmployees) {
  RunOutput out = RunRecords(
      {CleanRCA(), CleanRCE(), Employee("223456789", "00000010000", "00000015000"),
       Employee("223456790", "           ", "00000002500"), MakeRecord("RCT"),
       CleanRCE({{17, "320000002"}}), Employee("223456791", "00000000700", "00000000900"),
       MakeRecord("RCT"), FinalRecord(3)},
      25000);
  if (!EmployeeCheckerPresent(out)) GTEST_SKIP() << "the employee record checker is not built in";
  ASSERT_EQ(out.trct.size(), 2u);
  EXPECT_EQ(out.trct[0].count, 2);
  EXPECT_EQ(out.trct[0].pair(1).correct, 17500);
  EXPECT_EQ(out.trct[0].pair(1).orig, 10000);
  EXPECT_FALSE(out.trct[0].pair(1).orig_blank);
  EXPECT_TRUE(out.trct[0].pair(2).correct_blank);
  EXPECT_EQ(out.trct[1].rce_ein, "320000002");
  EXPECT_EQ(out.trct[1].count, 1);
  EXPECT_EQ(out.trct[1].pair(1).correct, 900);
  EXPECT_EQ(out.trct[1].pair(1).orig, 700);
}

TEST(EmployerTotals, TwelveZeroAmountsGiveTenFindingsAndTheAlert) {
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  for (int i = 0; i < 12; ++i)
    records.push_back(Employee(std::to_string(223456700 + i), "00000000100", "00000000000"));
  records.push_back(MakeRecord("RCT"));
  records.push_back(FinalRecord(12));
  RunOutput out = RunRecords(records, 25000);
  if (!EmployeeCheckerPresent(out)) GTEST_SKIP() << "the employee record checker is not built in";
  int cautions = 0;
  for (const ErrorRow& e : out.errors) cautions += e.error == kMoneyAllZerosMessage;
  EXPECT_EQ(cautions, 10);
  EXPECT_EQ(out.summary.zero_amount_count, 12);
  bool alert = false;
  for (const auto& m : out.messages) {
    if (m.title == "Alert") {
      alert = true;
      EXPECT_EQ(m.text.substr(0, 17), "12 instance(s) fo");
    }
  }
  EXPECT_TRUE(alert);
}

}  // namespace
}  // namespace lintaro
