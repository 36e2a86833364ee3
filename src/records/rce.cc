// The RCE employer record: it opens an employer's block. Besides its own
// rules it sets what the block's later records depend on: the tax year,
// the employment code and, in a test run, the employer's running totals.
#include <array>

#include "checks/address_checks.h"
#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "checks/money_pairs.h"
#include "core/check_context.h"
#include "records/record_checkers.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

enum RceField {
  kId, kTaxYear, kOrigEin, kEin, kAgentCode, kAgentEin, kOrigEstablishment, kEstablishment,
  kName, kLocationAddress, kDeliveryAddress, kCity, kState, kZip, kZipExtension, kBlank15,
  kForeignState, kForeignPostalCode, kCountry, kOrigEmploymentCode, kEmploymentCode,
  kOrigSickPay, kSickPay, kBlank23,
};

constexpr std::array<FieldSpec, 24> kRCE = {{
    {kId, 1, 3, "Record Identifier", ""},
    {kTaxYear, 4, 4, "Tax Year", ""},
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

}  // namespace

void CheckCodeRCE(const std::string& txtline, CheckContext& ctx) {
  const bool in_run = !ctx.viewing() && ctx.run != nullptr && ctx.run->has_current();
  auto text = [&](int n) { return FieldText(txtline, kRCE[n]); };
  auto fail = [&](int n, const std::string& message) {
    ctx.recorder.FieldError(Reference(kRCE[n]), UserEntry(text(n)), message, n);
  };
  auto printable = [&](int n) {
    const FieldSpec& f = kRCE[n];
    CharField(txtline, f.label, f.start, f.width, f.number, ctx);
  };
  auto pair = [&](int n, int original, bool mandatory) {
    FieldPairCheck(txtline, kRCE[original], kRCE[n], mandatory, ctx);
  };

  // Tax Year: kept as found for the block's records, and as a number when
  // it is one (0 otherwise).
  const std::string_view year = text(kTaxYear);
  ctx.state.TaxYearText = std::string(year);
  ctx.state.TaxYear = 0;
  if (!NumCheck(year)) {
    fail(kTaxYear, "This is a mandatory field and must contain only valid numeric data.");
  } else {
    ctx.state.TaxYear = YearValue(year);
    if (ctx.state.TaxYear < 1978 || ctx.state.TaxYear > 2007) {
      fail(kTaxYear, "Must not be less than 1978 or greater than 2007. This is a mandatory field.");
    } else if (ctx.state.TaxYear < 2007) {
      fail(kTaxYear,
           "The date entered is for a previous tax year. Please check that the earnings are for "
           "the year being reported.");
    }
  }

  printable(kOrigEin);

  // Correct EIN. The employer's running totals open here whatever the EIN
  // holds, so that the block's records always have rows to work with.
  const std::string_view ein = text(kEin);
  if (in_run) {
    ctx.run->OpenEmployer(std::string(ein));
    RecordRow& row = ctx.run->current();
    row.rec_reference = std::string(ein);
    row.rce_indx = ctx.run->employer(TotalsTable::kTRCT)->indx;
  }
  if (!NumCheck(ein)) {
    fail(kEin, "This is a mandatory field and must contain only valid numeric data.");
  } else if (ForbiddenPrefix(ein)) {
    fail(kEin, std::string(kForbiddenPrefixList) +
                   " This is a mandatory field and must contain only valid numeric data.");
  } else {
    pair(kEin, kOrigEin, true);
  }

  const std::string_view agent_code = text(kAgentCode);
  if (!OneOf(agent_code, {"2", "1", "3", " "})) {
    fail(kAgentCode,
         "Enter appropriate code: 1 - 2678 Agent, 2 - Common Pay Master, 3 - 3504 Agent or Blank "
         "- Not an agent.");
  }
  const std::string_view agent_ein = text(kAgentEin);
  if (!IsBlank(agent_ein)) {
    if (!NumCheck(agent_ein)) fail(kAgentEin, "Must be numeric or blank.");
    if (ForbiddenPrefix(agent_ein)) fail(kAgentEin, kForbiddenPrefixList);
    if (agent_code != "1") {
      fail(kAgentEin,
           "The Agent for EIN must be blank unless Agent Indicator Code [Position 26] is \"1\". "
           "Either enter a \"1\" in Agent Indicator Code or make Agent for EIN blank.");
    }
  } else if (agent_code == "1") {
    fail(kAgentEin, "If Agent Indicator Code [Position 26] is \"1\", then Agent for EIN cannot be blank");
  }

  printable(kOrigEstablishment);
  printable(kEstablishment);
  pair(kEstablishment, kOrigEstablishment, false);

  printable(kName);
  printable(kLocationAddress);
  printable(kDeliveryAddress);
  printable(kCity);

  bool address_valid = true;
  if (!StateCheck(text(kState))) {
    fail(kState, kStateInvalidMessage);
    address_valid = false;
  }
  const std::string_view zip = text(kZip);
  if (!NumCheck(zip) && !IsBlank(zip)) {
    fail(kZip, "Must be numeric or blank.");
    address_valid = false;
  }
  const std::string_view extension = text(kZipExtension);
  if (!NumCheck(extension) && !IsBlank(extension)) fail(kZipExtension, "Must be numeric or blank.");
  if (!IsBlank(extension) && IsBlank(zip)) {
    fail(kZipExtension,
         "A value was entered in the ZIP Code Extension field and the ZIP Code field is blank. "
         "Either change the ZIP Code Extension field to blank or enter a valid ZIP Code.");
  }
  printable(kBlank15);
  printable(kForeignState);
  printable(kForeignPostalCode);
  if (!CountryCheck(text(kCountry))) {
    fail(kCountry, kCountryInvalidMessage);
    address_valid = false;
  }
  if (address_valid) ForeignAddressCheck(txtline, ctx);

  printable(kOrigEmploymentCode);
  // The employment code is kept as found, valid or not.
  const std::string_view code = text(kEmploymentCode);
  ctx.state.EmploymentCode = std::string(code);
  if (OneOf(code, {"H", "A", "M", "Q", "X", "F", "R"})) {
    pair(kEmploymentCode, kOrigEmploymentCode, true);
  } else {
    fail(kEmploymentCode,
         "Enter appropriate code: A - Agriculture, H - Household, M - Military, Q - Medicare "
         "Qualified Government Employment, X - Railroad, F - 944 Filer or R - Regular (all "
         "others).");
  }

  printable(kOrigSickPay);
  if (OneOf(text(kSickPay), {"0", "1", " "})) {
    pair(kSickPay, kOrigSickPay, false);
  } else {
    fail(kSickPay,
         "Enter appropriate code: 1 - Employee has Third-Party Sick Pay, 0 - Other. If not making "
         "a correction leave blank.");
  }

  printable(kBlank23);
}

void FillRCElabels(const std::string& txtline, ViewerRows& rows) { FillRows(kRCE, txtline, rows); }

std::string EmployerEinOf(std::string_view rce_record) {
  return std::string(FieldText(rce_record, kRCE[kEin]));
}

EmployerValues EmployerValuesOf(std::string_view rce_record) {
  EmployerValues values;
  const std::string_view year = FieldText(rce_record, kRCE[kTaxYear]);
  values.TaxYearText = std::string(year);
  if (NumCheck(year)) values.TaxYear = YearValue(year);
  values.EmploymentCode = std::string(FieldText(rce_record, kRCE[kEmploymentCode]));
  return values;
}

}  // namespace lintaro
