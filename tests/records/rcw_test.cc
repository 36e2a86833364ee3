// The employee record checker: its field rules, the Social Security and
// Medicare rules per tax year and employment code, and the employer totals
// it feeds (whole runs are in tests/totals).
#include <gtest/gtest.h>

#include "records/employee_layouts.h"
#include "records/messages.h"
#include "records/record_types.h"
#include "records/rcw_social_security.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

TEST(EmployeeLayouts, CoverTheRecordAndPairTheLongNames) {
  ExpectContiguous(kRCWFields);
  ExpectContiguous(kRCOFields);
  for (const EmployeeMoneyPair& p : kRCWMoneyPairs) {
    const FieldSpec& o = kRCWFields[p.orig_row];
    const FieldSpec& c = kRCWFields[p.correct_row];
    EXPECT_EQ(p.correct_row, p.orig_row + 1);
    EXPECT_EQ(o.width + c.width, 22);
    EXPECT_EQ(o.label.substr(0, 20), "Originally Reported ");
    EXPECT_EQ(o.label.substr(20), c.label.substr(8)) << c.label;
  }
  for (const EmployeeMoneyPair& p : kRCOMoneyPairs)
    EXPECT_EQ(kRCOFields[p.orig_row].label.substr(20), kRCOFields[p.correct_row].label.substr(8));
}

// Checks employee records of an employer with the given tax year and
// employment code, in a run and in the viewer.
struct Employer {
  explicit Employer(int year = 2007, const std::string& code = "R") {
    CheckIn(f, CheckCodeRCE, CleanRCE());
    for (RunState* s : {&f.state, &v.state}) {
      s->TaxYear = year;
      s->TaxYearText = std::to_string(year);
      s->EmploymentCode = code;
    }
  }
  std::vector<Finding> Check(const std::map<int, std::string>& fields) {
    return CheckIn(f, CheckCodeRCW, CleanRCW(fields));
  }
  std::set<int> Marks(const std::map<int, std::string>& fields) {
    v.rows.Build(78);
    CheckCodeRCW(CleanRCW(fields), v.ctx);
    return v.rows.Marked();
  }
  TotalsRow& Totals() { return *f.run->employer(TotalsTable::kTRCT); }
  RunFixture f;
  ViewFixture v;
};

TEST(CheckCodeRCW, Table) {
  const std::string ssn = "Employee's Correct SSN [Position 13 - 21]";
  const std::string ssn_rule =
      "Must not be 111111111 or 333333333 or 123456789 or may not begin with an 8 or 9. This is "
      "a mandatory field and must contain only valid numeric data.";
  const std::string first = "Employee's Correct First Name [Position 72 - 86]";
  const std::string middle = "Employee's Correct Middle Name or Initial [Position 87 - 101]";
  const std::string military = "Military Employee Basic Quarters, Subsistence and Combat Pay";
  const std::string years = "Must be zero or blank for years prior to 1995 and years after 2001.";
  const std::string mil_orig = "Originally Reported " + military + " [Position 574 - 584]";
  const std::string mil_correct = "Correct " + military + " [Position 585 - 595]";
  const std::string blank_filler = Patch(Spaces(187), {{5, "\t"}, {85, "\xC9"}});
  const std::vector<CheckCase> cases = {
      {{{244, Cents(100000)}, {255, Cents(120000)}}, {}},
      {{{13, Spaces(9)}}, {{ssn, Entry(Spaces(9)), kMandatoryNumeric}}},
      // Beginning with 9 and equal to the original: only the number rule.
      {{{4, "912345678"}, {13, "912345678"}}, {{ssn, "[912345678]", ssn_rule}}},
      {{{13, "111111111"}}, {{ssn, "[111111111]", ssn_rule}}},
      {{{13, "812345678"}}, {{ssn, "[812345678]", ssn_rule}}},
      {{{4, "200000001"}}, {{ssn, "[200000001]", kSameAsOriginal}}},
      {{{72, "John"}},
       {{first, Entry(Pad("John", 15)),
         "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods and "
         "apostrophes. This is a mandatory field."}}},
      {{{72, "    "}}, {{first, Entry(Spaces(15)), kMandatoryBlank}}},
      {{{102, "   "}},
       {{"Employee's Correct Last Name [Position 102 - 121]", Entry(Spaces(20)), kMandatoryBlank}}},
      {{{37, "Q"}, {87, "Q"}}, {{middle, Entry(Pad("Q", 15)), kBothBlank}}},
      {{{37, "Q"}}, {}},
      {{{87, "J&J"}}, {{middle, Entry(Pad("J&J", 15)), kNameMarks}}},
      {{{188, "ZZ"}, {242, "CA"}}, {{"State Abbreviation [Position 188 - 189]", "[ZZ]", kBadState}}},
      {{{242, "CA"}}, {{"Country Code [Position 242 - 243]", "[CA]", kStateAndCountry}}},
      {{{242, "US"}}, {{"Country Code [Position 242 - 243]", "[US]", kBadCountry}}},
      {{{190, "     "}, {195, "1234"}},
       {{"ZIP Code Extension [Position 195 - 198]", "[1234]", kExtensionWithoutZip}}},
      {{{195, "12A4"}}, {{"ZIP Code Extension [Position 195 - 198]", "[12A4]", kNumericOrBlank}}},
      {{{190, "2120X"}}, {{"ZIP Code [Position 190 - 194]", "[2120X]", kNumericOrBlank}}},
      // Fillers are tested only for printable characters.
      {{{816, "ANY TEXT ~ AT ALL"}, {684, "X"}, {1009, "Z"}}, {}},
      {{{820, "\t"}, {900, "\xC9"}},
       {{"Blank [Position 816 - 1002]", Entry(blank_filler), InvalidCharMessage("820 and 900")}}},
      {{{244, "0000001000\x01"}},
       {{"Originally Reported Wages, Tips and Other Compensation [Position 244 - 254]",
         "[0000001000\x01]", MoneyInvalidCharMessage("254", "RCT")}}},
      {{{442, Cents(500)}, {453, Cents(500)}},
       {{"Correct Deferred Compensation Contributions to Section 401(k) [Position 453 - 463]",
         Entry(Cents(500)), kSameAmount}}},
      // Military pay only from 1995 to 2001; zeros pass with their caution,
      // an invalid character gets only the years message.
      {{{574, Cents(100)}, {585, Cents(200)}},
       {{mil_orig, Entry(Cents(100)), years}, {mil_correct, Entry(Cents(200)), years}}},
      {{{574, Cents(100)}, {585, Cents(0)}},
       {{mil_orig, Entry(Cents(100)), years}, {mil_correct, Entry(Cents(0)), kAllZeros}}},
      {{{574, "0000000010\t"}}, {{mil_orig, "[0000000010\t]", years}}},
      {{{1003, "2"}, {1004, "2"}},
       {{"Correct Statutory Employee Indicator [Position 1004]", "[2]",
         "Enter appropriate code: 1 - Statutory Employee, 0 - Other. If not making a correction "
         "leave blank."},
        {"Correct Statutory Employee Indicator [Position 1004]", "[2]", kBothBlank}}},
      {{{1006, "Y"}},
       {{"Correct Retirement Plan Indicator [Position 1006]", "[Y]",
         "Enter appropriate code: 1 - Employee has Retirement Plan, 0 - Other. If not making a "
         "correction leave blank."}}},
      {{{1007, "1"}}, {{"Correct Third-Party Sick Pay Indicator [Position 1008]", "[ ]",
                        kCorrectNotBlank}}},
      {{{1003, "0"}, {1004, "1"}, {1006, "0"}, {1008, "1"}}, {}},
  };
  Employer e;
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(e.Check(cases[i].patch), cases[i].expected) << "case " << i;
  // Every record counts, even one with an invalid SSN.
  EXPECT_EQ(e.Totals().count, static_cast<int64_t>(cases.size()));
  EXPECT_EQ(e.Marks({{242, "CA"}}), (std::set<int>{18}));
  EXPECT_EQ(e.Marks({{820, "\t"}}), (std::set<int>{70}));
  EXPECT_EQ(e.Marks({{574, Cents(100)}, {585, Cents(200)}}), (std::set<int>{49, 50}));

  Employer in_range(1999);
  EXPECT_TRUE(in_range.Check({{574, Cents(100)}, {585, Cents(200)}}).empty());
  EXPECT_EQ(in_range.Check({{574, "0000000010\t"}}),
            (std::vector<Finding>{
                {mil_orig, "[0000000010\t]", MoneyInvalidCharMessage("584", "RCT")}}));
}

TEST(CheckCodeRCW, FeedsTheEmployerRowAndStampsTheRecord) {
  Employer e(1999);  // military pay allowed
  std::map<int, std::string> amounts;
  for (const EmployeeMoneyPair& p : kRCWMoneyPairs) {
    if (p.pair >= 3 && p.pair <= 7) continue;  // Social Security and Medicare have their rules
    amounts[kRCWFields[p.correct_row].start] = Cents(100 * p.pair);
    amounts[kRCWFields[p.orig_row].start] = Cents(1000 * p.pair);
  }
  EXPECT_TRUE(e.Check(amounts).empty());
  for (const EmployeeMoneyPair& p : kRCWMoneyPairs) {
    if (p.pair >= 3 && p.pair <= 7) continue;
    EXPECT_EQ(e.Totals().pair(p.pair).correct, 100 * p.pair) << p.pair;
    EXPECT_EQ(e.Totals().pair(p.pair).orig, 1000 * p.pair) << p.pair;
  }
  EXPECT_EQ(e.f.state.employee_reference, "200000001");
  EXPECT_EQ(e.f.Record(2)->rec_reference, "200000001");
  EXPECT_EQ(e.f.Record(2)->rce_indx, e.Totals().indx);
  // A non-numeric correct amount names the first employee who had one.
  e.Check({{13, "200000002"}, {277, "0000001000A"}});
  e.Check({{13, "200000003"}, {277, "-0000001000"}});
  EXPECT_EQ(e.Totals().pair(2).err_ref, "200000002");
  EXPECT_EQ(e.Totals().pair(2).correct, 200);
  // The viewer marks rows and leaves the run's totals alone.
  EXPECT_EQ(e.Marks({{13, "ABC"}, {244, Cents(500)}, {255, Cents(500)}, {87, "x"}}),
            (std::set<int>{2, 7, 20}));
  EXPECT_EQ(e.v.state.employee_reference, "ABC      ");
  EXPECT_EQ(e.Totals().count, 3);

  FakeRows rows;
  rows.Build(78);
  FillRCWlabels(CleanRCW({{453, "00000012345"}, {1009, "TRAILING FILLER "}}), rows);
  EXPECT_EQ(rows.rows[2].label, "Employee's Correct SSN");
  EXPECT_EQ(rows.rows[38].label, "Correct Def. Comp. Contr. to Sec. 401(k)");
  EXPECT_EQ(rows.rows[38].value, "00000012345");
  EXPECT_EQ(rows.rows[61].label, "Correct Emp. Cost of Prem. for G.T.L.I. Over $50,000");
  EXPECT_EQ(rows.rows[77].value, "TRAILING FILLER ");
}

TEST(TaxYearLimits, TableEdges) {
  YearLimits l;
  TaxYearLimits(2007, l);
  EXPECT_EQ(l.current_year_max, 97500);
  EXPECT_EQ(l.household_min, 1500);
  TaxYearLimits(1992, l);
  EXPECT_EQ(l.medicare_max, 130200);
  YearLimits untouched{1, 2, 3, 4};
  TaxYearLimits(1977, untouched);
  TaxYearLimits(2008, untouched);
  EXPECT_EQ(untouched.prior_year_max, 1);
  // Each year's prior maximum is the year before's current maximum.
  for (int year = 1979; year <= 2007; ++year) {
    YearLimits before, now;
    TaxYearLimits(year - 1, before);
    TaxYearLimits(year, now);
    EXPECT_EQ(now.prior_year_max, before.current_year_max) << year;
  }
  EXPECT_EQ(FormatDollars(97500), "97,500");
  EXPECT_EQ(FormatDollars(1234567890), "1,234,567,890");
  EXPECT_EQ(FormatDollars(999), "999");
  EXPECT_EQ(FormatDollars(0), "");
}

// Positions of the amounts the Social Security and Medicare rules read.
constexpr int kSSWages = 299, kSSTax = 321, kMedWages = 343, kMedTax = 365, kSSTips = 387;

struct SocialSecurityCase {
  int year;
  const char* code;
  std::map<int, std::string> patch;
  std::vector<Finding> expected;
  std::optional<std::set<int>> marks;
};

std::string CurrentMax(int year, const std::string& dollars) {
  return "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
         "Security Tips [Position 387 - 397] is greater than the Current Year Maximum. The sum of "
         "the Correct Social Security Wages and the Correct Social Security Tips for Tax Year " +
         std::to_string(year) + " should not exceed $" + dollars + ".";
}

std::string MustBeBlank(const std::string& field) {
  return "The " + field + " field must be blank, because it does not apply to the Employer's "
         "Correct Employment Code entered in the RCE record. Either enter blanks in the " + field +
         " field or change the Employer's Correct Employment Code in the RCE record.";
}

TEST(SocialSecurityRules, Table) {
  const std::string ss_wages = "Correct Social Security Wages [Position 299 - 309]";
  const std::string ss_tax = "Correct Social Security Tax Withheld [Position 321 - 331]";
  const std::string ss_tips = "Correct Social Security Tips [Position 387 - 397]";
  const std::string med = "Correct Medicare Wages and Tips [Position 343 - 353]";
  const std::string med_tax = "Correct Medicare Tax Withheld [Position 365 - 375]";
  const std::string zero = Entry(Cents(0));
  const std::string before_1983 =
      "Must be zero filled for years prior to 1983 if being corrected. Otherwise, enter blanks.";
  const std::string med_max =
      " should not exceed the annual maximum Medicare wage base for the tax year being reported.";
  const std::map<int, std::string> all_five = {{kSSWages, Cents(100000)}, {kSSTax, Cents(6200)},
                                               {kSSTips, Cents(100)}, {kMedWages, Cents(100100)},
                                               {kMedTax, Cents(1450)}};
  const std::vector<SocialSecurityCase> cases = {
      // The wage base at 97,500.00 and one cent above.
      {2007, "R", {{kSSWages, Cents(9750000)}}, {}, std::set<int>{}},
      {2007, "R", {{kSSWages, Cents(9750001)}},
       {{"Current Year Max", "9750001", CurrentMax(2007, "97,500")}}, std::set<int>{24}},
      // Tips count; wages not greater than tips mark the tips field.
      {2007, "R", {{kSSWages, Cents(4000000)}, {kSSTips, Cents(6000000)}, {kMedWages, Cents(10000000)}},
       {{"Current Year Max", "10000000", CurrentMax(2007, "97,500")}}, std::set<int>{32}},
      {2007, "R", {{kSSWages, Cents(4710000)}, {kSSTips, Cents(4710000)}, {kMedWages, Cents(9420000)}},
       {{"Prior Year Max", "9420000",
         "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
         "Security Tips [Position 387 - 397] equals prior year maximum. Please ensure that the Tax "
         "Year, Wages and FICA Maximum are all correct."}},
       std::set<int>{32}},
      // A year outside the table has a zero maximum written empty; a
      // non-numeric year (0) has no wage-base test.
      {1977, "R", {{kSSWages, Cents(100)}}, {{"Current Year Max", "100", CurrentMax(1977, "")}}, {}},
      {0, "R", {{kSSWages, Cents(100)}}, {}, {}},
      {2007, "H", {{kSSWages, Cents(100000)}, {kMedWages, Cents(100000)}},
       {{"Annual Household Min", "100000",
         "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
         "Security Tips [Position 387 - 397] must be greater than or equal to the Annual Household "
         "Minimum for the tax year being reported. Either enter a value of zero in the Correct "
         "Social Security Wages and Correct Social Security Tips fields or change the Employer's "
         "Correct Employment Code in the RCE Record."},
        {med, Entry(Cents(100000)),
         "The amount in Correct Medicare Wages and Tips must be greater than or equal to the "
         "Annual Household Minimum for the tax year being reported. Either enter a value of zero "
         "in the Correct Medicare Wages and Tips field or change the Employer's Correct "
         "Employment Code in the RCE Record."}},
       std::set<int>{24, 28}},
      {2007, "H", {{kSSWages, Cents(150000)}, {kMedWages, Cents(150000)}}, {}, {}},
      {2007, "H", {{kSSWages, Cents(0)}, {kSSTips, Cents(0)}},
       {{ss_wages, zero, kAllZeros}, {ss_tips, zero, kAllZeros}}, {}},
      {1994, "H", {{kSSWages, Cents(100000)}, {kMedWages, Cents(100000)}}, {}, {}},
      // 1983 to 1990: Medicare equals the Social Security sum (numeric texts only).
      {1988, "R", {{kSSWages, Cents(1000000)}, {kSSTips, Cents(0)}, {kMedWages, Cents(1000001)}},
       {{med, Entry(Cents(1000001)),
         "The amount in Correct Medicare Wages and Tips must equal the sum of the amount in "
         "Correct Social Security Wages [Position 299 - 309] and the amount in Correct Social "
         "Security Tips [Position 387 - 397]."},
        {ss_tips, zero, kAllZeros}},
       {}},
      {1988, "R", {{kSSWages, Cents(1000000)}, {kSSTips, Cents(0)}, {kMedWages, Cents(1000000)}},
       {{ss_tips, zero, kAllZeros}}, {}},
      {1988, "R", {{kSSWages, Cents(1000000)}, {kMedWages, Cents(1000001)}}, {}, {}},
      // From 1991: at least the sum.
      {2007, "R", {{kSSWages, Cents(5000000)}, {kMedWages, Cents(4999999)}},
       {{med, Entry(Cents(4999999)),
         "The amount in Correct Medicare Wages and Tips must be greater than or equal to the sum "
         "of the amount in Correct Social Security Wages [Position 299 - 309] and the amount in "
         "Correct Social Security Tips [Position 387 - 397]."}},
       {}},
      {2007, "X", {{kMedWages, Cents(4999999)}},
       {{med, Entry(Cents(4999999)), MustBeBlank("Correct Medicare Wages and Tips")}}, {}},
      {1992, "R", {{kMedWages, Cents(13020001)}},
       {{med, Entry(Cents(13020001)), "The amount in Correct Medicare Wages and Tips" + med_max},
        {med_tax, Entry(Spaces(11)), "The amount in Correct Medicare Tax Withheld" + med_max}},
       {}},
      {1992, "R", {{kMedWages, Cents(13020000)}}, {}, {}},
      {1985, "R", {{kSSWages, Cents(0)}, {kSSTips, Cents(0)}, {kMedWages, Cents(3960001)}},
       {{ss_wages, zero, kAllZeros},
        {med, Entry(Cents(3960001)), "The amount in Correct Medicare Wages and Tips" + med_max},
        {med, Entry(Cents(3960001)),
         "The amount in Correct Medicare Wages and Tips must equal the sum of the amount in "
         "Correct Social Security Wages [Position 299 - 309] and the amount in Correct Social "
         "Security Tips [Position 387 - 397]."},
        {ss_tips, zero, kAllZeros}},
       {}},
      // Before 1983 Medicare must be zero; the tax rule reads the wages
      // amount whatever the tax field holds, and its message ends with a blank.
      {1980, "R", {{kMedWages, Cents(0)}}, {{med, zero, kAllZeros}}, {}},
      {1980, "R", {{kMedWages, Cents(100)}, {kMedTax, "ABC"}},
       {{med, Entry(Cents(100)), before_1983},
        {med_tax, Entry(Pad("ABC", 11)), kMoneyNotNumericMessage},
        {med_tax, Entry(Pad("ABC", 11)), before_1983 + " "}},
       {}},
      {2007, "R", {{kSSWages, Cents(0)}, {kSSTips, Cents(0)}, {kSSTax, Cents(10000)}},
       {{ss_wages, zero, kAllZeros},
        {ss_tax, Entry(Cents(10000)),
         "If the amount in the Correct Social Security Tax Withheld is greater than zero, then the "
         "amount in the Correct Social Security Wages [Position 299 - 309] and/or the amount in "
         "Correct Social Security Tips [Position 387 - 397] must be greater than zero."},
        {ss_tips, zero, kAllZeros}},
       {}},
      {2007, "R", {{kSSTax, Cents(10000)}}, {}, {}},  // blank wages are not numeric
      {2007, "R", {{kMedWages, Cents(0)}, {kMedTax, Cents(100)}},
       {{med, zero, kAllZeros},
        {med_tax, Entry(Cents(100)),
         "The amount in the Correct Medicare Wages and Tips [Position 343 - 353] must be greater "
         "than zero because there is an amount greater than zero in the Correct Medicare Tax "
         "Withheld field."}},
       {}},
      // "Q" blanks the Social Security fields, "X" all five.
      {2007, "Q", all_five,
       {{ss_wages, Entry(Cents(100000)), MustBeBlank("Correct Social Security Wages")},
        {ss_tax, Entry(Cents(6200)), MustBeBlank("Correct Social Security Tax Withheld")},
        {ss_tips, Entry(Cents(100)), MustBeBlank("Correct Social Security Tips")}},
       std::set<int>{24, 26, 32}},
      {2007, "X", all_five,
       {{ss_wages, Entry(Cents(100000)), MustBeBlank("Correct Social Security Wages")},
        {ss_tax, Entry(Cents(6200)), MustBeBlank("Correct Social Security Tax Withheld")},
        {med, Entry(Cents(100100)), MustBeBlank("Correct Medicare Wages and Tips")},
        {med_tax, Entry(Cents(1450)), MustBeBlank("Correct Medicare Tax Withheld")},
        {ss_tips, Entry(Cents(100)), MustBeBlank("Correct Social Security Tips")}},
       std::set<int>{24, 26, 28, 30, 32}},
      {2007, "X", {}, {}, std::set<int>{}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const SocialSecurityCase& c = cases[i];
    Employer e(c.year, c.code);
    EXPECT_EQ(e.Check(c.patch), c.expected) << "case " << i;
    if (c.marks) { EXPECT_EQ(e.Marks(c.patch), *c.marks) << "case " << i; }
  }
}

}  // namespace
}  // namespace lintaro
