#include "checks/money_pairs.h"

#include <string>

#include "checks/field_checks.h"
#include "checks/field_steps.h"
#include "core/check_context.h"
#include "platform/viewer_rows.h"

namespace lintaro {
namespace {

// A numeric Originally Reported amount joins the pair's sum and clears its
// blank flag; while viewing it only gives the field its normal background.
void AddOrigAmount(std::string_view orig_text, const MoneyPair& pair, CheckContext& ctx) {
  if (ctx.viewing()) {
    if (ctx.rows != nullptr) ctx.rows->Unmark(pair.orig.number);
    return;
  }
  ctx.recorder.AddToTotals(pair.column(TotalsKind::kOrigSum), AmountValue(orig_text));
}

// The cap limits the all-zero findings a run stores. The viewer leaves the
// run's count alone and marks an all-zero amount only when the run stored a
// finding against the field: one past the cap has none.
void ReportAllZeros(std::string_view record, const FieldSpec& correct, CheckContext& ctx) {
  if (ctx.viewing()) {
    if (!ctx.results.HasFinding(ctx.state.RecCtr, Reference(correct))) return;
  } else if (++ctx.state.zero_amount_count > kZeroAmountFindings) {
    return;
  }
  ReportField(record, correct, kMoneyAllZerosMessage, ctx);
}

}  // namespace

void CheckEmployeeMoneyPair(std::string_view record, const MoneyPair& pair, CheckContext& ctx) {
  // Most pairs of a record are blank (no correction): both checks then have
  // nothing to report or add. The Correct field follows the Originally
  // Reported one (PairsFollowLayout): the pair is blank when the two fields'
  // characters together are.
  if (IsBlank(FieldText(record, pair.orig.start, pair.orig.width + pair.correct.width))) return;
  MoneyCharField(record, pair.orig, TotalRecordOf(pair.totals), ctx);
  CheckEmployeeAmounts(record, pair, ctx);
}

void CheckEmployeeAmounts(std::string_view record, const MoneyPair& pair, CheckContext& ctx) {
  const std::string_view orig_text = FieldText(record, pair.orig);
  const std::string_view correct_text = FieldText(record, pair.correct);
  const bool orig_numeric = !IsBlank(orig_text) && NumCheck(orig_text);
  if (orig_numeric) AddOrigAmount(orig_text, pair, ctx);

  if (IsBlank(correct_text)) {
    if (orig_numeric) ReportField(record, pair.correct, kMoneyCorrectBlankMessage, ctx);
    return;
  }
  if (!NumCheck(correct_text)) {
    ctx.recorder.NonNumericAmountError(Reference(pair.correct), UserEntry(correct_text),
                                       kMoneyNotNumericMessage, pair.correct.number,
                                       pair.column(TotalsKind::kErrorReference));
    return;
  }

  const int64_t value = AmountValue(correct_text);
  ctx.recorder.AddToTotals(pair.column(TotalsKind::kCorrectSum), value);
  if (correct_text == orig_text) {
    ReportField(record, pair.correct, kMoneySameMessage, ctx);
  } else if (value == 0) {
    ReportAllZeros(record, pair.correct, ctx);
  }
}

void FieldPairCheck(std::string_view record, const FieldSpec& orig, const FieldSpec& correct,
                    bool mandatory, CheckContext& ctx) {
  const std::string_view correct_text = FieldText(record, correct);
  const std::string_view orig_text = FieldText(record, orig);
  if (IsBlank(correct_text)) {
    if (!IsBlank(orig_text))
      ReportField(record, correct,
                  "Must not be blank. Otherwise enter blank in the corresponding Originally "
                  "Reported field if no corrections are being reported.",
                  ctx);
    return;
  }
  if (correct_text != orig_text) return;
  ReportField(record, correct,
              mandatory ? "Must enter blanks in the corresponding Originally Reported field if no "
                          "correction is being reported to this data."
                        : "Must enter blanks in both fields if no corrections are being reported "
                          "to this data.",
              ctx);
}

bool ZeroOrBlankAmount(std::string_view text) {
  return TrimSpaces(text).empty() || text.find_first_not_of('0') == std::string_view::npos;
}

}  // namespace lintaro
