#include "checks/money_pairs.h"

#include <gtest/gtest.h>

#include "checks/field_checks.h"
#include "support/run_fixture.h"
#include "support/clean_records.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::MakeRecord;
using testing::RunFixture;
using testing::ViewFixture;

constexpr const char* kWages = "Correct Wages, Tips and Other Compensation";
const std::string kBlank11(11, ' '), kBlank15(15, ' ');

TEST(MoneyMessages, ExactTexts) {
  EXPECT_STREQ(kMoneyNotNumericMessage,
               "Must be numeric or blank. No negative amounts; right justify and zero fill.");
  EXPECT_STREQ(kMoneyCorrectBlankMessage,
               "A value was entered in the Originally Reported Money field and the Correct Money "
               "field is blank. Either change the Originally Reported Money Field to blank or "
               "enter a value in the Correct Money field.");
  EXPECT_STREQ(kMoneySameMessage,
               "The Originally Reported Money field amount must not be the same as the Correct "
               "Money field amount.");
  EXPECT_STREQ(kMoneyAllZerosMessage,
               "All zeros in the Correct Money field will zero out the Originally Reported Money "
               "field. Please make sure this is correct.");
}

// Pair 1 (wages) of RCW records of one employer: original at 244, correct at 255.
class EmployeePairs : public ::testing::Test {
 protected:
  void SetUp() override {
    f.Append(MakeRecord("RCE"));
    f.run->OpenEmployer("310000001");
    f.state.employee_reference = "123456789";
  }
  std::vector<ErrorRow> Check(const std::string& orig, const std::string& correct) {
    const size_t before = f.Errors().size();
    std::string record = MakeRecord("RCW", {{244, orig}, {255, correct}});
    f.Append(record);
    MoneyFieldCheck(record, "RW", kWages, 255, 265, 11, 244, 254, 20, "1", f.ctx);
    auto all = f.Errors();
    return {all.begin() + static_cast<long>(before), all.end()};
  }
  TotalsRow::Pair& Pair1() { return f.run->employer(TotalsTable::kTRCT)->pair(1); }
  RunFixture f;
};

TEST_F(EmployeePairs, FindingsAndSums) {
  struct Case {
    std::string orig, correct;
    const char* error;  // null: no finding
    int64_t orig_sum, correct_sum;
  };
  const std::vector<Case> cases = {
      {Cents(10000), Cents(10000), kMoneySameMessage, 10000, 10000},  // still counts
      {kBlank11, Cents(0), kMoneyAllZerosMessage, 10000, 10000},
      {Cents(500), kBlank11, kMoneyCorrectBlankMessage, 10500, 10000},
      {"0000001000A", kBlank11, nullptr, 10500, 10000},  // left to the caller
      {Cents(1), "0000001000A", kMoneyNotNumericMessage, 10501, 10000},
      {kBlank11, "-0000001000", kMoneyNotNumericMessage, 10501, 10000},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    if (i == 5) f.state.employee_reference = "987654321";
    auto errors = Check(c.orig, c.correct);
    ASSERT_EQ(errors.size(), c.error ? 1u : 0u) << "case " << i;
    if (c.error) {
      EXPECT_EQ(errors[0].reference, std::string(kWages) + " [Position 255 - 265]") << i;
      EXPECT_EQ(errors[0].user_entry, "[" + c.correct + "]") << i;
      EXPECT_EQ(errors[0].error, c.error) << i;
    }
    EXPECT_EQ(Pair1().orig, c.orig_sum) << i;
    EXPECT_EQ(Pair1().correct, c.correct_sum) << i;
  }
  EXPECT_EQ(Pair1().err_ref, "123456789");  // the first employee with a non-numeric amount
  EXPECT_EQ(f.state.zero_amount_count, 1);
}

TEST_F(EmployeePairs, BlanknessIsKept) {
  Check(kBlank11, Cents(0));
  EXPECT_FALSE(Pair1().correct_blank);
  EXPECT_TRUE(Pair1().orig_blank);
  EXPECT_TRUE(f.run->employer(TotalsTable::kTRCT)->pair(2).correct_blank);
}

TEST(EmployeePairsOutsideARun, ReportWithoutEmployerAndMarkWhileViewing) {
  RunFixture f;
  std::string record = MakeRecord("RCW", {{244, Cents(100)}, {255, Cents(100)}});
  f.Append(record);
  MoneyFieldCheck(record, "RW", kWages, 255, 265, 11, 244, 254, 20, "1", f.ctx);
  EXPECT_EQ(f.Errors().size(), 1u);
  EXPECT_EQ(f.run->employer(TotalsTable::kTRCT), nullptr);
  ViewFixture v;
  v.rows.Build(78);
  v.rows.Mark(19);
  MoneyFieldCheck(record, "RW", kWages, 255, 265, 11, 244, 254, 20, "1", v.ctx);
  EXPECT_EQ(v.rows.Marked(), std::set<int>{20});  // 19 given its normal background
}

// Total record pairs: RCT pair 1 at 11-25 and 26-40, against the sums of
// the employee records.
struct TotalCase {
  const char* name;
  std::optional<int64_t> orig_sum, correct_sum;  // none: every employee left it blank
  std::string orig, correct;
  std::vector<std::string> expected;  // reference | error
  TotalsTable table = TotalsTable::kTRCT;
};

TEST(TotalPairs, Table) {
  const std::string o = "Total Originally Reported Wages, Tips and Other Compensation [Position 11 - 25]";
  const std::string c = "Total Correct Wages, Tips and Other Compensation [Position 26 - 40]";
  auto mismatch = [](const char* kind, const char* total, int64_t calc,
                     int64_t reported) {
    const std::string name = std::string(kind) + "Wages, Tips and Other Compensation";
    const char* emp = std::string(total) == "RCT" ? "RCW" : "RCO";
    return std::string("The sum of the ") + emp + " " + name +
           " amounts does not equal the amount in the Total " + name + " field of the " + total +
           " record. The calculated sum of the " + emp + " amounts for the " + name + " of the " +
           total + " record is " + std::to_string(calc) + ". The reported sum of the " + emp +
           " amounts for the " + name + " of the " + total + " record is " +
           std::to_string(reported) + ".";
  };
  const std::vector<TotalCase> cases = {
      // The worked example: correct 100000, 50000 and blank; 90000 originally each.
      {"worked example", 180000, 150000, Cents(180000, 15), Cents(140000, 15),
       {c + " | " + mismatch("Correct ", "RCT", 150000, 140000)}},
      {"huge sums in plain digits", 1234567890123456789, 5, Cents(7, 15), Cents(5, 15),
       {o + " | " + mismatch("Originally Reported ", "RCT", 1234567890123456789, 7)}},
      {"all blank, zeros given", {}, {}, Cents(0, 15), Cents(0, 15),
       {o + " | The Total Originally Reported Money field of the RCT record must be blank because "
            "all of the corresponding Originally Reported Money fields of the RCW records are "
            "blank."}},
      {"all blank, correct zero", {}, {}, kBlank15, Cents(0, 15),
       {c + " | The Total Correct Money field of the RCT record must be blank because all of the "
            "corresponding Correct Money fields of the RCW records are blank."}},
      {"all blank, blanks", {}, {}, kBlank15, kBlank15, {}},
      {"all blank, letters not compared", {}, {}, "ABCDEFGHIJKLMNO", kBlank15, {}},
      {"blank totals with a correction", 100, 200, kBlank15, kBlank15,
       {o + " | Only numeric amounts are allowed. The Total Originally Reported Money field of "
            "the RCT record must not be blank or contain invalid characters. The sum of the RCW "
            "amounts indicates a correction.",
        c + " | Only numeric amounts are allowed. The Total Correct Money field of the RCT record "
            "must not be blank or contain invalid characters. The sum of the RCW amounts "
            "indicates a correction."}},
      {"blank correct without correction", 300, 300, Cents(300, 15), kBlank15, {}},
      {"invalid correct total", 300, 400, Cents(300, 15), "00000000000040A",
       {c + " | " + kMoneyNotNumericMessage}},
      {"equal totals compare only the original", 300, 400, Cents(250, 15), Cents(250, 15),
       {o + " | " + mismatch("Originally Reported ", "RCT", 300, 250)}},
      {"correct without original", {}, 400, kBlank15, Cents(400, 15),
       {c + " | A value was entered in the Total Correct Money field but the Total Originally "
            "Reported Money field is blank."}},
      {"optional totals", 100, 200, kBlank15, Cents(250, 15),
       {o + " | Only numeric amounts are allowed. The Total Originally Reported Money field of "
            "the RCU record must not be blank or contain invalid characters. The sum of the RCO "
            "amounts indicates a correction.",
        c + " | " + mismatch("Correct ", "RCU", 200, 250)},
       TotalsTable::kTRCU},
  };
  for (const TotalCase& t : cases) {
    TotalsRow sums(t.table);
    if (t.orig_sum) sums.pair(1).orig = *t.orig_sum, sums.pair(1).orig_blank = false;
    if (t.correct_sum) sums.pair(1).correct = *t.correct_sum, sums.pair(1).correct_blank = false;
    const bool rct = t.table == TotalsTable::kTRCT;
    RunFixture f;
    std::string record = MakeRecord(rct ? "RCT" : "RCU", {{11, t.orig}, {26, t.correct}});
    f.Append(record);
    MoneyFieldCheck(record, rct ? "RT" : "RU", "Total Correct Wages, Tips and Other Compensation",
                    26, 40, 15, 11, 25, 3, "1", f.ctx, &sums);
    std::vector<std::string> found;
    for (const auto& e : f.Errors()) {
      found.push_back(e.reference + " | " + e.error);
      EXPECT_EQ(e.user_entry, "[" + (e.reference == o ? t.orig : t.correct) + "]") << t.name;
    }
    EXPECT_EQ(found, t.expected) << t.name;
  }
  // Without an employer nothing is compared.
  RunFixture f;
  std::string record = MakeRecord("RCT", {{11, "ABC"}, {26, "XYZ"}});
  f.Append(record);
  MoneyFieldCheck(record, "RT", "Total Correct Wages, Tips and Other Compensation", 26, 40, 15, 11,
                  25, 3, "1", f.ctx, nullptr);
  EXPECT_TRUE(f.Errors().empty());
}

TEST(FieldPairCheck, BlanknessEqualityAndCase) {
  RunFixture f;
  auto check = [&](const std::string& record, const std::string& label, int start, int end,
                   int width, int orig, int row, bool mandatory) {
    f.Append(record);
    FieldPairCheck(record, label, start, end, width, orig, row, mandatory, f.ctx);
  };
  const std::string ssn = "Employee's Correct SSN";
  check(MakeRecord("RCW", {{1003, "1"}, {1004, "1"}}), "Correct Statutory Employee Indicator",
        1004, 1004, 1, 1003, 76, false);
  check(MakeRecord("RCW", {{4, "123456789"}, {13, "123456789"}}), ssn, 13, 21, 9, 4, 2, true);
  check(MakeRecord("RCW", {{4, "123456789"}}), ssn, 13, 21, 9, 4, 2, true);
  check(MakeRecord("RCW"), ssn, 13, 21, 9, 4, 2, true);
  check(MakeRecord("RCE", {{36, "ab12"}, {40, "AB12"}}), "Employer's Correct Establishment Number",
        40, 43, 4, 36, 7, false);  // a case difference is a correction
  std::vector<std::string> found;
  for (const auto& e : f.Errors()) found.push_back(e.reference + " | " + e.user_entry + " | " + e.error);
  EXPECT_EQ(found,
            (std::vector<std::string>{
                "Correct Statutory Employee Indicator [Position 1004] | [1] | Must enter blanks in "
                "both fields if no corrections are being reported to this data.",
                "Employee's Correct SSN [Position 13 - 21] | [123456789] | Must enter blanks in the "
                "corresponding Originally Reported field if no correction is being reported to "
                "this data.",
                "Employee's Correct SSN [Position 13 - 21] | [         ] | Must not be blank. "
                "Otherwise enter blank in the corresponding Originally Reported field if no "
                "corrections are being reported."}));
}

}  // namespace
}  // namespace lintaro
