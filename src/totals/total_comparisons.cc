#include "totals/total_comparisons.h"

#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "checks/money_pairs.h"
#include "core/check_context.h"

namespace lintaro {
namespace {

// The record names of a total record's wording: the employee record whose
// amounts are summed and the total record.
struct TotalWording {
  const char* employee;
  const char* total;
};

const TotalWording* WordingOf(std::string_view Id) {
  static constexpr TotalWording kRCT{"RCW", "RCT"};
  static constexpr TotalWording kRCU{"RCO", "RCU"};
  if (Id == "RT") return &kRCT;
  if (Id == "RU") return &kRCU;
  return nullptr;
}

}  // namespace

void CompareMoneyTotals(const std::string& txtline, std::string_view Id,
                        std::string_view FieldName, int cFieldBegPos, int cFieldEndPos,
                        int cFieldLength, int oFieldBegPos, int oFieldEndPos, int txtArrayNum,
                        const TotalsRow::Pair& sums, CheckContext& ctx) {
  const TotalWording* wording = WordingOf(Id);
  if (wording == nullptr) return;
  const TotalWording& words = *wording;
  const std::string_view O = FieldText(txtline, oFieldBegPos, cFieldLength);
  const std::string_view C = FieldText(txtline, cFieldBegPos, cFieldLength);
  // "Total Originally Reported" + what follows "Total Correct".
  const std::string OL =
      "Total Originally Reported" +
      std::string(FieldName.size() > 13 ? FieldName.substr(13) : std::string_view());
  // The originally reported total's range, as the pair's layout gives it.
  const int oEnd = cFieldEndPos - cFieldLength;
  const int oRow = txtArrayNum - 1;

  if (!NumCheck(O)) {
    if (!sums.orig_blank)
      MoneyTotal2(txtline, Id, OL, oFieldBegPos, oEnd, cFieldLength, oRow, ctx);
  } else if (sums.orig != AmountValue(O)) {
    MoneyTotal(txtline, Id, OL, oFieldBegPos, oEnd, cFieldLength, oRow, sums.orig, O, ctx);
  } else if (AmountValue(O) == 0 && sums.orig_blank) {
    ctx.recorder.FieldError(
        Reference(OL, oFieldBegPos, oFieldEndPos), UserEntry(O),
        std::string("The Total Originally Reported Money field of the ") + words.total +
            " record must be blank because all of the corresponding Originally Reported Money "
            "fields of the " + words.employee + " records are blank.",
        oRow);
  }

  const std::string reference = Reference(FieldName, cFieldBegPos, cFieldEndPos);
  if (!IsBlank(C) && !NumCheck(C)) {
    ctx.recorder.FieldError(reference, UserEntry(C), kMoneyNotNumericMessage, txtArrayNum);
    return;
  }
  if (IsBlank(C)) {
    if (sums.correct != sums.orig)
      MoneyTotal2(txtline, Id, FieldName, cFieldBegPos, cFieldEndPos, cFieldLength, txtArrayNum,
                  ctx);
    return;
  }
  if (C == O) return;
  const int64_t value = AmountValue(C);
  if (sums.correct != value) {
    MoneyTotal(txtline, Id, FieldName, cFieldBegPos, cFieldEndPos, cFieldLength, txtArrayNum,
               sums.correct, C, ctx);
  } else if (value == 0 && sums.correct_blank) {
    ctx.recorder.FieldError(
        reference, UserEntry(C),
        std::string("The Total Correct Money field of the ") + words.total +
            " record must be blank because all of the corresponding Correct Money fields of the " +
            words.employee + " records are blank.",
        txtArrayNum);
  } else if (IsBlank(O)) {
    ctx.recorder.FieldError(reference, UserEntry(C),
                            "A value was entered in the Total Correct Money field but the Total "
                            "Originally Reported Money field is blank.",
                            txtArrayNum);
  }
}

void MoneyTotal(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                int fieldBegPos, int FieldEndPos, int FieldLength, int txtArrayNum, int64_t Total,
                std::string_view strHisTotal, CheckContext& ctx) {
  const TotalWording* words = WordingOf(Id);
  if (words == nullptr) return;
  const std::string field(FieldName);
  const std::string S(FieldName.size() > 6 ? FieldName.substr(6) : std::string_view());
  const std::string employee = words->employee;
  const std::string total = words->total;
  const std::string message =
      "The sum of the " + employee + " " + S + " amounts does not equal the amount in the " +
      field + " field of the " + total + " record. The calculated sum of the " + employee +
      " amounts for the " + S + " of the " + total + " record is " + std::to_string(Total) +
      ". The reported sum of the " + employee + " amounts for the " + S + " of the " + total +
      " record is " + std::to_string(AmountValue(strHisTotal)) + ".";
  ctx.recorder.FieldError(Reference(FieldName, fieldBegPos, FieldEndPos),
                          UserEntry(FieldText(txtline, fieldBegPos, FieldLength)), message,
                          txtArrayNum);
}

void MoneyTotal2(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                 int fieldBegPos, int FieldEndPos, int FieldLength, int txtArrayNum,
                 CheckContext& ctx) {
  const TotalWording* words = WordingOf(Id);
  if (words == nullptr) return;
  const char* which = nullptr;
  if (FieldName.starts_with("Total Originally"))
    which = "Total Originally Reported";
  else if (FieldName.starts_with("Total Correct"))
    which = "Total Correct";
  if (which == nullptr) return;
  const std::string message = std::string("Only numeric amounts are allowed. The ") + which +
                              " Money field of the " + words->total +
                              " record must not be blank or contain invalid characters. The sum "
                              "of the " + words->employee + " amounts indicates a correction.";
  ctx.recorder.FieldError(Reference(FieldName, fieldBegPos, FieldEndPos),
                          UserEntry(FieldText(txtline, fieldBegPos, FieldLength)), message,
                          txtArrayNum);
}

}  // namespace lintaro
