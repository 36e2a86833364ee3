#include "totals/total_checks.h"

#include "checks/field_layout.h"
#include "checks/field_steps.h"
#include "core/check_context.h"
#include "platform/viewer_rows.h"
#include "store/results_reader.h"
#include "store/run_results.h"
#include "totals/total_comparisons.h"

namespace lintaro {
namespace {

// What the viewer marks instead of comparing with the sums: the stored
// employer row holds the sums at the end of the run, and employee records
// may follow a total record (after the RCT of a block with a state record)
// and add to them. The run stored a finding against the field exactly when
// it disagreed with the sums before the record, and it keeps every finding
// of a record it checked.
void MarkStoredFinding(const FieldSpec& f, CheckContext& ctx) {
  if (ctx.rows != nullptr && ctx.results.HasFinding(ctx.state.RecCtr, Reference(f)))
    ctx.rows->Mark(f.number);
}

}  // namespace

void StampTotalRecord(TotalsTable table, CheckContext& ctx) {
  if (ctx.viewing() || ctx.run == nullptr || !ctx.run->has_current()) return;
  const TotalsRow* row = ctx.run->employer(table);
  if (row == nullptr) return;
  RecordRow& current = ctx.run->current();
  current.rec_reference = row->rce_ein;
  current.rce_indx = row->indx;
}

void CompareTotalPair(std::string_view txtline, const MoneyPair& pair, const TotalsRow* employer,
                      CheckContext& ctx) {
  if (ctx.viewing()) {
    MarkStoredFinding(pair.orig, ctx);
    MarkStoredFinding(pair.correct, ctx);
    return;
  }
  if (employer == nullptr || pair.index > static_cast<int>(employer->pairs.size())) return;
  const TotalsRow::Pair& sums = employer->pair(pair.index);
  if (sums.err_ref == "None") {
    CompareMoneyTotals(txtline, pair, sums, ctx);
  } else if (pair.totals == TotalsTable::kTRCT) {
    ReportField(txtline, pair.correct,
                "The calculated sum is incorrect because of a non-numeric value entered in the "
                "RCW record with SSN#: " +
                    sums.err_ref + ".",
                ctx);
  } else {
    ReportField(txtline, pair.correct,
                "The calculated sum is incorrect because of a non-numeric value entered in the "
                "RCO record.",
                ctx);
  }
}

void CheckRecordCount(std::string_view txtline, const FieldSpec& count, const TotalsRow* employer,
                      CheckContext& ctx, std::string (*mismatch)(int64_t counted)) {
  const std::string_view count_text = FieldText(txtline, count);
  if (!NumCheck(count_text)) {
    ReportField(txtline, count, kCountNotNumeric, ctx);
  } else if (ctx.viewing()) {
    MarkStoredFinding(count, ctx);
  } else if (employer != nullptr && AmountValue(count_text) != employer->count) {
    ReportField(txtline, count, mismatch(employer->count), ctx);
  }
}

}  // namespace lintaro
