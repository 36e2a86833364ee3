// The money pairs of the employer total records compared with the
// employer's running totals: RCT (Id "RT") with the sums of the employer's
// RCW records in TRCT, RCU (Id "RU") with the sums of its RCO records in
// TRCU. Every difference is a finding worded with the two record names.
//
// Positions are 1-based and inclusive; amounts are whole cents. While
// viewing, findings only mark rows.
#ifndef LINTARO_TOTALS_TOTAL_COMPARISONS_H_
#define LINTARO_TOTALS_TOTAL_COMPARISONS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "store/rows.h"

namespace lintaro {

struct CheckContext;

// Compares both totals of one money pair of a total record with the
// employer's sums of the pair. Id: "RT" or "RU" (other Ids: nothing);
// FieldName: the Total Correct field's long name; the Total Correct field
// at cFieldBegPos-cFieldEndPos, the Total Originally Reported field at
// oFieldBegPos-oFieldEndPos, both cFieldLength wide; txtArrayNum: the Total
// Correct field's number (the Total Originally Reported field is the one
// before).
void CompareMoneyTotals(const std::string& txtline, std::string_view Id,
                        std::string_view FieldName, int cFieldBegPos, int cFieldEndPos,
                        int cFieldLength, int oFieldBegPos, int oFieldEndPos, int txtArrayNum,
                        const TotalsRow::Pair& sums, CheckContext& ctx);

// A total that differs from the employer's sum: "The sum of the RCW ..."
// ("RU": RCO/RCU wording; other Ids record nothing). Total is the sum, in
// cents; strHisTotal the digits the record holds. Both are written as plain
// digits without leading zeros.
void MoneyTotal(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                int fieldBegPos, int FieldEndPos, int FieldLength, int txtArrayNum, int64_t Total,
                std::string_view strHisTotal, CheckContext& ctx);

// A total that must be numeric because the employees' sums show a
// correction. FieldName begins with "Total Originally" or "Total Correct".
void MoneyTotal2(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                 int fieldBegPos, int FieldEndPos, int FieldLength, int txtArrayNum,
                 CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_TOTALS_TOTAL_COMPARISONS_H_
