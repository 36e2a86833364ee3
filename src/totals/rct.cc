// The RCT employer total record: the number of the employer's RCW records
// and the totals of their 25 money pairs, compared with the employer's
// running totals (TRCT).
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
namespace {

const FieldSpec& Field(int number) { return kRCTFields[static_cast<size_t>(number)]; }

// The pair's name X: the Total Correct field's label without "Total Correct ".
std::string_view PairName(const FieldSpec& correct) {
  return correct.label_after("Total Correct ");
}

// Pairs whose Total Correct field must be blank for some employment codes:
// Social Security (3, 4, 7) for "X" and "Q", Medicare (5, 6) for "X" only.
bool BlankForCode(int pair, std::string_view code) {
  switch (pair) {
    case 3:
    case 4:
    case 7:
      return code == "X" || code == "Q";
    case 5:
    case 6:
      return code == "X";
    default:
      return false;
  }
}

void CodeBlank(const std::string& txtline, const FieldSpec& correct, CheckContext& ctx) {
  const std::string_view x = PairName(correct);
  ReportField(txtline, correct, EmploymentCodeBlankMessage("Total Correct " + std::string(x)), ctx);
}

void MilitaryPair(const std::string& txtline, const MoneyPair& pair,
                  const TotalsRow* running_totals, CheckContext& ctx) {
  const FieldSpec& orig = pair.orig;
  const FieldSpec& correct = pair.correct;
  const bool in_range = MilitaryPayAllowed(ctx.state.TaxYear);
  std::string positions;
  const bool printable = CharCheck(FieldText(txtline, orig), orig.start, positions, &ctx.yielder);
  if (!printable && in_range) {
    ReportField(txtline, orig, InvalidCharMessage(positions), ctx);
  } else if (!in_range && !ZeroOrBlankAmount(FieldText(txtline, orig))) {
    ReportField(txtline, orig, kMilitaryPayYearsMessage, ctx);
  }
  if (!in_range && !ZeroOrBlankAmount(FieldText(txtline, correct))) {
    ReportField(txtline, correct, kMilitaryPayYearsMessage, ctx);
    return;
  }
  CompareTotalPair(txtline, pair, running_totals, ctx);
}

}  // namespace

void CheckCodeRCT(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx) {
  StampTotalRecord(TotalsTable::kTRCT, ctx);
  // The viewer judges no total against the sums (CompareTotalPair).
  const std::optional<TotalsRow> employer =
      ctx.run != nullptr ? ctx.run->EmployerRow(TotalsTable::kTRCT, rec_ctr) : std::nullopt;
  const TotalsRow* running_totals = employer ? &*employer : nullptr;

  CheckRecordCount(txtline, Field(kRctRecordCount), running_totals, ctx, [](int64_t counted) {
    return "The total number of RCW records (" + std::to_string(counted) +
           ") since the last RCE record does not equal the value in the RCT record.";
  });

  for (int n = 1; n <= kRCTMoneyPairs.count(); ++n) {
    const MoneyPair pair = kRCTMoneyPairs.pair(n);
    if (n == kRctPairAfterBlank42) CharField(txtline, Field(kRctBlank42), ctx);
    if (n == kMilitaryPayPair) {
      MilitaryPair(txtline, pair, running_totals, ctx);
      continue;
    }
    CharField(txtline, pair.orig, ctx);
    if (BlankForCode(n, ctx.state.EmploymentCode) && !IsBlank(FieldText(txtline, pair.correct)))
      CodeBlank(txtline, pair.correct, ctx);
    CompareTotalPair(txtline, pair, running_totals, ctx);
  }
  CharField(txtline, Field(kRctBlank53), ctx);
}

void FillRCTlabels(const std::string& txtline, ViewerRows& rows) {
  FillRows(kRCTFields, txtline, rows);
}

}  // namespace lintaro
