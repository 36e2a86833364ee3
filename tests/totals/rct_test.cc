#include <gtest/gtest.h>

#include "checks/field_checks.h"
#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/wage_records.h"
#include "totals/total_layouts.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::CleanRCT;
using testing::CleanRCW;
using testing::FakeRows;
using testing::RunFixture;
using testing::ViewFixture;

std::string Total(int64_t cents) { return Cents(cents, 15); }

constexpr const char* kWorkedExample =
    "The sum of the RCW Correct Wages, Tips and Other Compensation amounts does not equal the "
    "amount in the Total Correct Wages, Tips and Other Compensation field of the RCT record. The "
    "calculated sum of the RCW amounts for the Correct Wages, Tips and Other Compensation of the "
    "RCT record is 150000. The reported sum of the RCW amounts for the Correct Wages, Tips and "
    "Other Compensation of the RCT record is 140000.";

template <size_t N>
void ExpectContiguous(const std::array<FieldSpec, N>& layout) {
  int next = 1;
  for (size_t i = 0; i < N; ++i) {
    EXPECT_EQ(layout[i].number, static_cast<int>(i));
    EXPECT_EQ(layout[i].start, next) << layout[i].label;
    next = layout[i].end() + 1;
  }
  EXPECT_EQ(next, 1025);
}

TEST(TotalLayouts, CoverTheRecordAndPairTheTotals) {
  ExpectContiguous(kRCTFields);
  ExpectContiguous(kRCUFields);
  for (const TotalMoneyPair& p : kRCTMoneyPairs) {
    const FieldSpec& o = kRCTFields[p.orig_field];
    const FieldSpec& c = kRCTFields[p.correct_field];
    EXPECT_EQ(c.number, o.number + 1);
    EXPECT_EQ(o.width, 15);
    EXPECT_EQ(o.label.substr(26), c.label.substr(14)) << o.label;
  }
  EXPECT_EQ(kRCTFields[32].label,
            "Total Originally Reported Military Employee Basic Quarters, Subsistence and Combat Pay");
  EXPECT_EQ(Reference(kRCTFields[33]),
            "Total Correct Military Employee Basic Quarters, Subsistence and Combat Pay [Position "
            "476 - 490]");
  EXPECT_EQ(kRCTFields[42].label, "Blank");
}

TEST(FillRCTlabels, FiftyFourRowsWithViewerCaptions) {
  FakeRows rows;
  rows.Build(54);
  FillRCTlabels(CleanRCT(12, {{26, Total(123)}}), rows);
  EXPECT_EQ(rows.rows[1].label, "Total Number of RCW Records");
  EXPECT_EQ(rows.rows[1].value, "0000012");
  EXPECT_EQ(rows.rows[3].label, "Total Correct Wages, Tips and Other Compensation");
  EXPECT_EQ(rows.rows[3].value, Total(123));
  EXPECT_EQ(rows.rows[33].label, "Total Correct Military Employee B.Q.S.C. Pay");
  EXPECT_EQ(rows.rows[43].label,
            "Total Originally Reported Emp. Cost of Prem. for G.T.L.I. Over $50,000");
  EXPECT_EQ(rows.rows[52].label,
            "Total Correct Designated Roth Contr. Under a Sec. 403(b) Salary Reduction Agreement");
  EXPECT_EQ(rows.rows[53].value.size(), 234u);
}

// One employer block checked as a test run checks it.
class Rct : public ::testing::Test {
 protected:
  void Employer(int year = 2007, const std::string& code = "R") {
    f.Append(testing::CleanRCE());
    f.run->OpenEmployer("310000001");
    f.state.TaxYear = year;
    f.state.TaxYearText = std::to_string(year);
    f.state.EmploymentCode = code;
  }
  void Employee(const std::map<int, std::string>& fields) {
    const std::string record = CleanRCW(fields);
    f.Append(record);
    CheckCodeRCW(record, f.ctx);
  }
  std::vector<ErrorRow> Total(const std::string& record) {
    const size_t before = f.Errors().size();
    rct_num = f.Append(record);
    CheckCodeRCT(record, static_cast<int32_t>(rct_num), f.ctx);
    auto all = f.Errors();
    return {all.begin() + static_cast<long>(before), all.end()};
  }

  RunFixture f;
  int64_t rct_num = 0;
};

TEST_F(Rct, WorkedExampleOfAMismatchedSum) {
  Employer();
  Employee({{255, Cents(100000)}});
  Employee({{13, "200000002"}, {255, Cents(50000)}});
  Employee({{13, "200000003"}});
  auto errors = Total(CleanRCT(3, {{26, lintaro::Cents(140000, 15)}}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Total Correct Wages, Tips and Other Compensation [Position 26 - 40]");
  EXPECT_EQ(errors[0].user_entry, "[000000000140000]");
  EXPECT_EQ(errors[0].error, kWorkedExample);
  EXPECT_EQ(errors[0].rec_num, rct_num);
  // The record is stamped with its employer.
  auto stored = f.Record(rct_num);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->rec_reference, "310000001");
  EXPECT_EQ(stored->rce_indx, f.run->employer(TotalsTable::kTRCT)->indx);
}

TEST_F(Rct, MatchingTotalsAndCount) {
  Employer();
  Employee({{244, Cents(1000)}, {255, Cents(2000)}, {266, Cents(10)}, {277, Cents(20)}});
  Employee({{13, "200000002"}, {244, Cents(3000)}, {255, Cents(4000)}});
  EXPECT_TRUE(Total(CleanRCT(2, {{11, lintaro::Cents(4000, 15)},
                                 {26, lintaro::Cents(6000, 15)},
                                 {41, lintaro::Cents(10, 15)},
                                 {56, lintaro::Cents(20, 15)}}))
                  .empty());

  auto count = Total(CleanRCT(3, {{11, lintaro::Cents(4000, 15)},
                                  {26, lintaro::Cents(6000, 15)},
                                  {41, lintaro::Cents(10, 15)},
                                  {56, lintaro::Cents(20, 15)}}));
  ASSERT_EQ(count.size(), 1u);
  EXPECT_EQ(count[0].reference, "Total Number of RCW Records [Position 4 - 10]");
  EXPECT_EQ(count[0].user_entry, "[0000003]");
  EXPECT_EQ(count[0].error,
            "The total number of RCW records (2) since the last RCE record does not equal the "
            "value in the RCT record.");

  auto letters = Total(CleanRCT(0, {{4, "00000A2"}}));
  ASSERT_GE(letters.size(), 1u);
  EXPECT_EQ(letters[0].error, "Must be numeric. Right justify and zero fill.");
}

TEST_F(Rct, NonNumericEmployeeAmountNamesTheFirstOffender) {
  Employer();
  Employee({{13, "200000001"}, {277, "0000001000A"}});
  Employee({{13, "200000002"}, {277, "00000010X00"}});
  Employee({{13, "200000003"}, {277, Cents(500)}});
  auto errors = Total(CleanRCT(3, {{56, lintaro::Cents(999, 15)}}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Total Correct Federal Income Tax Withheld [Position 56 - 70]");
  EXPECT_EQ(errors[0].error,
            "The calculated sum is incorrect because of a non-numeric value entered in the RCW "
            "record with SSN#: 200000001.");
}

TEST_F(Rct, EmploymentCodeRules) {
  Employer(2007, "Q");
  // (The RCW gets its own code finding for the wages.)
  Employee({{288, Cents(500)}, {299, Cents(1000)}, {332, Cents(500)}, {343, Cents(1000)}});
  auto errors = Total(CleanRCT(1, {{71, lintaro::Cents(500, 15)},
                                   {86, lintaro::Cents(999, 15)},
                                   {131, lintaro::Cents(500, 15)},
                                   {146, lintaro::Cents(1000, 15)}}));
  // "Q" blanks the Social Security totals only; the pair is still compared.
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference, "Total Correct Social Security Wages [Position 86 - 100]");
  EXPECT_EQ(errors[0].error,
            "The Total Correct Social Security Wages field must be blank, because it does not "
            "apply to the Employer's Correct Employment Code entered in the RCE record. Either "
            "enter blanks in the Total Correct Social Security Wages field or change the "
            "Employer's Correct Employment Code in the RCE record.");
  EXPECT_TRUE(errors[1].error.starts_with("The sum of the RCW Correct Social Security Wages"));
  EXPECT_EQ(errors[1].reference, errors[0].reference);

  f.state.EmploymentCode = "X";
  auto x = Total(CleanRCT(1, {{71, lintaro::Cents(500, 15)},
                              {86, lintaro::Cents(1000, 15)},
                              {131, lintaro::Cents(500, 15)},
                              {146, lintaro::Cents(1000, 15)}}));
  ASSERT_EQ(x.size(), 2u);
  EXPECT_EQ(x[0].reference, "Total Correct Social Security Wages [Position 86 - 100]");
  EXPECT_EQ(x[1].reference, "Total Correct Medicare Wages and Tips [Position 146 - 160]");
  EXPECT_TRUE(x[1].error.starts_with("The Total Correct Medicare Wages and Tips field must be"));
  // Blank totals are never code findings.
  f.state.EmploymentCode = "X";
  auto blank = Total(CleanRCT(1));
  for (const auto& e : blank) EXPECT_EQ(e.error.find("Employment Code"), std::string::npos);
}

TEST_F(Rct, MilitaryPayTotals) {
  Employer(2007);
  Employee({});
  // Zeros pass the years rule; the pair is compared as any other.
  auto zeros = Total(CleanRCT(1, {{476, std::string(15, '0')}}));
  ASSERT_EQ(zeros.size(), 1u);
  EXPECT_EQ(zeros[0].error,
            "The Total Correct Money field of the RCT record must be blank because all of the "
            "corresponding Correct Money fields of the RCW records are blank.");
  auto years = Total(CleanRCT(1, {{461, "00000000000001\t"}, {476, lintaro::Cents(5, 15)}}));
  ASSERT_EQ(years.size(), 2u);
  EXPECT_EQ(years[0].reference,
            "Total Originally Reported Military Employee Basic Quarters, Subsistence and Combat "
            "Pay [Position 461 - 475]");
  EXPECT_EQ(years[0].error, "Must be zero or blank for years prior to 1995 and years after 2001.");
  EXPECT_EQ(years[1].reference,
            "Total Correct Military Employee Basic Quarters, Subsistence and Combat Pay [Position "
            "476 - 490]");
  EXPECT_EQ(years[1].error, "Must be zero or blank for years prior to 1995 and years after 2001.");

  f.state.TaxYear = 2000;
  auto invalid = Total(CleanRCT(1, {{461, "00000000000001\t"}}));
  ASSERT_EQ(invalid.size(), 1u);
  EXPECT_EQ(invalid[0].error, InvalidCharMessage("475"));
  // A non-numeric tax year (0) is outside the years.
  f.state.TaxYear = 0;
  EXPECT_EQ(Total(CleanRCT(1, {{476, lintaro::Cents(5, 15)}}))[0].error,
            "Must be zero or blank for years prior to 1995 and years after 2001.");
}

TEST_F(Rct, BlankFlagsAndEqualTexts) {
  Employer();
  Employee({{255, Cents(100)}});
  // All originally reported amounts were blank: a zero total must be blank.
  auto zero = Total(CleanRCT(1, {{11, lintaro::Cents(0, 15)}, {26, lintaro::Cents(100, 15)}}));
  ASSERT_EQ(zero.size(), 1u);
  EXPECT_EQ(zero[0].reference,
            "Total Originally Reported Wages, Tips and Other Compensation [Position 11 - 25]");
  EXPECT_EQ(zero[0].error,
            "The Total Originally Reported Money field of the RCT record must be blank because all "
            "of the corresponding Originally Reported Money fields of the RCW records are blank.");
  // Letters in that total: only the printable test applies, and it passes.
  EXPECT_TRUE(Total(CleanRCT(1, {{11, "ABCDEFGHIJKLMNO"}, {26, lintaro::Cents(100, 15)}})).empty());
  // Equal texts: the correct total is not compared (the original is).
  auto equal = Total(CleanRCT(1, {{11, lintaro::Cents(7, 15)}, {26, lintaro::Cents(7, 15)}}));
  ASSERT_EQ(equal.size(), 1u);
  EXPECT_EQ(equal[0].reference,
            "Total Originally Reported Wages, Tips and Other Compensation [Position 11 - 25]");
  EXPECT_TRUE(equal[0].error.find("is 0. The reported sum") != std::string::npos);
}

TEST_F(Rct, SecondEmployerStartsFreshTotals) {
  Employer();
  Employee({{244, Cents(90000)}, {255, Cents(100000)}});
  Employee({{13, "200000002"}, {244, Cents(90000)}, {255, Cents(100000)}});
  EXPECT_TRUE(
      Total(CleanRCT(2, {{11, lintaro::Cents(180000, 15)}, {26, lintaro::Cents(200000, 15)}}))
          .empty());
  Employer();
  Employee({{244, Cents(4000)}, {255, Cents(5000)}});
  EXPECT_TRUE(
      Total(CleanRCT(1, {{11, lintaro::Cents(4000, 15)}, {26, lintaro::Cents(5000, 15)}})).empty());
  auto stale =
      Total(CleanRCT(3, {{11, lintaro::Cents(184000, 15)}, {26, lintaro::Cents(205000, 15)}}));
  ASSERT_EQ(stale.size(), 3u);
  EXPECT_TRUE(stale[0].error.starts_with("The total number of RCW records (1)"));
  EXPECT_NE(stale[1].error.find("is 4000. The reported sum"), std::string::npos);
  EXPECT_NE(stale[2].error.find("is 5000. The reported sum"), std::string::npos);
}

TEST_F(Rct, NoEmployerRowMeansNoComparisons) {
  // An RCT before any employer row: its own rules only, nothing compared.
  f.Append(testing::CleanRCA());
  auto errors = Total(CleanRCT(9, {{26, lintaro::Cents(5, 15)}, {705, "\x02"}}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Total Originally Reported Deferrals Under a Section 409A "
                                 "Non-qualified Deferred Compensation Plan [Position 701 - 715]");
  auto stored = f.Record(rct_num);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->rce_indx, 0);
}

TEST(RctViewer, ComparesWithTheStoredEmployerRow) {
  ViewFixture v;
  v.state.TaxYear = 2007;
  TotalsRow row(TotalsTable::kTRCT);
  row.count = 3;
  row.pair(1).correct = 150000;
  row.pair(1).correct_blank = false;
  row.pair(2).err_ref = "200000001";
  v.results.trct[7] = row;
  v.rows.Build(54);
  CheckCodeRCT(CleanRCT(3, {{26, lintaro::Cents(140000, 15)}}), 7, v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{3, 5}));
  // Another record number has no employer row: nothing is compared.
  v.rows.Build(54);
  CheckCodeRCT(CleanRCT(4, {{26, lintaro::Cents(140000, 15)}}), 8, v.ctx);
  EXPECT_TRUE(v.rows.Marked().empty());
}

}  // namespace
}  // namespace lintaro
