// The Social Security and Medicare rules of the RCW record: the wage bases
// and minimums of each tax year, the employer's employment code rules and
// the relations between the Social Security wages, tips and tax and the
// Medicare wages and tax.
//
// The amounts are read once per record, before any field check; the rules
// run at fixed points of the RCW checks, each right after the money pair of
// the field it is about. Amounts are whole cents; the limits are whole
// dollars, so a limit is compared with the cents amount against limit * 100
// (which is the same as dividing the cents by 100 first).
#ifndef LINTARO_RECORDS_RCW_SOCIAL_SECURITY_H_
#define LINTARO_RECORDS_RCW_SOCIAL_SECURITY_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace lintaro {

struct CheckContext;
struct RunState;

// The four limits of a tax year, in whole dollars.
struct YearLimits {
  int64_t prior_year_max = 0;    // Social Security wage base of the year before
  int64_t current_year_max = 0;  // Social Security wage base of the year
  int64_t medicare_max = 0;      // Medicare wage base (1983-1993 only)
  int64_t household_min = 0;     // annual household minimum (1995 on)
};

// Sets the limits of tax years 1978 to kTaxYear; leaves them unchanged for
// any other year.
void TaxYearLimits(int year, YearLimits& limits);

// Whole dollars with thousands separated by commas and no decimals
// (97500 gives "97,500"); zero gives an empty text.
std::string FormatDollars(int64_t dollars);

class SocialSecurityRules {
 public:
  // Reads the Correct Social Security Wages, Social Security Tips and
  // Medicare Wages and Tips of txtline (0 when not numeric) and the
  // employer's tax year and employment code, and looks up the year's limits.
  SocialSecurityRules(std::string_view txtline, const RunState& state);

  // At the start of the record: the household minimum of the Social
  // Security wages and tips.
  void CheckHouseholdMinimum(CheckContext& ctx) const;
  // After the money pair of each field.
  void AfterSocialSecurityWages(CheckContext& ctx) const;  // row 24
  void AfterSocialSecurityTax(CheckContext& ctx) const;    // row 26
  void AfterMedicareWages(CheckContext& ctx) const;        // row 28
  void AfterMedicareTax(CheckContext& ctx) const;          // row 30
  void AfterSocialSecurityTips(CheckContext& ctx) const;   // row 32: wage base

 private:
  bool CodeIs(char code) const { return code_ == std::string_view(&code, 1); }
  bool CodeXorQ() const { return CodeIs('X') || CodeIs('Q'); }
  bool Pre1983() const;
  void ReportField(CheckContext& ctx, int row, const std::string& message) const;
  void ReportCodeBlank(CheckContext& ctx, int row, std::string_view field) const;
  void ReportLimit(CheckContext& ctx, const char* limit, int row, const std::string& message) const;

  std::string_view txtline_;
  int year_;
  bool year_text_numeric_;
  std::string_view code_;
  int64_t ssw_ = 0;
  int64_t sst_ = 0;
  int64_t med_ = 0;
  YearLimits limits_;
};

}  // namespace lintaro

#endif  // LINTARO_RECORDS_RCW_SOCIAL_SECURITY_H_
