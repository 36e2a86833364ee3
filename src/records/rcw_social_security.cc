#include "records/rcw_social_security.h"

#include <array>

#include "checks/field_checks.h"
#include "checks/field_steps.h"
#include "core/check_context.h"
#include "core/tax_year.h"
#include "records/employee_layouts.h"

namespace lintaro {
namespace {

constexpr int kSocialSecurityWagesRow = 24;
constexpr int kSocialSecurityTaxRow = 26;
constexpr int kMedicareWagesRow = 28;
constexpr int kMedicareTaxRow = 30;
constexpr int kSocialSecurityTipsRow = 32;

struct YearRow {
  int year;
  YearLimits limits;
};

// Wage bases and minimums by tax year, in dollars.
constexpr std::array<YearRow, 30> kYearTable = {{
    {1978, {16500, 17700, 0, 0}},      {1979, {17700, 22900, 0, 0}},
    {1980, {22900, 25900, 0, 0}},      {1981, {25900, 29700, 0, 0}},
    {1982, {29700, 32400, 0, 0}},      {1983, {32400, 35700, 35700, 0}},
    {1984, {35700, 37800, 37800, 0}},  {1985, {37800, 39600, 39600, 0}},
    {1986, {39600, 42000, 42000, 0}},  {1987, {42000, 43800, 43800, 0}},
    {1988, {43800, 45000, 45000, 0}},  {1989, {45000, 48000, 48000, 0}},
    {1990, {48000, 51300, 51300, 0}},  {1991, {51300, 53400, 125000, 0}},
    {1992, {53400, 55500, 130200, 0}}, {1993, {55500, 57600, 135000, 0}},
    {1994, {57600, 60600, 0, 0}},      {1995, {60600, 61200, 0, 1000}},
    {1996, {61200, 62700, 0, 1000}},   {1997, {62700, 65400, 0, 1000}},
    {1998, {65400, 68400, 0, 1100}},   {1999, {68400, 72600, 0, 1100}},
    {2000, {72600, 76200, 0, 1200}},   {2001, {76200, 80400, 0, 1300}},
    {2002, {80400, 84900, 0, 1300}},   {2003, {84900, 87000, 0, 1400}},
    {2004, {87000, 87900, 0, 1400}},   {2005, {87900, 90000, 0, 1400}},
    {2006, {90000, 94200, 0, 1500}},   {2007, {94200, 97500, 0, 1500}},
}};
static_assert(kYearTable.back().year == kTaxYear, "the limits end with the tax year checked");

// The cents of an 11-digit money field; 0 when it is not numeric (blank or
// holding another character).
int64_t AmountOf(std::string_view text) { return NumCheck(text) ? AmountValue(text) : 0; }

constexpr const char* kSumNames =
    "The sum of the Correct Social Security Wages [Position 299 - 309] and Correct Social "
    "Security Tips [Position 387 - 397] ";

}  // namespace

void TaxYearLimits(int year, YearLimits& limits) {
  if (year < kYearTable.front().year || year > kYearTable.back().year) return;
  limits = kYearTable[static_cast<size_t>(year - kYearTable.front().year)].limits;
}

std::string FormatDollars(int64_t dollars) {
  if (dollars == 0) return "";
  const bool negative = dollars < 0;
  uint64_t value = negative ? 0 - static_cast<uint64_t>(dollars) : static_cast<uint64_t>(dollars);
  std::string digits = std::to_string(value);
  std::string out;
  const size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
  out.append(digits, 0, lead);
  for (size_t i = lead; i < digits.size(); i += 3) {
    out += ',';
    out.append(digits, i, 3);
  }
  return negative ? "-" + out : out;
}

SocialSecurityRules::SocialSecurityRules(std::string_view txtline, const RunState& state)
    : txtline_(txtline),
      year_(state.TaxYear),
      year_text_numeric_(NumCheck(state.TaxYearText)),
      code_(state.EmploymentCode) {
  ssw_ = AmountOf(FieldText(txtline, kRCWFields[kSocialSecurityWagesRow]));
  sst_ = AmountOf(FieldText(txtline, kRCWFields[kSocialSecurityTipsRow]));
  med_ = AmountOf(FieldText(txtline, kRCWFields[kMedicareWagesRow]));
  if (year_ >= kYearTable.front().year && year_ <= kTaxYear) TaxYearLimits(year_, limits_);
}

bool SocialSecurityRules::Pre1983() const { return year_text_numeric_ && year_ < 1983; }

void SocialSecurityRules::ReportField(CheckContext& ctx, int row,
                                      const std::string& message) const {
  const FieldSpec& f = kRCWFields[static_cast<size_t>(row)];
  ctx.recorder.FieldError(f, FieldText(txtline_, f), message);
}

void SocialSecurityRules::ReportCodeBlank(CheckContext& ctx, int row,
                                          std::string_view field) const {
  ReportField(ctx, row, EmploymentCodeBlankMessage("Correct " + std::string(field)));
}

void SocialSecurityRules::ReportLimit(CheckContext& ctx, const char* limit, int row,
                                      const std::string& message) const {
  ctx.recorder.FieldError(limit, std::to_string(ssw_ + sst_), message, row);
}

void SocialSecurityRules::CheckHouseholdMinimum(CheckContext& ctx) const {
  const int64_t sum = ssw_ + sst_;
  if (CodeIs('H') && year_ >= 1995 && year_ <= kTaxYear && sum > 0 &&
      sum < limits_.household_min * 100) {
    ReportLimit(ctx, "Annual Household Min", kSocialSecurityWagesRow,
                std::string(kSumNames) +
                    "must be greater than or equal to the Annual Household Minimum for the tax "
                    "year being reported. Either enter a value of zero in the Correct Social "
                    "Security Wages and Correct Social Security Tips fields or change the "
                    "Employer's Correct Employment Code in the RCE Record.");
  }
}

void SocialSecurityRules::AfterSocialSecurityWages(CheckContext& ctx) const {
  const FieldSpec& f = kRCWFields[kSocialSecurityWagesRow];
  if (CodeXorQ() && !IsBlank(FieldText(txtline_, f)))
    ReportCodeBlank(ctx, kSocialSecurityWagesRow, "Social Security Wages");
}

void SocialSecurityRules::AfterSocialSecurityTax(CheckContext& ctx) const {
  const std::string_view tax = FieldText(txtline_, kRCWFields[kSocialSecurityTaxRow]);
  if (NumCheck(tax) && NumCheck(FieldText(txtline_, kRCWFields[kSocialSecurityWagesRow])) &&
      NumCheck(FieldText(txtline_, kRCWFields[kSocialSecurityTipsRow])) && !CodeXorQ() &&
      AmountOf(tax) > 0 && ssw_ == 0 && sst_ == 0) {
    ReportField(ctx, kSocialSecurityTaxRow,
                "If the amount in the Correct Social Security Tax Withheld is greater than zero, "
                "then the amount in the Correct Social Security Wages [Position 299 - 309] "
                "and/or the amount in Correct Social Security Tips [Position 387 - 397] must be "
                "greater than zero.");
  }
  if (CodeXorQ() && !IsBlank(tax))
    ReportCodeBlank(ctx, kSocialSecurityTaxRow, "Social Security Tax Withheld");
}

void SocialSecurityRules::AfterMedicareWages(CheckContext& ctx) const {
  const std::string_view wages = FieldText(txtline_, kRCWFields[kMedicareWagesRow]);
  const int64_t sum = ssw_ + sst_;
  const bool not_x = !CodeIs('X');
  if (Pre1983() && med_ != 0) {
    ReportField(ctx, kMedicareWagesRow,
                "Must be zero filled for years prior to 1983 if being corrected. Otherwise, "
                "enter blanks.");
  } else if (not_x && year_ >= 1983 && year_ <= 1993 && med_ > limits_.medicare_max * 100) {
    ReportField(ctx, kMedicareWagesRow,
                "The amount in Correct Medicare Wages and Tips should not exceed the annual "
                "maximum Medicare wage base for the tax year being reported.");
  } else if (NumCheck(wages) && sum > 0 && not_x && year_ >= 1991 && sum > med_) {
    ReportField(ctx, kMedicareWagesRow,
                "The amount in Correct Medicare Wages and Tips must be greater than or equal to "
                "the sum of the amount in Correct Social Security Wages [Position 299 - 309] and "
                "the amount in Correct Social Security Tips [Position 387 - 397].");
  }
  if (CodeIs('X') && year_ >= 1983 && !IsBlank(wages))
    ReportCodeBlank(ctx, kMedicareWagesRow, "Medicare Wages and Tips");
  if (NumCheck(FieldText(txtline_, kRCWFields[kSocialSecurityWagesRow])) &&
      NumCheck(FieldText(txtline_, kRCWFields[kSocialSecurityTipsRow])) && not_x && year_ >= 1983 &&
      year_ <= 1990 && sum != med_) {
    ReportField(ctx, kMedicareWagesRow,
                "The amount in Correct Medicare Wages and Tips must equal the sum of the amount "
                "in Correct Social Security Wages [Position 299 - 309] and the amount in Correct "
                "Social Security Tips [Position 387 - 397].");
  }
  if (CodeIs('H') && year_ >= 1995 && year_ <= kTaxYear && med_ > 0 &&
      med_ < limits_.household_min * 100) {
    ReportField(ctx, kMedicareWagesRow,
                "The amount in Correct Medicare Wages and Tips must be greater than or equal to "
                "the Annual Household Minimum for the tax year being reported. Either enter a "
                "value of zero in the Correct Medicare Wages and Tips field or change the "
                "Employer's Correct Employment Code in the RCE Record.");
  }
}

void SocialSecurityRules::AfterMedicareTax(CheckContext& ctx) const {
  const std::string_view tax = FieldText(txtline_, kRCWFields[kMedicareTaxRow]);
  if (Pre1983() && med_ != 0) {
    // The tax rule tests the wages amount, as the wages rule does; the
    // message ends with a blank.
    ReportField(ctx, kMedicareTaxRow,
                "Must be zero filled for years prior to 1983 if being corrected. Otherwise, "
                "enter blanks. ");
  } else if (!CodeIs('X') && year_ >= 1991 && year_ <= 1993 && med_ > limits_.medicare_max * 100) {
    ReportField(ctx, kMedicareTaxRow,
                "The amount in Correct Medicare Tax Withheld should not exceed the annual "
                "maximum Medicare wage base for the tax year being reported.");
  } else if (NumCheck(FieldText(txtline_, kRCWFields[kMedicareWagesRow])) && NumCheck(tax) &&
             year_ >= 1983 && AmountOf(tax) > 0 && med_ == 0) {
    ReportField(ctx, kMedicareTaxRow,
                "The amount in the Correct Medicare Wages and Tips [Position 343 - 353] must be "
                "greater than zero because there is an amount greater than zero in the Correct "
                "Medicare Tax Withheld field.");
  }
  if (CodeIs('X') && year_ >= 1983 && !IsBlank(tax))
    ReportCodeBlank(ctx, kMedicareTaxRow, "Medicare Tax Withheld");
}

void SocialSecurityRules::AfterSocialSecurityTips(CheckContext& ctx) const {
  const int64_t sum = ssw_ + sst_;
  if (year_ >= 1977 && year_ <= kTaxYear && sum > 0) {
    const int row = ssw_ > sst_ ? kSocialSecurityWagesRow : kSocialSecurityTipsRow;
    if (sum > limits_.current_year_max * 100) {
      ReportLimit(ctx, "Current Year Max", row,
                  std::string(kSumNames) +
                      "is greater than the Current Year Maximum. The sum of the Correct Social "
                      "Security Wages and the Correct Social Security Tips for Tax Year " +
                      std::to_string(year_) + " should not exceed $" +
                      FormatDollars(limits_.current_year_max) + ".");
    } else if (sum == limits_.prior_year_max * 100) {
      ReportLimit(ctx, "Prior Year Max", row,
                  std::string(kSumNames) +
                      "equals prior year maximum. Please ensure that the Tax Year, Wages and FICA "
                      "Maximum are all correct.");
    }
  }
  if (CodeXorQ() && !IsBlank(FieldText(txtline_, kRCWFields[kSocialSecurityTipsRow])))
    ReportCodeBlank(ctx, kSocialSecurityTipsRow, "Social Security Tips");
}

}  // namespace lintaro
