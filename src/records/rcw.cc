// The RCW employee wage record: the employee's SSN, name and address and 25
// correction pairs of money amounts, which are summed into the current
// employer's running totals for the RCT record.
#include <string>
#include <string_view>

#include "checks/address_checks.h"
#include "checks/field_checks.h"
#include "checks/field_steps.h"
#include "checks/money_pairs.h"
#include "core/check_context.h"
#include "platform/viewer_rows.h"
#include "records/employee_layouts.h"
#include "records/rcw_social_security.h"
#include "records/record_checkers.h"

namespace lintaro {
namespace {

const FieldSpec& Field(int row) { return kRCWFields[static_cast<size_t>(row)]; }

constexpr const char* kMandatoryNumeric =
    "This is a mandatory field and must contain only valid numeric data.";
constexpr const char* kNameCharacters =
    "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods and "
    "apostrophes. This is a mandatory field.";
constexpr const char* kMandatoryBlank = "Must not be blank. This is a mandatory field.";
constexpr const char* kBothBlank =
    "Must enter blanks in both fields if no corrections are being reported to this data.";
// Pairs first_pair to last_pair, each with its money pair step, which also
// adds the amounts to the employer's TRCT row.
void MoneyPairSteps(const std::string& txtline, int first_pair, int last_pair, CheckContext& ctx) {
  for (int n = first_pair; n <= last_pair; ++n)
    CheckEmployeeMoneyPair(txtline, kRCWMoneyPairs.pair(n), ctx);
}

// Military pay, outside the tax years that allow it (MilitaryPayAllowed).
void MilitaryPay(const std::string& txtline, CheckContext& ctx) {
  const bool in_range = MilitaryPayAllowed(ctx.state.TaxYear);
  const MoneyPair pair = kRCWMoneyPairs.pair(kMilitaryPayPair);
  const FieldSpec& orig = pair.orig;
  const FieldSpec& correct = pair.correct;
  std::string positions;
  const bool printable = CharCheck(FieldText(txtline, orig), orig.start, positions, &ctx.yielder);
  bool orig_reported = false;
  if (!printable && in_range) {
    ReportField(txtline, orig, MoneyInvalidCharMessage(positions, "RCT"), ctx);
  } else if (!in_range && !ZeroOrBlankAmount(FieldText(txtline, orig))) {
    ReportField(txtline, orig, kMilitaryPayYearsMessage, ctx);
    orig_reported = true;
  }
  CheckEmployeeAmounts(txtline, pair, ctx);
  // In the viewer the pair check gives a numeric Originally Reported field
  // its normal background again; a years finding on it must stay visible.
  if (orig_reported && ctx.viewing() && ctx.rows != nullptr) ctx.rows->Mark(orig.number);
  if (!in_range && !ZeroOrBlankAmount(FieldText(txtline, correct)))
    ReportField(txtline, correct, kMilitaryPayYearsMessage, ctx);
}

struct IndicatorPair {
  int orig_row;
  int correct_row;
  const char* code_message;
};

constexpr IndicatorPair kIndicators[] = {
    {kRcwOrigStatutoryEmployee, kRcwStatutoryEmployee,
     "Enter appropriate code: 1 - Statutory Employee, 0 - Other. If not making a correction "
     "leave blank."},
    {kRcwOrigRetirementPlan, kRcwRetirementPlan,
     "Enter appropriate code: 1 - Employee has Retirement Plan, 0 - Other. If not making a "
     "correction leave blank."},
    {kRcwOrigSickPay, kRcwSickPay,
     "Enter appropriate code: 1 - Employee has Third-Party Sick Pay, 0 - Other. If not making a "
     "correction leave blank."},
};

void Indicators(const std::string& txtline, CheckContext& ctx) {
  for (const IndicatorPair& ind : kIndicators) {
    const FieldSpec& orig = Field(ind.orig_row);
    const FieldSpec& correct = Field(ind.correct_row);
    const std::string_view orig_code = FieldText(txtline, orig);
    const std::string_view code = FieldText(txtline, correct);
    if (orig_code == " " && code == " ") continue;  // no correction: nothing to report
    CharField(txtline, orig, ctx);
    if (code != "0" && code != "1" && code != " ")
      ReportField(txtline, correct, ind.code_message, ctx);
    FieldPairCheck(txtline, orig, correct, false, ctx);
  }
}

void CorrectSSN(const std::string& txtline, CheckContext& ctx) {
  const FieldSpec& ssn = Field(kRcwSsn);
  const std::string_view text = ctx.state.employee_reference;
  if (!NumCheck(text)) {
    ReportField(txtline, ssn, kMandatoryNumeric, ctx);
  } else if (text == "123456789" || text == "333333333" || text == "111111111" ||
             (!text.empty() && (text[0] == '8' || text[0] == '9'))) {
    ReportField(txtline, ssn,
                "Must not be 111111111 or 333333333 or 123456789 or may not begin with an 8 or 9. "
                "This is a mandatory field and must contain only valid numeric data.",
                ctx);
  } else {
    FieldPairCheck(txtline, Field(kRcwOrigSsn), ssn, true, ctx);
  }
}

void Names(const std::string& txtline, CheckContext& ctx) {
  for (int row = kRcwOrigFirstName; row <= kRcwOrigLastName; ++row)
    CharField(txtline, Field(row), ctx);

  const FieldSpec& first = Field(kRcwFirstName);
  const std::string_view first_text = FieldText(txtline, first);
  if (IsBlank(first_text)) {
    ReportField(txtline, first, kMandatoryBlank, ctx);
  } else if (!NameCheck(first_text)) {
    ReportField(txtline, first, kNameCharacters, ctx);
  } else {
    FieldPairCheck(txtline, Field(kRcwOrigFirstName), first, true, ctx);
  }

  // The middle name has no pair check: a blank correct middle name is
  // accepted whatever was originally reported.
  const FieldSpec& middle = Field(kRcwMiddleName);
  const std::string_view middle_text = FieldText(txtline, middle);
  const std::string_view middle_orig = FieldText(txtline, Field(kRcwOrigMiddleName));
  if (!NameCheck(middle_text)) {
    ReportField(txtline, middle,
                "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods, "
                "apostrophes and blanks.",
                ctx);
  } else if (!IsBlank(middle_orig) && !IsBlank(middle_text) && middle_orig == middle_text) {
    ReportField(txtline, middle, kBothBlank, ctx);
  }

  const FieldSpec& last = Field(kRcwLastName);
  const std::string_view last_text = FieldText(txtline, last);
  if (!NameCheck(last_text)) {
    ReportField(txtline, last, kNameCharacters, ctx);
  } else if (IsBlank(last_text)) {
    ReportField(txtline, last, kMandatoryBlank, ctx);
  } else {
    FieldPairCheck(txtline, Field(kRcwOrigLastName), last, true, ctx);
  }
}

void Address(const std::string& txtline, CheckContext& ctx) {
  for (int row = kRcwLocationAddress; row <= kRcwCity; ++row) CharField(txtline, Field(row), ctx);
  CheckAddressCodes(txtline,
                    {.state = Field(kRcwState),
                     .zip = Field(kRcwZip),
                     .zip_extension = Field(kRcwZipExtension),
                     .filler = Field(kRcwBlank15),
                     .foreign_state = Field(kRcwForeignState),
                     .foreign_postal_code = Field(kRcwForeignPostalCode),
                     .country = Field(kRcwCountry)},
                    ctx);
}

// Positions 442 to 1024: money pairs 10 to 25, the fillers and the
// indicators.
void LaterPairsAndIndicators(const std::string& txtline, CheckContext& ctx) {
  MoneyPairSteps(txtline, 10, 15, ctx);
  MilitaryPay(txtline, ctx);
  MoneyPairSteps(txtline, 17, 20, ctx);
  CharField(txtline, Field(kRcwBlank59), ctx);
  MoneyPairSteps(txtline, 21, 25, ctx);
  CharField(txtline, Field(kRcwBlank70), ctx);
  Indicators(txtline, ctx);
  CharField(txtline, Field(kRcwBlank77), ctx);
}

}  // namespace

void CheckCodeRCW(const std::string& txtline, CheckContext& ctx) {
  const SocialSecurityRules rules(txtline, ctx.state);
  rules.CheckHouseholdMinimum(ctx);

  CharField(txtline, Field(kRcwOrigSsn), ctx);

  ctx.state.employee_reference.assign(FieldText(txtline, Field(kRcwSsn)));
  ctx.recorder.CountEmployeeRecord(TotalsTable::kTRCT);
  CorrectSSN(txtline, ctx);

  Names(txtline, ctx);
  Address(txtline, ctx);

  // Pairs 1 to 9 (rows 19 to 36), each Social Security and Medicare field
  // followed by its rules.
  MoneyPairSteps(txtline, 1, 3, ctx);
  rules.AfterSocialSecurityWages(ctx);
  MoneyPairSteps(txtline, 4, 4, ctx);
  rules.AfterSocialSecurityTax(ctx);
  MoneyPairSteps(txtline, 5, 5, ctx);
  rules.AfterMedicareWages(ctx);
  MoneyPairSteps(txtline, 6, 6, ctx);
  rules.AfterMedicareTax(ctx);
  MoneyPairSteps(txtline, 7, 7, ctx);
  rules.AfterSocialSecurityTips(ctx);
  MoneyPairSteps(txtline, 8, 9, ctx);

  LaterPairsAndIndicators(txtline, ctx);
}

void FillRCWlabels(const std::string& txtline, ViewerRows& rows) {
  FillRows(kRCWFields, txtline, rows);
}

}  // namespace lintaro
