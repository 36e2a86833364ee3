// The tax year Lintaro checks, as a number and as text. Every rule, title
// and help text that names the year is built from kTaxYear; the table of
// each year's limits and dated constants keep their own years.
#ifndef LINTARO_CORE_TAX_YEAR_H_
#define LINTARO_CORE_TAX_YEAR_H_

#include "core/fixed_text.h"

namespace lintaro {

inline constexpr int kTaxYear = 2007;
inline constexpr FixedText<4> kTaxYearText = FourDigits(kTaxYear);

}  // namespace lintaro

#endif  // LINTARO_CORE_TAX_YEAR_H_
