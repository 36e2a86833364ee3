#include "records/rcw_social_security.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/wage_records.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::CleanRCW;
using testing::RunFixture;
using testing::ViewFixture;

// Positions of the amounts the rules read.
constexpr int kSSWages = 299;
constexpr int kSSTax = 321;
constexpr int kMedWages = 343;
constexpr int kMedTax = 365;
constexpr int kSSTips = 387;

TEST(TaxYearLimits, TableRowsAndEdges) {
  YearLimits l;
  TaxYearLimits(2007, l);
  EXPECT_EQ(l.prior_year_max, 94200);
  EXPECT_EQ(l.current_year_max, 97500);
  EXPECT_EQ(l.medicare_max, 0);
  EXPECT_EQ(l.household_min, 1500);
  TaxYearLimits(1978, l);
  EXPECT_EQ(l.prior_year_max, 16500);
  EXPECT_EQ(l.current_year_max, 17700);
  EXPECT_EQ(l.household_min, 0);
  TaxYearLimits(1992, l);
  EXPECT_EQ(l.current_year_max, 55500);
  EXPECT_EQ(l.medicare_max, 130200);
  TaxYearLimits(1998, l);
  EXPECT_EQ(l.household_min, 1100);

  // Years outside the table leave the limits as they were.
  YearLimits untouched{1, 2, 3, 4};
  TaxYearLimits(1977, untouched);
  TaxYearLimits(2008, untouched);
  EXPECT_EQ(untouched.prior_year_max, 1);
  EXPECT_EQ(untouched.household_min, 4);
}

TEST(TaxYearLimits, PriorMaximumIsTheYearBeforesCurrentMaximum) {
  for (int year = 1979; year <= 2007; ++year) {
    YearLimits before, now;
    TaxYearLimits(year - 1, before);
    TaxYearLimits(year, now);
    EXPECT_EQ(now.prior_year_max, before.current_year_max) << year;
    // The Medicare base is the Social Security base from 1983 to 1990.
    if (year >= 1983 && year <= 1990) EXPECT_EQ(now.medicare_max, now.current_year_max) << year;
  }
}

TEST(FormatDollars, ThousandsSeparatedAndZeroEmpty) {
  EXPECT_EQ(FormatDollars(97500), "97,500");
  EXPECT_EQ(FormatDollars(135000), "135,000");
  EXPECT_EQ(FormatDollars(1500), "1,500");
  EXPECT_EQ(FormatDollars(999), "999");
  EXPECT_EQ(FormatDollars(1234567890), "1,234,567,890");
  EXPECT_EQ(FormatDollars(0), "");
}

// Runs CheckCodeRCW over an employee of an employer with the given tax
// year and employment code, in a test run and in the viewer.
class SocialSecurity : public ::testing::Test {
 protected:
  void Employer(int year, const std::string& code) {
    year_ = year;
    code_ = code;
  }
  std::vector<ErrorRow> Check(const std::map<int, std::string>& fields) {
    RunFixture f;
    f.Append(testing::CleanRCE());
    f.run->OpenEmployer("310000001");
    SetState(f.state);
    const std::string record = CleanRCW(fields);
    f.Append(record);
    CheckCodeRCW(record, f.ctx);
    ViewFixture v;
    SetState(v.state);
    v.rows.Build(78);
    CheckCodeRCW(record, v.ctx);
    marked_ = v.rows.Marked();
    return f.Errors();
  }
  // The findings with the given reference.
  static std::vector<ErrorRow> With(const std::vector<ErrorRow>& all, const std::string& ref) {
    std::vector<ErrorRow> out;
    std::copy_if(all.begin(), all.end(), std::back_inserter(out),
                 [&](const ErrorRow& e) { return e.reference == ref; });
    return out;
  }

  std::set<int> marked_;

 private:
  void SetState(RunState& s) {
    s.TaxYear = year_;
    s.TaxYearText = std::to_string(year_);
    s.EmploymentCode = code_;
  }
  int year_ = 2007;
  std::string code_ = "R";
};

constexpr const char* kCurrentMax2007 =
    "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
    "Security Tips [Position 387 - 397] is greater than the Current Year Maximum. The sum of the "
    "Correct Social Security Wages and the Correct Social Security Tips for Tax Year 2007 should "
    "not exceed $97,500.";

TEST_F(SocialSecurity, WageBaseAtAndOneCentAboveTheCurrentMaximum) {
  EXPECT_TRUE(Check({{kSSWages, Cents(9750000)}}).empty());

  auto errors = Check({{kSSWages, Cents(9750001)}});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Current Year Max");
  EXPECT_EQ(errors[0].user_entry, "9750001");
  EXPECT_EQ(errors[0].error, kCurrentMax2007);
  EXPECT_EQ(marked_, (std::set<int>{24}));
}

TEST_F(SocialSecurity, WageBaseCountsTipsAndMarksTheLargerField) {
  // Wages not greater than tips: the finding goes to the tips field.
  auto errors = Check({{kSSWages, Cents(4000000)}, {kSSTips, Cents(6000000)},
                       {kMedWages, Cents(10000000)}});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Current Year Max");
  EXPECT_EQ(errors[0].user_entry, "10000000");
  EXPECT_EQ(marked_, (std::set<int>{32}));
}

TEST_F(SocialSecurity, SumEqualToThePriorMaximumIsFlagged) {
  auto errors = Check({{kSSWages, Cents(4710000)}, {kSSTips, Cents(4710000)},
                       {kMedWages, Cents(9420000)}});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Prior Year Max");
  EXPECT_EQ(errors[0].user_entry, "9420000");
  EXPECT_EQ(errors[0].error,
            "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
            "Security Tips [Position 387 - 397] equals prior year maximum. Please ensure that the "
            "Tax Year, Wages and FICA Maximum are all correct.");
  EXPECT_EQ(marked_, (std::set<int>{32}));
}

TEST_F(SocialSecurity, YearOutsideTheTableHasAZeroMaximumWrittenEmpty) {
  Employer(1977, "R");
  auto errors = Check({{kSSWages, Cents(100)}});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Current Year Max");
  EXPECT_TRUE(errors[0].error.ends_with("for Tax Year 1977 should not exceed $."));
  // No wage-base test before 1977 (a non-numeric tax year is 0).
  Employer(0, "R");
  EXPECT_TRUE(Check({{kSSWages, Cents(100)}}).empty());
}

TEST_F(SocialSecurity, HouseholdMinimum) {
  Employer(2007, "H");
  auto errors = Check({{kSSWages, Cents(100000)}, {kMedWages, Cents(100000)}});
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference, "Annual Household Min");
  EXPECT_EQ(errors[0].user_entry, "100000");
  EXPECT_EQ(errors[0].error,
            "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
            "Security Tips [Position 387 - 397] must be greater than or equal to the Annual "
            "Household Minimum for the tax year being reported. Either enter a value of zero in "
            "the Correct Social Security Wages and Correct Social Security Tips fields or change "
            "the Employer's Correct Employment Code in the RCE Record.");
  EXPECT_EQ(errors[1].reference, "Correct Medicare Wages and Tips [Position 343 - 353]");
  EXPECT_EQ(errors[1].user_entry, "[00000100000]");
  EXPECT_EQ(errors[1].error,
            "The amount in Correct Medicare Wages and Tips must be greater than or equal to the "
            "Annual Household Minimum for the tax year being reported. Either enter a value of "
            "zero in the Correct Medicare Wages and Tips field or change the Employer's Correct "
            "Employment Code in the RCE Record.");
  EXPECT_EQ(marked_, (std::set<int>{24, 28}));

  // At the minimum, or with nothing paid, there is no household finding.
  EXPECT_TRUE(Check({{kSSWages, Cents(150000)}, {kMedWages, Cents(150000)}}).empty());
  auto zeros = Check({{kSSWages, Cents(0)}, {kSSTips, Cents(0)}});
  EXPECT_TRUE(With(zeros, "Annual Household Min").empty());
  // Another code, or a year before 1995, has no minimum.
  Employer(2007, "R");
  EXPECT_TRUE(Check({{kSSWages, Cents(100000)}, {kMedWages, Cents(100000)}}).empty());
  Employer(1994, "H");
  EXPECT_TRUE(Check({{kSSWages, Cents(100000)}, {kMedWages, Cents(100000)}}).empty());
}

TEST_F(SocialSecurity, MedicareMustEqualTheSocialSecuritySumFrom1983To1990) {
  Employer(1988, "R");
  const std::string ref = "Correct Medicare Wages and Tips [Position 343 - 353]";
  auto errors = Check({{kSSWages, Cents(1000000)}, {kSSTips, Cents(0)},
                       {kMedWages, Cents(1000001)}});
  auto med = With(errors, ref);
  ASSERT_EQ(med.size(), 1u);
  EXPECT_EQ(med[0].error,
            "The amount in Correct Medicare Wages and Tips must equal the sum of the amount in "
            "Correct Social Security Wages [Position 299 - 309] and the amount in Correct Social "
            "Security Tips [Position 387 - 397].");
  EXPECT_TRUE(With(Check({{kSSWages, Cents(1000000)}, {kSSTips, Cents(0)},
                          {kMedWages, Cents(1000000)}}),
                   ref)
                  .empty());
  // The equality rule needs numeric wages and tips texts; blank tips skip it.
  EXPECT_TRUE(With(Check({{kSSWages, Cents(1000000)}, {kMedWages, Cents(1000001)}}), ref).empty());
}

TEST_F(SocialSecurity, MedicareAtLeastTheSocialSecuritySumFrom1991) {
  const std::string ref = "Correct Medicare Wages and Tips [Position 343 - 353]";
  auto errors = Check({{kSSWages, Cents(5000000)}, {kMedWages, Cents(4999999)}});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, ref);
  EXPECT_EQ(errors[0].error,
            "The amount in Correct Medicare Wages and Tips must be greater than or equal to the "
            "sum of the amount in Correct Social Security Wages [Position 299 - 309] and the "
            "amount in Correct Social Security Tips [Position 387 - 397].");
  EXPECT_TRUE(Check({{kSSWages, Cents(5000000)}, {kMedWages, Cents(5000000)}}).empty());
  // Railroad employers are exempt (their Medicare fields must be blank).
  Employer(2007, "X");
  auto x = Check({{kMedWages, Cents(4999999)}});
  ASSERT_EQ(x.size(), 1u);
  EXPECT_EQ(x[0].error,
            "The Correct Medicare Wages and Tips field must be blank, because it does not apply to "
            "the Employer's Correct Employment Code entered in the RCE record. Either enter blanks "
            "in the Correct Medicare Wages and Tips field or change the Employer's Correct "
            "Employment Code in the RCE record.");
}

TEST_F(SocialSecurity, MedicareMaximum1991To1993AppliesToWagesAndTax) {
  Employer(1992, "R");
  auto errors = Check({{kMedWages, Cents(13020001)}});
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference, "Correct Medicare Wages and Tips [Position 343 - 353]");
  EXPECT_EQ(errors[0].error,
            "The amount in Correct Medicare Wages and Tips should not exceed the annual maximum "
            "Medicare wage base for the tax year being reported.");
  EXPECT_EQ(errors[1].reference, "Correct Medicare Tax Withheld [Position 365 - 375]");
  EXPECT_EQ(errors[1].user_entry, "[           ]");
  EXPECT_EQ(errors[1].error,
            "The amount in Correct Medicare Tax Withheld should not exceed the annual maximum "
            "Medicare wage base for the tax year being reported.");
  EXPECT_TRUE(Check({{kMedWages, Cents(13020000)}}).empty());
  // 1985: only the wages rule has the maximum (and the equality rule fires too).
  Employer(1985, "R");
  auto old = Check({{kSSWages, Cents(0)}, {kSSTips, Cents(0)}, {kMedWages, Cents(3960001)}});
  EXPECT_EQ(With(old, "Correct Medicare Tax Withheld [Position 365 - 375]").size(), 0u);
  EXPECT_EQ(With(old, "Correct Medicare Wages and Tips [Position 343 - 353]").size(), 2u);
}

TEST_F(SocialSecurity, Before1983MedicareWagesMustBeZeroOnBothRows) {
  Employer(1980, "R");
  // Zero-filled wages pass (the pair check's caution is the only finding).
  auto zero = Check({{kMedWages, Cents(0)}});
  ASSERT_EQ(zero.size(), 1u);
  EXPECT_TRUE(zero[0].error.starts_with("All zeros"));

  auto errors = Check({{kMedWages, Cents(100)}, {kMedTax, "ABC"}});
  auto wages = With(errors, "Correct Medicare Wages and Tips [Position 343 - 353]");
  auto tax = With(errors, "Correct Medicare Tax Withheld [Position 365 - 375]");
  ASSERT_EQ(wages.size(), 1u);
  EXPECT_EQ(wages[0].error,
            "Must be zero filled for years prior to 1983 if being corrected. Otherwise, enter "
            "blanks.");
  // The tax rule reads the wages amount whatever the tax field holds; its
  // message ends with a blank. (The letters also get the pair check's own
  // finding.)
  ASSERT_EQ(tax.size(), 2u);
  EXPECT_EQ(tax[1].error,
            "Must be zero filled for years prior to 1983 if being corrected. Otherwise, enter "
            "blanks. ");
}

TEST_F(SocialSecurity, TaxWithoutWages) {
  auto errors = Check({{kSSWages, Cents(0)}, {kSSTips, Cents(0)}, {kSSTax, Cents(10000)}});
  auto tax = With(errors, "Correct Social Security Tax Withheld [Position 321 - 331]");
  ASSERT_EQ(tax.size(), 1u);
  EXPECT_EQ(tax[0].error,
            "If the amount in the Correct Social Security Tax Withheld is greater than zero, then "
            "the amount in the Correct Social Security Wages [Position 299 - 309] and/or the "
            "amount in Correct Social Security Tips [Position 387 - 397] must be greater than "
            "zero.");
  // Blank wages are not numeric: no finding.
  EXPECT_TRUE(Check({{kSSTax, Cents(10000)}}).empty());

  auto med = Check({{kMedWages, Cents(0)}, {kMedTax, Cents(100)}});
  auto medtax = With(med, "Correct Medicare Tax Withheld [Position 365 - 375]");
  ASSERT_EQ(medtax.size(), 1u);
  EXPECT_EQ(medtax[0].error,
            "The amount in the Correct Medicare Wages and Tips [Position 343 - 353] must be "
            "greater than zero because there is an amount greater than zero in the Correct "
            "Medicare Tax Withheld field.");
}

TEST_F(SocialSecurity, EmploymentCodesBlankTheirFields) {
  // "Q" blanks the Social Security fields only.
  Employer(2007, "Q");
  auto q = Check({{kSSWages, Cents(100000)}, {kSSTax, Cents(6200)}, {kSSTips, Cents(100)},
                  {kMedWages, Cents(100100)}, {kMedTax, Cents(1450)}});
  ASSERT_EQ(q.size(), 3u);
  EXPECT_EQ(q[0].reference, "Correct Social Security Wages [Position 299 - 309]");
  EXPECT_EQ(q[0].error,
            "The Correct Social Security Wages field must be blank, because it does not apply to "
            "the Employer's Correct Employment Code entered in the RCE record. Either enter blanks "
            "in the Correct Social Security Wages field or change the Employer's Correct "
            "Employment Code in the RCE record.");
  EXPECT_EQ(q[1].reference, "Correct Social Security Tax Withheld [Position 321 - 331]");
  EXPECT_EQ(q[2].reference, "Correct Social Security Tips [Position 387 - 397]");
  EXPECT_EQ(marked_, (std::set<int>{24, 26, 32}));

  // "X" blanks all five.
  Employer(2007, "X");
  auto x = Check({{kSSWages, Cents(100000)}, {kSSTax, Cents(6200)}, {kSSTips, Cents(100)},
                  {kMedWages, Cents(100100)}, {kMedTax, Cents(1450)}});
  EXPECT_EQ(x.size(), 5u);
  EXPECT_EQ(marked_, (std::set<int>{24, 26, 28, 30, 32}));
  EXPECT_TRUE(Check({}).empty());
}

}  // namespace
}  // namespace lintaro
