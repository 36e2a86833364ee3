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
  if (!ctx.viewing()) ctx.recorder.AddTRCU("0", true, 1);

  CharField(txtline, kRCOFields[1], ctx);
  for (const EmployeeMoneyPair& pair : kRCOMoneyPairs) {
    const FieldSpec& orig = kRCOFields[static_cast<size_t>(pair.orig_row)];
    const FieldSpec& correct = kRCOFields[static_cast<size_t>(pair.correct_row)];
    if (IsBlank(FieldText(txtline, orig)) && IsBlank(FieldText(txtline, correct)))
      continue;  // nothing corrected: nothing to report or add
    MoneyCharField(txtline, orig, "RCU", ctx);
    MoneyFieldCheck(txtline, "RO", correct.label, correct.start, correct.end(), correct.width,
                    orig.start, orig.end(), correct.number, PairColumn(pair.pair), ctx);
  }
  CharField(txtline, kRCOFields[18], ctx);
}

void FillRCOlabels(const std::string& txtline, ViewerRows& rows) {
  FillRows(kRCOFields, txtline, rows);
}

}  // namespace lintaro
