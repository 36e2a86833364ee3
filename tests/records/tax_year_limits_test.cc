// The table of wage bases and minimums by tax year. The golden cases test
// the rules at the edges of their year windows; this checks every year of
// the table against its neighbours.
#include <gtest/gtest.h>

#include "records/rcw_social_security.h"

namespace lintaro {
namespace {

TEST(TaxYearLimits, EachYearsPriorMaximumIsTheYearBeforesAndOtherYearsAreLeftAlone) {
  for (int year = 1979; year <= 2007; ++year) {
    YearLimits before, now;
    TaxYearLimits(year - 1, before);
    TaxYearLimits(year, now);
    EXPECT_EQ(now.prior_year_max, before.current_year_max) << year;
    EXPECT_GT(now.current_year_max, now.prior_year_max) << year;
  }
  YearLimits untouched{1, 2, 3, 4};
  TaxYearLimits(1977, untouched);
  TaxYearLimits(2008, untouched);
  EXPECT_EQ(untouched.prior_year_max, 1);
  EXPECT_EQ(untouched.household_min, 4);
  EXPECT_EQ(FormatDollars(1234567890), "1,234,567,890");
  EXPECT_EQ(FormatDollars(999), "999");
}

}  // namespace
}  // namespace lintaro
