// The RCE employer record: it opens an employer's block. Besides its own
// rules it sets what the block's later records depend on: the tax year,
// the employment code and, in a test run, the employer's running totals.
#include <array>
#include <string>
#include <string_view>

#include "checks/address_checks.h"
#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "checks/field_steps.h"
#include "checks/money_pairs.h"
#include "core/check_context.h"
#include "core/tax_year.h"
#include "records/record_checkers.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

enum RceField {
  kId,
  kTaxYearField,
  kOrigEin,
  kEin,
  kAgentCode,
  kAgentEin,
  kOrigEstablishment,
  kEstablishment,
  kName,
  kLocationAddress,
  kDeliveryAddress,
  kCity,
  kState,
  kZip,
  kZipExtension,
  kBlank15,
  kForeignState,
  kForeignPostalCode,
  kCountry,
  kOrigEmploymentCode,
  kEmploymentCode,
  kOrigSickPay,
  kSickPay,
  kBlank23,
};

constexpr std::array<FieldSpec, kRCEFieldCount> kRCE = {{
    {kId, 1, 3, "Record Identifier", ""},
    {kTaxYearField, 4, 4, "Tax Year", ""},
    {kOrigEin, 8, 9, "Employer's/Agent's Originally Reported EIN", ""},
    {kEin, 17, 9, "Employer's/Agent's Correct EIN", ""},
    {kAgentCode, 26, 1, "Agent Indicator Code", ""},
    {kAgentEin, 27, 9, "Agent for EIN", ""},
    {kOrigEstablishment, 36, 4, "Employer's Originally Reported Establishment Number", ""},
    {kEstablishment, 40, 4, "Employer's Correct Establishment Number", ""},
    {kName, 44, 57, "Employer's Name", ""},
    {kLocationAddress, 101, 22, "Location Address", ""},
    {kDeliveryAddress, 123, 22, "Delivery Address", ""},
    {kCity, 145, 22, "City", ""},
    {kState, 167, 2, "State Abbreviation", ""},
    {kZip, 169, 5, "Zip Code", "ZIP Code"},
    {kZipExtension, 174, 4, "Zip Code Extension", "ZIP Code Extension"},
    {kBlank15, 178, 4, "Blank", ""},
    {kForeignState, 182, 23, "Foreign State/Province", ""},
    {kForeignPostalCode, 205, 15, "Foreign Postal Code", ""},
    {kCountry, 220, 2, "Country Code", ""},
    {kOrigEmploymentCode, 222, 1, "Employer's Originally Reported Employment Code", ""},
    {kEmploymentCode, 223, 1, "Employer's Correct Employment Code", ""},
    {kOrigSickPay, 224, 1, "Originally Reported Third-Party Sick Pay Indicator", ""},
    {kSickPay, 225, 1, "Correct Third-Party Sick Pay Indicator", ""},
    {kBlank23, 226, 799, "Blank", ""},
}};

// Prefixes of an EIN that is never an employer's.
constexpr std::string_view kForbiddenEinPrefixes[] = {
    "00", "07", "08", "09", "17", "18", "19", "28", "29", "49", "69", "70", "78", "79", "89"};
constexpr const char* kForbiddenPrefixList =
    "Must not start with 00, 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89.";

bool ForbiddenPrefix(std::string_view ein) {
  for (std::string_view prefix : kForbiddenEinPrefixes)
    if (ein.substr(0, 2) == prefix) return true;
  return false;
}

int32_t YearValue(std::string_view digits) {
  int32_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

const FieldSpec& Field(RceField n) { return kRCE[static_cast<size_t>(n)]; }

std::string_view Text(const std::string& txtline, RceField n) {
  return FieldText(txtline, Field(n));
}

void Fail(const std::string& txtline, RceField n, const std::string& message, CheckContext& ctx) {
  ReportField(txtline, Field(n), message, ctx);
}

// The pair check of Correct field n against its Originally Reported field.
void Pair(const std::string& txtline, RceField original, RceField n, bool mandatory,
          CheckContext& ctx) {
  FieldPairCheck(txtline, Field(original), Field(n), mandatory, ctx);
}

constexpr int kFirstTaxYear = 1978;
constexpr auto kYearOutOfRange = "Must not be less than " + FourDigits(kFirstTaxYear) +
                                 " or greater than " + kTaxYearText +
                                 ". This is a mandatory field.";

// Tax Year: kept as found for the block's records, and as a number when it
// is one (0 otherwise).
void TaxYear(const std::string& txtline, CheckContext& ctx) {
  const std::string_view year = Text(txtline, kTaxYearField);
  ctx.state.TaxYearText = std::string(year);
  ctx.state.TaxYear = 0;
  if (!NumCheck(year)) {
    Fail(txtline, kTaxYearField,
         "This is a mandatory field and must contain only valid numeric data.", ctx);
    return;
  }
  ctx.state.TaxYear = YearValue(year);
  if (ctx.state.TaxYear < kFirstTaxYear || ctx.state.TaxYear > kTaxYear) {
    Fail(txtline, kTaxYearField, kYearOutOfRange.c_str(), ctx);
  } else if (ctx.state.TaxYear < kTaxYear) {
    Fail(txtline, kTaxYearField,
         "The date entered is for a previous tax year. Please check that the earnings are for "
         "the year being reported.",
         ctx);
  }
}

// Correct EIN. The employer's running totals open here whatever the EIN
// holds, so that the block's records always have rows to work with.
void EmployerEin(const std::string& txtline, CheckContext& ctx) {
  const std::string_view ein = Text(txtline, kEin);
  if (!ctx.viewing() && ctx.run != nullptr && ctx.run->has_current()) {
    ctx.run->OpenEmployer(std::string(ein));
    RecordRow& row = ctx.run->current();
    row.rec_reference = std::string(ein);
    row.rce_indx = ctx.run->employer(TotalsTable::kTRCT)->indx;
  }
  if (!NumCheck(ein)) {
    Fail(txtline, kEin, "This is a mandatory field and must contain only valid numeric data.", ctx);
  } else if (ForbiddenPrefix(ein)) {
    Fail(txtline, kEin,
         std::string(kForbiddenPrefixList) +
             " This is a mandatory field and must contain only valid numeric data.",
         ctx);
  } else {
    Pair(txtline, kOrigEin, kEin, true, ctx);
  }
}

// The agent indicator code and the agent's EIN, which only a 2678 agent
// (code 1) gives and must give.
void Agent(const std::string& txtline, CheckContext& ctx) {
  const std::string_view agent_code = Text(txtline, kAgentCode);
  if (!OneOf(agent_code, {"2", "1", "3", " "})) {
    Fail(txtline, kAgentCode,
         "Enter appropriate code: 1 - 2678 Agent, 2 - Common Pay Master, 3 - 3504 Agent or Blank "
         "- Not an agent.",
         ctx);
  }
  const std::string_view agent_ein = Text(txtline, kAgentEin);
  if (IsBlank(agent_ein)) {
    if (agent_code == "1") {
      Fail(txtline, kAgentEin,
           "If Agent Indicator Code [Position 26] is \"1\", then Agent for EIN cannot be blank",
           ctx);
    }
    return;
  }
  if (!NumCheck(agent_ein)) Fail(txtline, kAgentEin, "Must be numeric or blank.", ctx);
  if (ForbiddenPrefix(agent_ein)) Fail(txtline, kAgentEin, kForbiddenPrefixList, ctx);
  if (agent_code != "1") {
    Fail(txtline, kAgentEin,
         "The Agent for EIN must be blank unless Agent Indicator Code [Position 26] is \"1\". "
         "Either enter a \"1\" in Agent Indicator Code or make Agent for EIN blank.",
         ctx);
  }
}

// The establishment number, the employer's name and address, domestic or
// foreign.
void EstablishmentAndAddress(const std::string& txtline, CheckContext& ctx) {
  CharField(txtline, Field(kOrigEstablishment), ctx);
  CharField(txtline, Field(kEstablishment), ctx);
  Pair(txtline, kOrigEstablishment, kEstablishment, false, ctx);

  CharField(txtline, Field(kName), ctx);
  CharField(txtline, Field(kLocationAddress), ctx);
  CharField(txtline, Field(kDeliveryAddress), ctx);
  CharField(txtline, Field(kCity), ctx);
  CheckAddressCodes(txtline,
                    {.state = Field(kState),
                     .zip = Field(kZip),
                     .zip_extension = Field(kZipExtension),
                     .filler = Field(kBlank15),
                     .foreign_state = Field(kForeignState),
                     .foreign_postal_code = Field(kForeignPostalCode),
                     .country = Field(kCountry)},
                    ctx);
}

// The employment code, kept as found, valid or not, for the block's
// records, and the third-party sick pay indicator.
void Codes(const std::string& txtline, CheckContext& ctx) {
  CharField(txtline, Field(kOrigEmploymentCode), ctx);
  const std::string_view code = Text(txtline, kEmploymentCode);
  ctx.state.EmploymentCode = std::string(code);
  if (OneOf(code, {"H", "A", "M", "Q", "X", "F", "R"})) {
    Pair(txtline, kOrigEmploymentCode, kEmploymentCode, true, ctx);
  } else {
    Fail(txtline, kEmploymentCode,
         "Enter appropriate code: A - Agriculture, H - Household, M - Military, Q - Medicare "
         "Qualified Government Employment, X - Railroad, F - 944 Filer or R - Regular (all "
         "others).",
         ctx);
  }

  CharField(txtline, Field(kOrigSickPay), ctx);
  if (OneOf(Text(txtline, kSickPay), {"0", "1", " "})) {
    Pair(txtline, kOrigSickPay, kSickPay, false, ctx);
  } else {
    Fail(txtline, kSickPay,
         "Enter appropriate code: 1 - Employee has Third-Party Sick Pay, 0 - Other. If not making "
         "a correction leave blank.",
         ctx);
  }
}

}  // namespace

void CheckCodeRCE(const std::string& txtline, CheckContext& ctx) {
  TaxYear(txtline, ctx);
  CharField(txtline, Field(kOrigEin), ctx);
  EmployerEin(txtline, ctx);
  Agent(txtline, ctx);
  EstablishmentAndAddress(txtline, ctx);
  Codes(txtline, ctx);
  CharField(txtline, Field(kBlank23), ctx);
}

void FillRCElabels(const std::string& txtline, ViewerRows& rows) { FillRows(kRCE, txtline, rows); }

std::string EmployerEinOf(std::string_view rce_record) {
  return std::string(FieldText(rce_record, kRCE[kEin]));
}

std::string EmployerNameOf(std::string_view rce_record) {
  return std::string(FieldText(rce_record, kRCE[kName]));
}

EmployerValues EmployerValuesOf(std::string_view rce_record) {
  EmployerValues values;
  const std::string_view year = FieldText(rce_record, kRCE[kTaxYearField]);
  values.TaxYearText = std::string(year);
  if (NumCheck(year)) values.TaxYear = YearValue(year);
  values.EmploymentCode = std::string(FieldText(rce_record, kRCE[kEmploymentCode]));
  return values;
}

}  // namespace lintaro
