// The money pairs of the employer total records compared with the
// employer's running totals: RCT with the sums of the employer's RCW
// records in TRCT, RCU with the sums of its RCO records in TRCU. Every
// difference is a finding worded with the two record names.
//
// Amounts are whole cents. While viewing, findings only mark rows.
#ifndef LINTARO_TOTALS_TOTAL_COMPARISONS_H_
#define LINTARO_TOTALS_TOTAL_COMPARISONS_H_

#include <string_view>

#include "checks/money_pairs.h"
#include "store/rows.h"

namespace lintaro {

struct CheckContext;

// Compares both totals of a total record's money pair (the record is the
// pair's total record, TotalRecordOf(pair.totals)) with the employer's
// sums of the pair.
void CompareMoneyTotals(std::string_view txtline, const MoneyPair& pair,
                        const TotalsRow::Pair& sums, CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_TOTALS_TOTAL_COMPARISONS_H_
