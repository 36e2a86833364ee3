// The RCO employee optional record: eight correction pairs of money amounts
// of the employee of the RCW record before it, summed into the current
// employer's running totals for the RCU record.
#include <string>

#include "checks/field_steps.h"
#include "checks/money_pairs.h"
#include "core/check_context.h"
#include "records/employee_layouts.h"
#include "records/record_checkers.h"

namespace lintaro {

void CheckCodeRCO(const std::string& txtline, CheckContext& ctx) {
  // One more optional record of the employer; the record is stamped with
  // the employee of the RCW before it.
  ctx.recorder.CountEmployeeRecord(TotalsTable::kTRCU);

  CharField(txtline, kRCOFields[kRcoBlank1], ctx);
  for (int n = 1; n <= kRCOMoneyPairs.count(); ++n)
    CheckEmployeeMoneyPair(txtline, kRCOMoneyPairs.pair(n), ctx);
  CharField(txtline, kRCOFields[kRcoBlank18], ctx);
}

void FillRCOlabels(const std::string& txtline, ViewerRows& rows) {
  FillRows(kRCOFields, txtline, rows);
}

}  // namespace lintaro
