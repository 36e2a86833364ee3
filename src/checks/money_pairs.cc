#include "checks/money_pairs.h"

#include <charconv>
#include <limits>

#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "core/check_context.h"
#include "core/viewer_rows.h"

namespace lintaro {
namespace {

std::string Column(std::string_view prefix, std::string_view n, std::string_view suffix) {
  std::string name(prefix);
  name += n;
  name += suffix;
  return name;
}

// The pair number of a running-total column name ("1" to "25"), or 0.
int PairNumber(std::string_view n) {
  int value = 0;
  auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), value);
  if (ec != std::errc() || end != n.data() + n.size() || value < 1) return 0;
  return value;
}

bool IsEmployee(std::string_view Id) { return Id == "RW" || Id == "RO"; }

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

// The comparison of both totals of pair n of a total record with the
// employer row's sums.
void CompareTotals(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                   int cFieldBegPos, int cFieldEndPos, int cFieldLength, int oFieldBegPos,
                   int oFieldEndPos, int txtArrayNum, const TotalsRow::Pair& sums,
                   CheckContext& ctx) {
  const TotalWording& words = *WordingOf(Id);
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

}  // namespace

int64_t AmountValue(std::string_view digits) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    const int d = c - '0';
    if (value > (kMax - d) / 10) return kMax;  // beyond any field's width
    value = value * 10 + d;
  }
  return value;
}

void AddOrigTotal(std::string_view OrigText, std::string_view Id, std::string_view origColumn,
                  int txtArrayNum, CheckContext& ctx) {
  if (IsBlank(OrigText) || !IsEmployee(Id) || !NumCheck(OrigText)) return;
  if (ctx.viewing()) {
    if (ctx.rows != nullptr) ctx.rows->Unmark(txtArrayNum - 1);
    return;
  }
  const int64_t value = AmountValue(OrigText);
  const std::string flag = std::string(origColumn) + "b";
  if (Id == "RW") {
    ctx.recorder.AddTRCT(origColumn, false, value);
    ctx.recorder.SetFlagTRCT(flag, false);
  } else {
    ctx.recorder.AddTRCU(origColumn, false, value);
    ctx.recorder.SetFlagTRCU(flag, false);
  }
}

void MoneyFieldCheck(const std::string& txtline, std::string_view Id, std::string_view FieldName,
                     int cFieldBegPos, int cFieldEndPos, int cFieldLength, int oFieldBegPos,
                     int oFieldEndPos, int txtArrayNum, std::string_view totalFieldName,
                     CheckContext& ctx, const TotalsRow* R) {
  if (WordingOf(Id) != nullptr) {
    const int n = PairNumber(totalFieldName);
    if (R == nullptr || n == 0 || n > static_cast<int>(R->pairs.size())) return;
    CompareTotals(txtline, Id, FieldName, cFieldBegPos, cFieldEndPos, cFieldLength, oFieldBegPos,
                  oFieldEndPos, txtArrayNum, R->pair(n), ctx);
    return;
  }
  if (!IsEmployee(Id)) return;
  const bool rcw = Id == "RW";
  const std::string_view OT = FieldText(txtline, oFieldBegPos, cFieldLength);
  const std::string_view CT = FieldText(txtline, cFieldBegPos, cFieldLength);
  const std::string reference = Reference(FieldName, cFieldBegPos, cFieldEndPos);
  const std::string entry = UserEntry(CT);

  AddOrigTotal(OT, Id, Column("Orig", totalFieldName, ""), txtArrayNum, ctx);

  if (IsBlank(CT)) {
    if (NumCheck(OT) && !IsBlank(OT))
      ctx.recorder.FieldError(reference, entry, kMoneyCorrectBlankMessage, txtArrayNum);
    return;
  }
  if (!NumCheck(CT)) {
    const std::string column = Column("C", totalFieldName, "ErrRef");
    if (rcw)
      ctx.recorder.FieldErrorTRCT(reference, entry, kMoneyNotNumericMessage, txtArrayNum, column);
    else
      ctx.recorder.FieldErrorTRCU(reference, entry, kMoneyNotNumericMessage, txtArrayNum, column);
    return;
  }

  const int64_t value = AmountValue(CT);
  if (!ctx.viewing()) {
    const std::string flag = Column("", totalFieldName, "b");
    if (rcw) {
      ctx.recorder.AddTRCT(totalFieldName, false, value);
      ctx.recorder.SetFlagTRCT(flag, false);
    } else {
      ctx.recorder.AddTRCU(totalFieldName, false, value);
      ctx.recorder.SetFlagTRCU(flag, false);
    }
  }
  if (CT == OT) {
    ctx.recorder.FieldError(reference, entry, kMoneySameMessage, txtArrayNum);
  } else if (value == 0) {
    // The cap limits the findings a run stores; the viewer marks every
    // all-zero amount and leaves the run's count alone.
    if (ctx.viewing()) {
      ctx.recorder.FieldError(reference, entry, kMoneyAllZerosMessage, txtArrayNum);
    } else if (++ctx.state.zero_amount_count <= kZeroAmountFindings) {
      ctx.recorder.FieldError(reference, entry, kMoneyAllZerosMessage, txtArrayNum);
    }
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

void FieldPairCheck(const std::string& record, std::string_view label, int cBeg, int cEnd,
                    int width, int oBeg, int fieldNumber, bool mandatory, CheckContext& ctx) {
  const std::string_view CT = FieldText(record, cBeg, width);
  const std::string_view OT = FieldText(record, oBeg, width);
  const std::string reference = Reference(label, cBeg, cEnd);
  if (IsBlank(CT)) {
    if (!IsBlank(OT))
      ctx.recorder.FieldError(reference, UserEntry(CT),
                              "Must not be blank. Otherwise enter blank in the corresponding "
                              "Originally Reported field if no corrections are being reported.",
                              fieldNumber);
    return;
  }
  if (CT != OT) return;
  ctx.recorder.FieldError(
      reference, UserEntry(CT),
      mandatory ? "Must enter blanks in the corresponding Originally Reported field if no "
                  "correction is being reported to this data."
                : "Must enter blanks in both fields if no corrections are being reported to "
                  "this data.",
      fieldNumber);
}

void MoneyPairStep(const std::string& txtline, std::string_view Id, std::string_view longName,
                   int oBeg, int cBeg, int cRow, int pair, CheckContext& ctx) {
  constexpr int kWidth = 11;
  const bool rcw = Id == "RW";
  MoneyCharField(txtline, "Originally Reported " + std::string(longName), oBeg, kWidth, cRow - 1,
                 rcw ? "RCT" : "RCU", ctx);
  MoneyFieldCheck(txtline, Id, "Correct " + std::string(longName), cBeg, cBeg + kWidth - 1, kWidth,
                  oBeg, oBeg + kWidth - 1, cRow, std::to_string(pair), ctx);
}

}  // namespace lintaro
