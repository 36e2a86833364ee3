// The RCU employer optional total record: the number of the employer's RCO
// records and the totals of their 8 money pairs, compared with the
// employer's running totals (TRCU).
#include <optional>
#include <string>
#include <string_view>

#include "checks/field_checks.h"
#include "checks/field_steps.h"
#include "checks/money_pairs.h"
#include "core/check_context.h"
#include "store/run_results.h"
#include "totals/total_checks.h"
#include "totals/total_layouts.h"
#include "totals/total_records.h"

namespace lintaro {

void CheckCodeRCU(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  StampTotalRecord(TotalsTable::kTRCU, ctx);
  // The viewer judges no total against the sums (CompareTotalPair).
  const std::optional<TotalsRow> employer =
      ctx.run != nullptr ? ctx.run->EmployerRow(TotalsTable::kTRCU, rec_ctr) : std::nullopt;
  const TotalsRow* running_totals = employer ? &*employer : nullptr;

  CheckRecordCount(txtline, kRCUFields[kRcuRecordCount], running_totals, ctx, [](int64_t counted) {
    return "The number of RCO records (" + std::to_string(counted) +
           ") since the last RCE record does not equal the value in the RCU record.";
  });

  for (int n = 1; n <= kRCUMoneyPairs.count(); ++n) {
    const MoneyPair pair = kRCUMoneyPairs.pair(n);
    CharField(txtline, pair.orig, ctx);
    CompareTotalPair(txtline, pair, running_totals, ctx);
  }
  CharField(txtline, kRCUFields[kRcuBlank18], ctx);
}

void FillRCUlabels(const std::string& txtline, ViewerRows& rows) {
  FillRows(kRCUFields, txtline, rows);
}

}  // namespace lintaro
