// The employer's total records checked against the running totals of its
// employee records: RCT against RCW, RCU against RCO.
#include <gtest/gtest.h>

#include "records/messages.h"
#include "records/record_types.h"
#include "totals/total_layouts.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

std::string Total(int64_t cents) { return Cents(cents, 15); }

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
  EXPECT_EQ(Reference(kRCTFields[33]),
            "Total Correct Military Employee Basic Quarters, Subsistence and Combat Pay [Position "
            "476 - 490]");
  FakeRows rows;
  rows.Build(54);
  FillRCTlabels(CleanRCT(12, {{26, Total(123)}}), rows);
  EXPECT_EQ(rows.rows[1].label, "Total Number of RCW Records");
  EXPECT_EQ(rows.rows[1].value, "0000012");
  EXPECT_EQ(rows.rows[33].label, "Total Correct Military Employee B.Q.S.C. Pay");
  EXPECT_EQ(rows.rows[52].label,
            "Total Correct Designated Roth Contr. Under a Sec. 403(b) Salary Reduction Agreement");
  EXPECT_EQ(rows.rows[53].value.size(), 234u);
  rows.Build(19);
  FillRCUlabels(CleanRCU(2), rows);
  EXPECT_EQ(rows.rows[1].label, "Number of RCO Records");
  EXPECT_EQ(rows.rows[12].label,
            "Total Originally Reported Uncollected SS or RRTA Tax on Cost of G.T.L.I. Over $50,000");
}

// One employer block checked as a test run checks it.
struct Block {
  explicit Block(int year = 2007, const std::string& code = "R") {
    CheckIn(f, CheckCodeRCE, CleanRCE());
    f.state.TaxYear = year;
    f.state.TaxYearText = std::to_string(year);
    f.state.EmploymentCode = code;
  }
  void Employee(const std::map<int, std::string>& fields) { CheckIn(f, CheckCodeRCW, CleanRCW(fields)); }
  void Optional(const std::map<int, std::string>& fields) {
    Employee({});
    CheckIn(f, CheckCodeRCO, CleanRCO(fields));
  }
  // "reference | error" of each finding of one more total record.
  std::vector<std::string> Check(const std::string& record) {
    last = f.Append(record);
    if (record.starts_with("RCT")) CheckCodeRCT(record, static_cast<int32_t>(last), f.ctx);
    else CheckCodeRCU(record, static_cast<int32_t>(last), f.ctx);
    std::vector<std::string> out;
    for (const Finding& e : FindingsOf(f.Errors(), last)) out.push_back(e.reference + " | " + e.error);
    return out;
  }
  RunFixture f;
  int64_t last = 0;
};

const std::string kSsWagesTotal = "Total Correct Social Security Wages [Position 86 - 100]";
const std::string kYears = "Must be zero or blank for years prior to 1995 and years after 2001.";

TEST(CheckCodeRCT, CountSumsAndStamp) {
  Block b;
  b.Employee({{244, Cents(1000)}, {255, Cents(2000)}, {266, Cents(10)}, {277, Cents(20)}});
  b.Employee({{13, "200000002"}, {244, Cents(3000)}, {255, Cents(4000)}});
  const std::map<int, std::string> sums = {
      {11, Total(4000)}, {26, Total(6000)}, {41, Total(10)}, {56, Total(20)}};
  EXPECT_TRUE(b.Check(CleanRCT(2, sums)).empty());
  EXPECT_EQ(b.f.Record(b.last)->rec_reference, "310000001");
  EXPECT_EQ(b.f.Record(b.last)->rce_indx, b.f.run->employer(TotalsTable::kTRCT)->indx);
  EXPECT_EQ(b.Check(CleanRCT(3, sums)),
            (std::vector<std::string>{
                "Total Number of RCW Records [Position 4 - 10] | The total number of RCW records "
                "(2) since the last RCE record does not equal the value in the RCT record."}));
  auto letters = b.Check(CleanRCT(0, {{4, "00000A2"}}));
  ASSERT_FALSE(letters.empty());
  EXPECT_EQ(letters[0], "Total Number of RCW Records [Position 4 - 10] | Must be numeric. Right "
                        "justify and zero fill.");
}

TEST(CheckCodeRCT, NonNumericEmployeeAmountNamesTheFirstOffender) {
  Block b;
  b.Employee({{13, "200000001"}, {277, "0000001000A"}});
  b.Employee({{13, "200000002"}, {277, "00000010X00"}});
  b.Employee({{13, "200000003"}, {277, Cents(500)}});
  EXPECT_EQ(b.Check(CleanRCT(3, {{56, Total(999)}})),
            (std::vector<std::string>{
                "Total Correct Federal Income Tax Withheld [Position 56 - 70] | The calculated sum "
                "is incorrect because of a non-numeric value entered in the RCW record with SSN#: "
                "200000001."}));
}

TEST(CheckCodeRCT, EmploymentCodeRules) {
  Block b(2007, "Q");
  b.Employee({{288, Cents(500)}, {299, Cents(1000)}, {332, Cents(500)}, {343, Cents(1000)}});
  // "Q" blanks the Social Security totals only; the pair is still compared.
  auto q = b.Check(CleanRCT(1, {{71, Total(500)}, {86, Total(999)}, {131, Total(500)}, {146, Total(1000)}}));
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0], kSsWagesTotal +
                      " | The Total Correct Social Security Wages field must be blank, because it "
                      "does not apply to the Employer's Correct Employment Code entered in the RCE "
                      "record. Either enter blanks in the Total Correct Social Security Wages field "
                      "or change the Employer's Correct Employment Code in the RCE record.");
  EXPECT_TRUE(q[1].starts_with(kSsWagesTotal + " | The sum of the RCW Correct Social Security Wages"));
  b.f.state.EmploymentCode = "X";
  auto x = b.Check(CleanRCT(1, {{71, Total(500)}, {86, Total(1000)}, {131, Total(500)}, {146, Total(1000)}}));
  ASSERT_EQ(x.size(), 2u);
  EXPECT_TRUE(x[0].starts_with(kSsWagesTotal));
  EXPECT_TRUE(x[1].starts_with("Total Correct Medicare Wages and Tips [Position 146 - 160] | The "
                               "Total Correct Medicare Wages and Tips field must be"));
  for (const auto& e : b.Check(CleanRCT(1)))  // blank totals are never code findings
    EXPECT_EQ(e.find("Employment Code"), std::string::npos);
}

TEST(CheckCodeRCT, MilitaryPayTotals) {
  const std::string orig = "Total Originally Reported Military Employee Basic Quarters, "
                           "Subsistence and Combat Pay [Position 461 - 475]";
  const std::string correct =
      "Total Correct Military Employee Basic Quarters, Subsistence and Combat Pay [Position 476 - 490]";
  Block b;
  b.Employee({});
  EXPECT_EQ(b.Check(CleanRCT(1, {{476, Total(0)}})),  // zeros pass the years rule
            (std::vector<std::string>{
                correct + " | The Total Correct Money field of the RCT record must be blank "
                "because all of the corresponding Correct Money fields of the RCW records are "
                "blank."}));
  EXPECT_EQ(b.Check(CleanRCT(1, {{461, "00000000000001\t"}, {476, Total(5)}})),
            (std::vector<std::string>{orig + " | " + kYears, correct + " | " + kYears}));
  b.f.state.TaxYear = 2000;
  EXPECT_EQ(b.Check(CleanRCT(1, {{461, "00000000000001\t"}})),
            (std::vector<std::string>{orig + " | " + InvalidCharMessage("475")}));
  b.f.state.TaxYear = 0;  // a non-numeric tax year is outside the years
  EXPECT_EQ(b.Check(CleanRCT(1, {{476, Total(5)}})),
            (std::vector<std::string>{correct + " | " + kYears}));
}

TEST(CheckCodeRCT, EachEmployerHasItsOwnTotals) {
  Block b;
  b.Employee({{244, Cents(90000)}, {255, Cents(100000)}});
  b.Employee({{13, "200000002"}, {244, Cents(90000)}, {255, Cents(100000)}});
  EXPECT_TRUE(b.Check(CleanRCT(2, {{11, Total(180000)}, {26, Total(200000)}})).empty());
  CheckIn(b.f, CheckCodeRCE, CleanRCE());
  b.Employee({{244, Cents(4000)}, {255, Cents(5000)}});
  EXPECT_TRUE(b.Check(CleanRCT(1, {{11, Total(4000)}, {26, Total(5000)}})).empty());
  auto stale = b.Check(CleanRCT(3, {{11, Total(184000)}, {26, Total(205000)}}));
  ASSERT_EQ(stale.size(), 3u);
  EXPECT_NE(stale[0].find("The total number of RCW records (1)"), std::string::npos);
  EXPECT_NE(stale[1].find("is 4000. The reported sum"), std::string::npos);
  EXPECT_NE(stale[2].find("is 5000. The reported sum"), std::string::npos);

  // Before any employer row: its own rules only, nothing compared or stamped.
  RunFixture none;
  none.Append(CleanRCA());
  const std::string rct = CleanRCT(9, {{26, Total(5)}, {705, "\x02"}});
  const int64_t n = none.Append(rct);
  CheckCodeRCT(rct, static_cast<int32_t>(n), none.ctx);
  auto found = FindingsOf(none.Errors(), n);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].reference, "Total Originally Reported Deferrals Under a Section 409A "
                                "Non-qualified Deferred Compensation Plan [Position 701 - 715]");
  EXPECT_EQ(none.Record(n)->rce_indx, 0);
}

TEST(CheckCodeRCU, CountSumsAndMessages) {
  Block b;
  b.Optional({{13, Cents(100)}, {24, Cents(150)}});
  b.Optional({{13, Cents(200)}, {24, Cents(250)}});
  b.Optional({{178, Cents(7)}, {167, Cents(6)}});
  const std::map<int, std::string> sums = {{11, Total(300)}, {26, Total(400)}, {221, Total(6)}, {236, Total(7)}};
  EXPECT_TRUE(b.Check(CleanRCU(3, sums)).empty());
  EXPECT_EQ(b.f.Record(b.last)->rce_indx, b.f.run->employer(TotalsTable::kTRCU)->indx);
  auto wrong = sums;
  wrong[26] = Total(401);
  EXPECT_EQ(b.Check(CleanRCU(2, wrong)),
            (std::vector<std::string>{
                "Number of RCO Records [Position 4 - 10] | The number of RCO records (3) since the "
                "last RCE record does not equal the value in the RCU record.",
                "Total Correct Allocated Tips [Position 26 - 40] | The sum of the RCO Correct "
                "Allocated Tips amounts does not equal the amount in the Total Correct Allocated "
                "Tips field of the RCU record. The calculated sum of the RCO amounts for the "
                "Correct Allocated Tips of the RCU record is 400. The reported sum of the RCO "
                "amounts for the Correct Allocated Tips of the RCU record is 401."}));

  Block bad;
  bad.Optional({{24, "0000000010A"}});
  EXPECT_EQ(bad.Check(CleanRCU(1, {{26, Total(10)}})),
            (std::vector<std::string>{
                "Total Correct Allocated Tips [Position 26 - 40] | The calculated sum is incorrect "
                "because of a non-numeric value entered in the RCO record."}));
  Block blank;
  EXPECT_TRUE(blank.Check(CleanRCU(0)).empty());
  blank.Optional({});
  EXPECT_EQ(blank.Check(CleanRCU(1, {{146, Total(0)}, {500, "\t"}})),
            (std::vector<std::string>{
                "Total Correct Qualified Adoption Expenses [Position 146 - 160] | The Total "
                "Correct Money field of the RCU record must be blank because all of the "
                "corresponding Correct Money fields of the RCO records are blank.",
                "Blank [Position 251 - 1024] | " + InvalidCharMessage("500")}));
}

TEST(TotalRecordsViewer, CompareWithTheStoredEmployerRow) {
  ViewFixture v;
  v.state.TaxYear = 2007;
  TotalsRow t(TotalsTable::kTRCT);
  t.count = 3;
  t.pair(1).correct = 150000;
  t.pair(1).correct_blank = false;
  t.pair(2).err_ref = "200000001";
  v.results.trct[7] = t;
  v.rows.Build(54);
  CheckCodeRCT(CleanRCT(3, {{26, Total(140000)}}), 7, v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{3, 5}));
  v.rows.Build(54);  // another record number has no employer row
  CheckCodeRCT(CleanRCT(4, {{26, Total(140000)}}), 8, v.ctx);
  EXPECT_TRUE(v.rows.Marked().empty());

  TotalsRow u(TotalsTable::kTRCU);
  u.count = 1;
  u.pair(3).err_ref = "200000001";
  v.results.trcu[9] = u;
  v.rows.Build(19);
  CheckCodeRCU(CleanRCU(2, {{71, "\x05"}}), 9, v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1, 6, 7}));
}

}  // namespace
}  // namespace lintaro
