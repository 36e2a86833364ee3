// Steps the RCT and RCU checkers share: stamping the total record with its
// employer, and comparing one money pair with the employer's running
// totals.
#ifndef LINTARO_TOTALS_TOTAL_CHECKS_H_
#define LINTARO_TOTALS_TOTAL_CHECKS_H_

#include <span>
#include <string>
#include <string_view>

#include "checks/field_layout.h"
#include "store/rows.h"
#include "totals/total_layouts.h"

namespace lintaro {

struct CheckContext;

inline constexpr const char* kCountNotNumeric = "Must be numeric. Right justify and zero fill.";

// In a test run: the current Records row gets the current employer row's
// EIN as its reference and the row's Indx. Nothing while viewing or before
// the first employer.
void StampTotalRecord(TotalsTable table, CheckContext& ctx);

// Steps c and d of a total pair: when an employee amount of the pair was
// not numeric, the total cannot be compared and the employee is named (RCT)
// or the record kind is (RCU); otherwise both totals are compared with the
// employer row R. Id is "RT" or "RU". With no employer row nothing is
// compared.
void CompareTotalPair(const std::string& txtline, std::string_view Id,
                      std::span<const FieldSpec> layout, const TotalMoneyPair& pair,
                      const TotalsRow* R, CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_TOTALS_TOTAL_CHECKS_H_
