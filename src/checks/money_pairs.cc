#include "checks/money_pairs.h"

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

bool IsEmployee(std::string_view Id) { return Id == "RW" || Id == "RO"; }

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
                     CheckContext& ctx) {
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
