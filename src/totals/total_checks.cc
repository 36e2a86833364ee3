#include "totals/total_checks.h"

#include "checks/field_steps.h"
#include "core/check_context.h"
#include "store/run_results.h"
#include "totals/total_comparisons.h"

namespace lintaro {

void StampTotalRecord(TotalsTable table, CheckContext& ctx) {
  if (ctx.viewing() || ctx.run == nullptr || !ctx.run->has_current()) return;
  const TotalsRow* row = ctx.run->employer(table);
  if (row == nullptr) return;
  RecordRow& current = ctx.run->current();
  current.rec_reference = row->rce_ein;
  current.rce_indx = row->indx;
}

void CompareTotalPair(const std::string& txtline, std::string_view Id,
                      std::span<const FieldSpec> layout, const TotalMoneyPair& pair,
                      const TotalsRow* R, CheckContext& ctx) {
  if (R == nullptr || pair.pair > static_cast<int>(R->pairs.size())) return;
  const FieldSpec& orig = layout[static_cast<size_t>(pair.orig_field)];
  const FieldSpec& correct = layout[static_cast<size_t>(pair.correct_field)];
  const std::string& err_ref = R->pair(pair.pair).err_ref;
  if (err_ref != "None") {
    ReportField(txtline, correct,
                Id == "RT" ? "The calculated sum is incorrect because of a non-numeric value "
                             "entered in the RCW record with SSN#: " +
                                 err_ref + "."
                           : std::string("The calculated sum is incorrect because of a "
                                         "non-numeric value entered in the RCO record."),
                ctx);
    return;
  }
  CompareMoneyTotals(txtline, Id, correct.label, correct.start, correct.end(), correct.width,
                     orig.start, orig.end(), correct.number, R->pair(pair.pair), ctx);
}

}  // namespace lintaro
