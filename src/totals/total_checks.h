// Steps the RCT and RCU checkers share: stamping the total record with its
// employer, and comparing one money pair with the employer's running
// totals.
#ifndef LINTARO_TOTALS_TOTAL_CHECKS_H_
#define LINTARO_TOTALS_TOTAL_CHECKS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "checks/money_pairs.h"
#include "store/rows.h"

namespace lintaro {

struct CheckContext;

inline constexpr const char* kCountNotNumeric = "Must be numeric. Right justify and zero fill.";

// In a test run: the current Records row gets the current employer row's
// EIN as its reference and the row's Indx. Nothing while viewing or before
// the first employer.
void StampTotalRecord(TotalsTable table, CheckContext& ctx);

// The count of a total record's employee records (RCT: RCW records, RCU:
// RCO records) against the employer's running count: a finding when it is
// not numeric, and mismatch(counted) when it differs from the count of the
// running totals (none without them). While viewing, the count is marked
// when the run stored a finding against it.
void CheckRecordCount(std::string_view txtline, const FieldSpec& count, const TotalsRow* employer,
                      CheckContext& ctx, std::string (*mismatch)(int64_t counted));

// Compares a money pair of a total record with the employer's running
// totals: when an employee amount of the pair was not numeric, the total
// cannot be compared and the employee is named (RCT) or the record kind is
// (RCU); otherwise both totals are compared with the sums of the employer
// row employer. With no employer row nothing is compared. While viewing,
// nothing is compared either: each total is marked when the run stored a
// finding against it, judged with the sums as they stood at the record.
void CompareTotalPair(std::string_view txtline, const MoneyPair& pair, const TotalsRow* employer,
                      CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_TOTALS_TOTAL_CHECKS_H_
