#include "totals/total_comparisons.h"

#include <cstdint>
#include <string>

#include "checks/field_checks.h"
#include "checks/field_steps.h"
#include "core/check_context.h"

namespace lintaro {
namespace {

// The record names of a total record's wording: the employee record whose
// amounts are summed and the total record.
struct TotalWording {
  std::string employee;
  std::string total;
};

TotalWording WordingOf(const MoneyPair& pair) {
  return {EmployeeRecordOf(pair.totals), TotalRecordOf(pair.totals)};
}

// A total (field f) that differs from the employer's sum, given in cents.
// The message names the field's label without its leading "Total ", and
// writes both amounts as plain digits without leading zeros.
void ReportWrongTotal(std::string_view txtline, const FieldSpec& f, const MoneyPair& pair,
                      int64_t sum, CheckContext& ctx) {
  const TotalWording words = WordingOf(pair);
  const std::string field(f.label);
  const std::string name(f.label_after("Total "));
  const std::string message =
      "The sum of the " + words.employee + " " + name +
      " amounts does not equal the amount in the " + field + " field of the " + words.total +
      " record. The calculated sum of the " + words.employee + " amounts for the " + name +
      " of the " + words.total + " record is " + std::to_string(sum) +
      ". The reported sum of the " + words.employee + " amounts for the " + name + " of the " +
      words.total + " record is " + std::to_string(AmountValue(FieldText(txtline, f))) + ".";
  ReportField(txtline, f, message, ctx);
}

// A total (field f, which is the pair's `which` field: "Total Originally
// Reported" or "Total Correct") that must be numeric because the
// employees' sums show a correction.
void ReportTotalNeeded(std::string_view txtline, const FieldSpec& f, const char* which,
                       const MoneyPair& pair, CheckContext& ctx) {
  const TotalWording words = WordingOf(pair);
  ReportField(txtline, f,
              std::string("Only numeric amounts are allowed. The ") + which +
                  " Money field of the " + words.total +
                  " record must not be blank or contain invalid characters. The sum of the " +
                  words.employee + " amounts indicates a correction.",
              ctx);
}

// A total of zero where every employee's amount of its kind ("Originally
// Reported" or "Correct") was blank: the total must be blank too.
void ReportTotalMustBeBlank(std::string_view txtline, const FieldSpec& field,
                            const std::string& kind, const MoneyPair& pair, CheckContext& ctx) {
  const TotalWording words = WordingOf(pair);
  ReportField(txtline, field,
              "The Total " + kind + " Money field of the " + words.total +
                  " record must be blank because all of the corresponding " + kind +
                  " Money fields of the " + words.employee + " records are blank.",
              ctx);
}

void CompareOrigTotal(std::string_view txtline, const MoneyPair& pair, const TotalsRow::Pair& sums,
                      CheckContext& ctx) {
  const std::string_view orig = FieldText(txtline, pair.orig);
  if (!NumCheck(orig)) {
    if (!sums.orig_blank)
      ReportTotalNeeded(txtline, pair.orig, "Total Originally Reported", pair, ctx);
    return;
  }
  const int64_t value = AmountValue(orig);
  if (sums.orig != value) {
    ReportWrongTotal(txtline, pair.orig, pair, sums.orig, ctx);
  } else if (value == 0 && sums.orig_blank) {
    ReportTotalMustBeBlank(txtline, pair.orig, "Originally Reported", pair, ctx);
  }
}

void CompareCorrectTotal(std::string_view txtline, const MoneyPair& pair,
                         const TotalsRow::Pair& sums, CheckContext& ctx) {
  const std::string_view correct = FieldText(txtline, pair.correct);
  if (IsBlank(correct)) {
    if (sums.correct != sums.orig)
      ReportTotalNeeded(txtline, pair.correct, "Total Correct", pair, ctx);
    return;
  }
  if (!NumCheck(correct)) {
    ReportField(txtline, pair.correct, kMoneyNotNumericMessage, ctx);
    return;
  }
  const std::string_view orig = FieldText(txtline, pair.orig);
  if (correct == orig) return;
  const int64_t value = AmountValue(correct);
  if (sums.correct != value) {
    ReportWrongTotal(txtline, pair.correct, pair, sums.correct, ctx);
  } else if (value == 0 && sums.correct_blank) {
    ReportTotalMustBeBlank(txtline, pair.correct, "Correct", pair, ctx);
  } else if (IsBlank(orig)) {
    ReportField(txtline, pair.correct,
                "A value was entered in the Total Correct Money field but the Total Originally "
                "Reported Money field is blank.",
                ctx);
  }
}

}  // namespace

void CompareMoneyTotals(std::string_view txtline, const MoneyPair& pair,
                        const TotalsRow::Pair& sums, CheckContext& ctx) {
  CompareOrigTotal(txtline, pair, sums, ctx);
  CompareCorrectTotal(txtline, pair, sums, ctx);
}

}  // namespace lintaro
