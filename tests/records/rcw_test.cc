#include <gtest/gtest.h>

#include "checks/field_checks.h"
#include "checks/money_pairs.h"
#include "records/employee_layouts.h"
#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/wage_records.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::CleanRCW;
using testing::FakeRows;
using testing::MakeRecord;
using testing::RunFixture;
using testing::ViewFixture;

// Each layout covers positions 1 to 1024 without gap or overlap, numbered
// from 0 in order.
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

TEST(EmployeeLayouts, CoverTheRecord) {
  ExpectContiguous(kRCWFields);
  ExpectContiguous(kRCOFields);
}

TEST(EmployeeLayouts, MoneyPairsAreAdjacentElevenCharacterFields) {
  int expected_pair = 1;
  for (const EmployeeMoneyPair& p : kRCWMoneyPairs) {
    const FieldSpec& o = kRCWFields[p.orig_row];
    const FieldSpec& c = kRCWFields[p.correct_row];
    EXPECT_EQ(p.pair, expected_pair++);
    EXPECT_EQ(p.correct_row, p.orig_row + 1);
    EXPECT_EQ(o.width, 11);
    EXPECT_EQ(c.width, 11);
    EXPECT_TRUE(o.label.starts_with("Originally Reported ")) << o.label;
    EXPECT_TRUE(c.label.starts_with("Correct ")) << c.label;
    // Both carry the same long name.
    EXPECT_EQ(o.label.substr(20), c.label.substr(8));
  }
  for (const EmployeeMoneyPair& p : kRCOMoneyPairs)
    EXPECT_EQ(kRCOFields[p.orig_row].label.substr(20), kRCOFields[p.correct_row].label.substr(8));
}

TEST(FillRCWlabels, SeventyEightRowsWithViewerCaptions) {
  FakeRows rows;
  rows.Build(78);
  std::string record = CleanRCW({{453, "00000012345"}, {1009, "TRAILING FILLER "}});
  FillRCWlabels(record, rows);
  EXPECT_EQ(rows.rows[0].label, "Record Identifier");
  EXPECT_EQ(rows.rows[0].value, "RCW");
  EXPECT_EQ(rows.rows[2].label, "Employee's Correct SSN");
  EXPECT_EQ(rows.rows[2].value, "200000001");
  EXPECT_EQ(rows.rows[38].label, "Correct Def. Comp. Contr. to Sec. 401(k)");
  EXPECT_EQ(rows.rows[38].value, "00000012345");
  EXPECT_EQ(rows.rows[61].label, "Correct Emp. Cost of Prem. for G.T.L.I. Over $50,000");
  EXPECT_EQ(rows.rows[13].label, "ZIP Code");
  EXPECT_EQ(rows.rows[77].label, "Blank");
  EXPECT_EQ(rows.rows[77].value, "TRAILING FILLER ");
  for (const auto& row : rows.rows) EXPECT_FALSE(row.label.empty());
}

// RCW records checked in a test run of an employer of 2007, code "R".
class Rcw : public ::testing::Test {
 protected:
  void SetUp() override {
    f.Append(testing::CleanRCE());
    f.run->OpenEmployer("310000001");
    f.state.TaxYear = 2007;
    f.state.TaxYearText = "2007";
    f.state.EmploymentCode = "R";
  }
  // The findings of one more RCW.
  std::vector<ErrorRow> Check(const std::string& record) {
    const size_t before = f.Errors().size();
    const int64_t n = f.Append(record);
    CheckCodeRCW(record, f.ctx);
    auto all = f.Errors();
    std::vector<ErrorRow> mine(all.begin() + static_cast<long>(before), all.end());
    for (const auto& e : mine) EXPECT_EQ(e.rec_num, n);
    return mine;
  }
  // The rows the viewer marks for a record.
  std::set<int> Marks(const std::string& record) {
    ViewFixture v;
    v.state.TaxYear = f.state.TaxYear;
    v.state.TaxYearText = f.state.TaxYearText;
    v.state.EmploymentCode = f.state.EmploymentCode;
    v.rows.Build(78);
    CheckCodeRCW(record, v.ctx);
    return v.rows.Marked();
  }
  TotalsRow& Employer() { return *f.run->employer(TotalsTable::kTRCT); }

  RunFixture f;
};

TEST_F(Rcw, CleanRecordHasNoFindingsAndCountsOneEmployee) {
  auto errors = Check(CleanRCW({{244, Cents(100000)}, {255, Cents(120000)}}));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(Employer().count, 1);
  EXPECT_EQ(Employer().pair(1).correct, 120000);
  EXPECT_EQ(Employer().pair(1).orig, 100000);
  EXPECT_EQ(f.state.employee_reference, "200000001");
  auto stored = f.Record(2);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->rec_reference, "200000001");
  EXPECT_EQ(stored->rce_indx, Employer().indx);
}

TEST_F(Rcw, SocialSecurityNumberRules) {
  auto blank = Check(CleanRCW({{13, "         "}}));
  ASSERT_EQ(blank.size(), 1u);
  EXPECT_EQ(blank[0].reference, "Employee's Correct SSN [Position 13 - 21]");
  EXPECT_EQ(blank[0].user_entry, "[         ]");
  EXPECT_EQ(blank[0].error, "This is a mandatory field and must contain only valid numeric data.");
  EXPECT_EQ(Employer().count, 1);  // still an employee of the block

  // Beginning with 9, even when equal to the originally reported SSN: only
  // the number rule, no pair finding.
  auto nine = Check(CleanRCW({{4, "912345678"}, {13, "912345678"}}));
  ASSERT_EQ(nine.size(), 1u);
  EXPECT_EQ(nine[0].error,
            "Must not be 111111111 or 333333333 or 123456789 or may not begin with an 8 or 9. "
            "This is a mandatory field and must contain only valid numeric data.");
  for (const char* ssn : {"123456789", "333333333", "111111111", "812345678"})
    EXPECT_EQ(Check(CleanRCW({{13, ssn}})).size(), 1u) << ssn;

  auto same = Check(CleanRCW({{4, "200000001"}}));
  ASSERT_EQ(same.size(), 1u);
  EXPECT_EQ(same[0].error,
            "Must enter blanks in the corresponding Originally Reported field if no correction is "
            "being reported to this data.");
  EXPECT_EQ(Employer().count, 7);
}

TEST_F(Rcw, NameRules) {
  auto lower = Check(CleanRCW({{72, "John"}}));
  ASSERT_EQ(lower.size(), 1u);
  EXPECT_EQ(lower[0].reference, "Employee's Correct First Name [Position 72 - 86]");
  EXPECT_EQ(lower[0].error,
            "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods and "
            "apostrophes. This is a mandatory field.");

  auto first_blank = Check(CleanRCW({{72, "    "}}));
  ASSERT_EQ(first_blank.size(), 1u);
  EXPECT_EQ(first_blank[0].error, "Must not be blank. This is a mandatory field.");

  auto last_blank = Check(CleanRCW({{102, "   "}}));
  ASSERT_EQ(last_blank.size(), 1u);
  EXPECT_EQ(last_blank[0].reference, "Employee's Correct Last Name [Position 102 - 121]");
  EXPECT_EQ(last_blank[0].error, "Must not be blank. This is a mandatory field.");

  auto middle_same = Check(CleanRCW({{37, "Q"}, {87, "Q"}}));
  ASSERT_EQ(middle_same.size(), 1u);
  EXPECT_EQ(middle_same[0].reference,
            "Employee's Correct Middle Name or Initial [Position 87 - 101]");
  EXPECT_EQ(middle_same[0].error,
            "Must enter blanks in both fields if no corrections are being reported to this data.");
  EXPECT_TRUE(Check(CleanRCW({{37, "Q"}})).empty());

  auto middle_bad = Check(CleanRCW({{87, "J&J"}}));
  ASSERT_EQ(middle_bad.size(), 1u);
  EXPECT_EQ(middle_bad[0].error,
            "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods, "
            "apostrophes and blanks.");
  EXPECT_TRUE(Check(CleanRCW({{72, "O'NEIL-SMITH JR."}})).empty());
}

TEST_F(Rcw, AddressBlock) {
  // An invalid state skips the domestic/foreign test.
  auto state = Check(CleanRCW({{188, "ZZ"}, {242, "CA"}}));
  ASSERT_EQ(state.size(), 1u);
  EXPECT_EQ(state[0].reference, "State Abbreviation [Position 188 - 189]");
  EXPECT_EQ(state[0].error, "The Postal Abbreviation is invalid (see Korvel).");

  auto both = Check(CleanRCW({{242, "CA"}}));
  ASSERT_EQ(both.size(), 1u);
  EXPECT_EQ(both[0].reference, "Country Code [Position 242 - 243]");
  EXPECT_EQ(both[0].error, "Must not have both a domestic State Abbreviation and a foreign Country Code.");
  EXPECT_EQ(Marks(CleanRCW({{242, "CA"}})), (std::set<int>{18}));

  auto ext = Check(CleanRCW({{190, "     "}, {195, "1234"}}));
  ASSERT_EQ(ext.size(), 1u);
  EXPECT_EQ(ext[0].reference, "ZIP Code Extension [Position 195 - 198]");
  EXPECT_TRUE(ext[0].error.starts_with("A value was entered in the ZIP Code Extension field"));

  auto letter = Check(CleanRCW({{195, "12A4"}}));
  ASSERT_EQ(letter.size(), 1u);
  EXPECT_EQ(letter[0].error, "Must be numeric or blank.");

  auto zip = Check(CleanRCW({{190, "2120X"}}));
  ASSERT_EQ(zip.size(), 1u);
  EXPECT_EQ(zip[0].reference, "ZIP Code [Position 190 - 194]");

  auto country = Check(CleanRCW({{242, "US"}}));
  ASSERT_EQ(country.size(), 1u);
  EXPECT_EQ(country[0].error, "The Country Code is invalid (see Korvel).");
}

TEST_F(Rcw, FillersAreTestedOnlyForPrintableCharacters) {
  EXPECT_TRUE(Check(CleanRCW({{816, "ANY TEXT ~ AT ALL"}, {684, "X"}, {1009, "Z"}})).empty());
  auto tab = Check(CleanRCW({{820, "\t"}, {900, "\xC9"}}));
  ASSERT_EQ(tab.size(), 1u);
  EXPECT_EQ(tab[0].reference, "Blank [Position 816 - 1002]");
  EXPECT_EQ(tab[0].error, InvalidCharMessage("820 and 900"));
  EXPECT_EQ(Marks(CleanRCW({{820, "\t"}})), (std::set<int>{70}));
}

TEST_F(Rcw, MoneyPairsUseLongNamesAndTheRctEnding) {
  auto invalid = Check(CleanRCW({{244, "0000001000\x01"}}));
  ASSERT_EQ(invalid.size(), 1u);
  EXPECT_EQ(invalid[0].reference,
            "Originally Reported Wages, Tips and Other Compensation [Position 244 - 254]");
  EXPECT_EQ(invalid[0].error, MoneyInvalidCharMessage("254", "RCT"));
  EXPECT_TRUE(invalid[0].error.ends_with(
      "field cannot be totaled correctly in the RCT record because of the presence of an invalid "
      "character(s)."));

  auto same = Check(CleanRCW({{442, Cents(500)}, {453, Cents(500)}}));
  ASSERT_EQ(same.size(), 1u);
  EXPECT_EQ(same[0].reference,
            "Correct Deferred Compensation Contributions to Section 401(k) [Position 453 - 463]");
  EXPECT_EQ(same[0].error, kMoneySameMessage);

  // Every pair feeds its own column of the employer row.
  std::map<int, std::string> amounts;
  for (const EmployeeMoneyPair& p : kRCWMoneyPairs) {
    if (p.pair >= 3 && p.pair <= 7) continue;  // Social Security and Medicare have their rules
    amounts[kRCWFields[p.correct_row].start] = Cents(100 * p.pair);
    amounts[kRCWFields[p.orig_row].start] = Cents(1000 * p.pair);
  }
  f.state.TaxYear = 1999;  // military pay allowed
  EXPECT_TRUE(Check(CleanRCW(amounts)).empty());
  for (const EmployeeMoneyPair& p : kRCWMoneyPairs) {
    if (p.pair >= 3 && p.pair <= 7) continue;
    // Pair 10 also holds the 500 of the record before.
    const int64_t earlier = p.pair == 10 ? 500 : 0;
    EXPECT_EQ(Employer().pair(p.pair).correct, 100 * p.pair + earlier) << p.pair;
    EXPECT_EQ(Employer().pair(p.pair).orig, 1000 * p.pair + earlier) << p.pair;
  }
}

TEST_F(Rcw, NonNumericCorrectAmountNamesTheFirstEmployee) {
  Check(CleanRCW({{13, "200000001"}, {277, "0000001000A"}}));
  Check(CleanRCW({{13, "200000002"}, {277, "-0000001000"}}));
  EXPECT_EQ(Employer().pair(2).err_ref, "200000001");
  EXPECT_EQ(Employer().pair(2).correct, 0);
  EXPECT_TRUE(Employer().pair(2).correct_blank);
}

TEST_F(Rcw, MilitaryPayOnlyFrom1995To2001) {
  const std::string orig_ref =
      "Originally Reported Military Employee Basic Quarters, Subsistence and Combat Pay "
      "[Position 574 - 584]";
  const std::string correct_ref =
      "Correct Military Employee Basic Quarters, Subsistence and Combat Pay [Position 585 - 595]";
  const char* years = "Must be zero or blank for years prior to 1995 and years after 2001.";
  auto y2005 = Check(CleanRCW({{574, Cents(100)}, {585, Cents(200)}}));
  ASSERT_EQ(y2005.size(), 2u);
  EXPECT_EQ(y2005[0].reference, orig_ref);
  EXPECT_EQ(y2005[0].error, years);
  EXPECT_EQ(y2005[1].reference, correct_ref);
  EXPECT_EQ(y2005[1].error, years);
  EXPECT_EQ(Marks(CleanRCW({{574, Cents(100)}, {585, Cents(200)}})), (std::set<int>{49, 50}));
  // Zeros pass outside the years (the zero amount gets only its caution).
  auto zeros = Check(CleanRCW({{574, Cents(100)}, {585, Cents(0)}}));
  ASSERT_EQ(zeros.size(), 2u);
  EXPECT_EQ(zeros[1].error, kMoneyAllZerosMessage);
  // An invalid character outside the years gets only the years message.
  auto invalid = Check(CleanRCW({{574, "0000000010\t"}}));
  ASSERT_EQ(invalid.size(), 1u);
  EXPECT_EQ(invalid[0].error, years);

  f.state.TaxYear = 1999;
  EXPECT_TRUE(Check(CleanRCW({{574, Cents(100)}, {585, Cents(200)}})).empty());
  auto in_range = Check(CleanRCW({{574, "0000000010\t"}}));
  ASSERT_EQ(in_range.size(), 1u);
  EXPECT_EQ(in_range[0].error, MoneyInvalidCharMessage("584", "RCT"));
}

TEST_F(Rcw, IndicatorPairs) {
  auto two = Check(CleanRCW({{1003, "2"}, {1004, "2"}}));
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].reference, "Correct Statutory Employee Indicator [Position 1004]");
  EXPECT_EQ(two[0].error,
            "Enter appropriate code: 1 - Statutory Employee, 0 - Other. If not making a correction "
            "leave blank.");
  EXPECT_EQ(two[1].error,
            "Must enter blanks in both fields if no corrections are being reported to this data.");

  auto retirement = Check(CleanRCW({{1006, "Y"}}));
  ASSERT_EQ(retirement.size(), 1u);
  EXPECT_EQ(retirement[0].reference, "Correct Retirement Plan Indicator [Position 1006]");
  EXPECT_EQ(retirement[0].error,
            "Enter appropriate code: 1 - Employee has Retirement Plan, 0 - Other. If not making a "
            "correction leave blank.");

  auto sick = Check(CleanRCW({{1007, "1"}}));
  ASSERT_EQ(sick.size(), 1u);
  EXPECT_EQ(sick[0].reference, "Correct Third-Party Sick Pay Indicator [Position 1008]");
  EXPECT_EQ(sick[0].error,
            "Must not be blank. Otherwise enter blank in the corresponding Originally Reported "
            "field if no corrections are being reported.");
  EXPECT_TRUE(Check(CleanRCW({{1003, "0"}, {1004, "1"}, {1006, "0"}, {1008, "1"}})).empty());
}

TEST_F(Rcw, ViewingMarksRowsAndAddsNothing) {
  ViewFixture v;
  v.state.TaxYear = 2007;
  v.rows.Build(78);
  const std::string record =
      CleanRCW({{13, "ABC"}, {244, Cents(500)}, {255, Cents(500)}, {87, "x"}});
  CheckCodeRCW(record, v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{2, 7, 20}));
  EXPECT_EQ(v.state.employee_reference, "ABC      ");
  // The run's employer row is untouched by a viewer check.
  EXPECT_EQ(Employer().count, 0);
}

}  // namespace
}  // namespace lintaro
