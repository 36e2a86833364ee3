// The RCA submitter record: who prepared the submission, how the filing
// agency reaches them, and whether the file is a resubmission.
#include <array>

#include "checks/address_checks.h"
#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "core/check_context.h"
#include "core/viewer_rows.h"
#include "records/record_checkers.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

enum RcaField {
  kId, kEin, kPin, kVendorCode, kBlank4, kSoftwareCode, kSubmitterName, kLocationAddress,
  kDeliveryAddress, kCity, kState, kZip, kZipExtension, kBlank13, kForeignState,
  kForeignPostalCode, kCountry, kContactName, kContactPhone, kContactPhoneExtension, kBlank20,
  kEmail, kBlank22, kFax, kNotification, kPreparer, kResubIndicator, kResubWfid, kBlank28,
};

constexpr std::array<FieldSpec, 29> kRCA = {{
    {kId, 1, 3, "Record Identifier", ""},
    {kEin, 4, 9, "Submitter's EIN", ""},
    {kPin, 13, 8, "Personal Identification Number", "PIN"},
    {kVendorCode, 21, 4, "Software Vendor Code", ""},
    {kBlank4, 25, 5, "Blank", ""},
    {kSoftwareCode, 30, 2, "Software Code", ""},
    {kSubmitterName, 32, 57, "Submitter Name", ""},
    {kLocationAddress, 89, 22, "Location Address", ""},
    {kDeliveryAddress, 111, 22, "Delivery Address", ""},
    {kCity, 133, 22, "City", ""},
    {kState, 155, 2, "State Abbreviation", ""},
    {kZip, 157, 5, "ZIP Code", ""},
    {kZipExtension, 162, 4, "ZIP Code Extension", ""},
    {kBlank13, 166, 6, "Blank", ""},
    {kForeignState, 172, 23, "Foreign State/Province", ""},
    {kForeignPostalCode, 195, 15, "Foreign Postal Code", ""},
    {kCountry, 210, 2, "Country Code", ""},
    {kContactName, 212, 27, "Contact Name", ""},
    {kContactPhone, 239, 15, "Contact Phone Number", ""},
    {kContactPhoneExtension, 254, 5, "Contact Phone Extension", ""},
    {kBlank20, 259, 3, "Blank", ""},
    {kEmail, 262, 40, "Contact E-Mail/Internet", ""},
    {kBlank22, 302, 3, "Blank", ""},
    {kFax, 305, 10, "Contact FAX", "Contact Fax"},
    {kNotification, 315, 1, "Preferred Method of Problem Notification Code", ""},
    {kPreparer, 316, 1, "Preparer Code", ""},
    {kResubIndicator, 317, 1, "Resub Indicator", ""},
    {kResubWfid, 318, 6, "Resub WFID", ""},
    {kBlank28, 324, 701, "Blank", ""},
}};

// Prefixes of an EIN that the filing agency never issues to a submitter.
constexpr std::string_view kForbiddenEinPrefixes[] = {"07", "08", "09", "17", "18", "19", "28",
                                                      "29", "49", "69", "70", "78", "79", "89"};

// The message of a field that field 24 (notification by mail) requires.
std::string RequiredForMail(std::string_view field) {
  return "If Preferred Method of Problem Notification Code [Position 315] equals 2, then the " +
         std::string(field) + " field cannot be blank.";
}

}  // namespace

void CheckCodeRCA(const std::string& txtline, CheckContext& ctx) {
  const bool in_run = !ctx.viewing() && ctx.run != nullptr && ctx.run->has_current();
  auto text = [&](int n) { return FieldText(txtline, kRCA[n]); };
  // A finding about field n with its own reference, or the field's.
  auto report = [&](int n, const std::string& reference, const std::string& message) {
    ctx.recorder.FieldError(reference, UserEntry(text(n)), message, n);
  };
  auto fail = [&](int n, const std::string& message) { report(n, Reference(kRCA[n]), message); };
  auto printable = [&](int n) {
    const FieldSpec& f = kRCA[n];
    CharField(txtline, f.label, f.start, f.width, f.number, ctx);
  };

  const std::string_view notification = text(kNotification);
  const bool by_mail = notification == "2";
  bool address_valid = true;

  // Submitter's EIN; the record is known by it, whatever it holds.
  const std::string_view ein = text(kEin);
  if (in_run) ctx.run->current().rec_reference = std::string(ein);
  if (!NumCheck(ein)) {
    fail(kEin, "This is a mandatory field and must contain only valid numeric data.");
  } else {
    for (std::string_view prefix : kForbiddenEinPrefixes) {
      if (ein.substr(0, 2) == prefix) {
        fail(kEin,
             "Must not start with 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89. This "
             "is a mandatory field and must contain only valid numeric data.");
        break;
      }
    }
  }

  // PIN. A valid PIN never stays in the stored record: it is masked.
  const std::string_view pin = text(kPin);
  if (!PinCheck(pin)) {
    fail(kPin, "Must not be blank. Must be alphanumeric. This is a mandatory field.");
    if (in_run) {
      ctx.run->SetPinOK(false);
    } else if (ctx.viewing() && ctx.rows != nullptr &&
               !ctx.results.HasFinding(ctx.state.RecCtr, Reference(kRCA[kPin]))) {
      // The masked copy of a PIN that passed when this record was tested:
      // the run stored no PIN finding against it.
      ctx.rows->Unmark(kPin);
    }
  } else if (in_run) {
    ctx.run->SetPinOK(true);
    std::string masked = txtline;
    masked.replace(static_cast<size_t>(kRCA[kPin].start - 1), 8, "********");
    ctx.run->current().record = std::move(masked);
  }

  if (!NumCheck(text(kVendorCode)) && !IsBlank(text(kVendorCode)))
    fail(kVendorCode, "Must be numeric or blank.");
  printable(kBlank4);
  if (!OneOf(text(kSoftwareCode), {"99", "98"})) fail(kSoftwareCode, "Must be either 98 or 99.");

  printable(kSubmitterName);
  printable(kLocationAddress);
  printable(kDeliveryAddress);
  if (by_mail && IsBlank(text(kDeliveryAddress)))
    fail(kDeliveryAddress, RequiredForMail("Delivery Address"));
  printable(kCity);
  if (by_mail && IsBlank(text(kCity))) fail(kCity, RequiredForMail("City"));

  if (!StateCheck(text(kState))) {
    fail(kState, kStateInvalidMessage);
    address_valid = false;
  }
  if (by_mail && IsBlank(text(kState))) fail(kState, RequiredForMail("State Abbreviation"));

  const std::string_view zip = text(kZip);
  if (!NumCheck(zip) && !IsBlank(zip)) {
    fail(kZip, "Must be numeric or blank.");
    address_valid = false;
  }
  if (by_mail && IsBlank(zip))
    report(kZip, "Zip Code [Position 157 - 161]", RequiredForMail("Zip Code"));

  const std::string_view extension = text(kZipExtension);
  if (!NumCheck(extension) && !IsBlank(extension)) fail(kZipExtension, "Must be numeric or blank.");
  if (!IsBlank(extension) && IsBlank(zip)) {
    report(kZipExtension, "Zip Code Extension [Position 162 - 165]",
           "A value was entered in the ZIP Code Extension field and the ZIP Code field is blank. "
           "Either change the ZIP Code Extension field to blank or enter a valid ZIP Code.");
  }

  printable(kBlank13);
  printable(kForeignState);
  printable(kForeignPostalCode);
  if (!CountryCheck(text(kCountry))) {
    fail(kCountry, kCountryInvalidMessage);
    address_valid = false;
  }
  if (address_valid) ForeignAddressCheck(txtline, ctx);

  if (!NameCheck(text(kContactName))) {
    fail(kContactName,
         "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods, "
         "apostrophes and blanks.");
  }
  if (IsBlank(text(kContactPhone))) {
    fail(kContactPhone,
         "Enter a valid contact phone number. Wagemark needs a valid contact phone number to "
         "notify you if there is a problem with the wage report submission.");
  }
  printable(kContactPhoneExtension);
  printable(kBlank20);

  if (notification == "1" && IsBlank(text(kEmail))) {
    report(kEmail, "Contact E-Mail/Internet [Position 262-301]",
           "If Preferred Method of Problem Notification Code [Position 315] equals 1, then the "
           "Contact E-Mail/Internet field cannot be blank.");
  } else {
    printable(kEmail);
  }
  printable(kBlank22);
  printable(kFax);

  if (!OneOf(notification, {"1", "2"}))
    fail(kNotification, "Enter appropriate code: 1 - E-Mail/Internet, 2 - U.S. Postal Service.");
  if (!OneOf(text(kPreparer), {"L", "A", "S", "P", "O"})) {
    fail(kPreparer,
         "Enter appropriate code: 'A' - Accounting Firm, 'L' - Self-Prepared, 'S' - Service "
         "Bureau, 'P' - Parent Company, 'O' - Other.");
  }
  const std::string_view resub = text(kResubIndicator);
  if (!OneOf(resub, {"0", "1"}))
    fail(kResubIndicator, "Enter appropriate code: 1 - File being resubmitted, 0 - Other.");

  const std::string_view wfid = text(kResubWfid);
  if (resub == "0" && !IsBlank(wfid)) {
    fail(kResubWfid,
         "If Resub Indicator [Position 317] equals zero, then the Resub WFID field must be blank. "
         "If this is an original submission, then change the Resub WFID field to blank. If this "
         "is a resubmission, then enter 1 in the Resub Indicator field.");
  } else if (resub == "1" && IsBlank(wfid)) {
    report(kResubWfid, "Resub WFID [Position 318-323]",
           "If Resub Indicator [Position 317] equals 1, then the Resub WFID field cannot be blank. "
           "The 6 digit WFID is located on the notice sent by Wagemark.");
  } else if (resub == "1" && !AlphaNumCheck(wfid)) {
    fail(kResubWfid, "May only contain letters (A - Z) and/or numbers (0 - 9).");
  }

  printable(kBlank28);
}

void FillRCAlabels(const std::string& txtline, ViewerRows& rows) { FillRows(kRCA, txtline, rows); }

}  // namespace lintaro
