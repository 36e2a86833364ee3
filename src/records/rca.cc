// The RCA submitter record: who prepared the submission, how the filing
// agency reaches them, and whether the file is a resubmission.
#include <array>
#include <string>
#include <string_view>

#include "checks/address_checks.h"
#include "checks/field_checks.h"
#include "checks/field_layout.h"
#include "checks/field_steps.h"
#include "core/check_context.h"
#include "platform/viewer_rows.h"
#include "records/record_checkers.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

enum RcaField {
  kId,
  kEin,
  kPin,
  kVendorCode,
  kBlank4,
  kSoftwareCode,
  kSubmitterName,
  kLocationAddress,
  kDeliveryAddress,
  kCity,
  kState,
  kZip,
  kZipExtension,
  kBlank13,
  kForeignState,
  kForeignPostalCode,
  kCountry,
  kContactName,
  kContactPhone,
  kContactPhoneExtension,
  kBlank20,
  kEmail,
  kBlank22,
  kFax,
  kNotification,
  kPreparer,
  kResubIndicator,
  kResubWfid,
  kBlank28,
};

constexpr std::array<FieldSpec, kRCAFieldCount> kRCA = {{
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

const FieldSpec& Field(RcaField n) { return kRCA[static_cast<size_t>(n)]; }

std::string_view Text(const std::string& txtline, RcaField n) {
  return FieldText(txtline, Field(n));
}

// A finding about field n with a reference of its own instead of the
// field's.
void ReportAs(const std::string& txtline, RcaField n, const char* reference,
              const std::string& message, CheckContext& ctx) {
  ctx.recorder.FieldError(reference, UserEntry(Text(txtline, n)), message, n);
}

// True in a test run with the record's Records row at hand.
bool InRun(const CheckContext& ctx) {
  return !ctx.viewing() && ctx.run != nullptr && ctx.run->has_current();
}

// The message of a field that field 24 (notification by mail) requires.
std::string RequiredForMail(std::string_view field) {
  return "If Preferred Method of Problem Notification Code [Position 315] equals 2, then the " +
         std::string(field) + " field cannot be blank.";
}

// Submitter's EIN; the record is known by it, whatever it holds.
void SubmitterEin(const std::string& txtline, CheckContext& ctx) {
  const std::string_view ein = Text(txtline, kEin);
  if (InRun(ctx)) ctx.run->current().rec_reference = std::string(ein);
  if (!NumCheck(ein)) {
    ReportField(txtline, Field(kEin),
                "This is a mandatory field and must contain only valid numeric data.", ctx);
    return;
  }
  for (std::string_view prefix : kForbiddenEinPrefixes) {
    if (ein.substr(0, 2) == prefix) {
      ReportField(txtline, Field(kEin),
                  "Must not start with 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89. "
                  "This is a mandatory field and must contain only valid numeric data.",
                  ctx);
      return;
    }
  }
}

// PIN. A valid PIN never stays in the stored record: it is masked.
void Pin(const std::string& txtline, CheckContext& ctx) {
  const bool in_run = InRun(ctx);
  if (!PinCheck(Text(txtline, kPin))) {
    ReportField(txtline, Field(kPin),
                "Must not be blank. Must be alphanumeric. This is a mandatory field.", ctx);
    if (in_run) {
      ctx.run->SetPinOK(false);
    } else if (ctx.viewing() && ctx.rows != nullptr &&
               !ctx.results.HasFinding(ctx.state.RecCtr, Reference(Field(kPin)))) {
      // The masked copy of a PIN that passed when this record was tested:
      // the run stored no PIN finding against it.
      ctx.rows->Unmark(kPin);
    }
  } else if (in_run) {
    ctx.run->SetPinOK(true);
    std::string masked = txtline;
    masked.replace(static_cast<size_t>(Field(kPin).start - 1), 8, "********");
    ctx.run->current().record = std::move(masked);
  }
}

void Software(const std::string& txtline, CheckContext& ctx) {
  const std::string_view vendor = Text(txtline, kVendorCode);
  if (!NumCheck(vendor) && !IsBlank(vendor))
    ReportField(txtline, Field(kVendorCode), "Must be numeric or blank.", ctx);
  CharField(txtline, Field(kBlank4), ctx);
  if (!OneOf(Text(txtline, kSoftwareCode), {"99", "98"}))
    ReportField(txtline, Field(kSoftwareCode), "Must be either 98 or 99.", ctx);
}

// The submitter's name, street and city; with notification by mail the
// delivery address and city are required.
void NameAndStreet(const std::string& txtline, bool by_mail, CheckContext& ctx) {
  CharField(txtline, Field(kSubmitterName), ctx);
  CharField(txtline, Field(kLocationAddress), ctx);
  CharField(txtline, Field(kDeliveryAddress), ctx);
  if (by_mail && IsBlank(Text(txtline, kDeliveryAddress)))
    ReportField(txtline, Field(kDeliveryAddress), RequiredForMail("Delivery Address"), ctx);
  CharField(txtline, Field(kCity), ctx);
  if (by_mail && IsBlank(Text(txtline, kCity)))
    ReportField(txtline, Field(kCity), RequiredForMail("City"), ctx);
}

// The submitter's address, domestic or foreign; with notification by mail
// the state and ZIP Code are required.
void Address(const std::string& txtline, bool by_mail, CheckContext& ctx) {
  NameAndStreet(txtline, by_mail, ctx);
  BlankAddressField required_for_mail;
  if (by_mail) {
    required_for_mail = [&](const FieldSpec& blank) {
      if (blank.number == kState) {
        ReportField(txtline, blank, RequiredForMail("State Abbreviation"), ctx);
      } else {
        ReportAs(txtline, kZip, "Zip Code [Position 157 - 161]", RequiredForMail("Zip Code"), ctx);
      }
    };
  }
  const AddressFields fields{.state = Field(kState),
                             .zip = Field(kZip),
                             .zip_extension = Field(kZipExtension),
                             .filler = Field(kBlank13),
                             .foreign_state = Field(kForeignState),
                             .foreign_postal_code = Field(kForeignPostalCode),
                             .country = Field(kCountry),
                             .lone_extension_label = "Zip Code Extension"};
  CheckAddressCodes(txtline, fields, ctx, required_for_mail);
}

// The contact's name, phone, e-mail (required with notification by
// e-mail) and fax.
void Contact(const std::string& txtline, std::string_view notification, CheckContext& ctx) {
  if (!NameCheck(Text(txtline, kContactName))) {
    ReportField(txtline, Field(kContactName),
                "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods, "
                "apostrophes and blanks.",
                ctx);
  }
  if (IsBlank(Text(txtline, kContactPhone))) {
    ReportField(txtline, Field(kContactPhone),
                "Enter a valid contact phone number. Wagemark needs a valid contact phone number "
                "to notify you if there is a problem with the wage report submission.",
                ctx);
  }
  CharField(txtline, Field(kContactPhoneExtension), ctx);
  CharField(txtline, Field(kBlank20), ctx);

  if (notification == "1" && IsBlank(Text(txtline, kEmail))) {
    ReportAs(txtline, kEmail, "Contact E-Mail/Internet [Position 262-301]",
             "If Preferred Method of Problem Notification Code [Position 315] equals 1, then the "
             "Contact E-Mail/Internet field cannot be blank.",
             ctx);
  } else {
    CharField(txtline, Field(kEmail), ctx);
  }
  CharField(txtline, Field(kBlank22), ctx);
  CharField(txtline, Field(kFax), ctx);
}

// The notification, preparer and resubmission codes.
void Codes(const std::string& txtline, std::string_view notification, CheckContext& ctx) {
  if (!OneOf(notification, {"1", "2"})) {
    ReportField(txtline, Field(kNotification),
                "Enter appropriate code: 1 - E-Mail/Internet, 2 - U.S. Postal Service.", ctx);
  }
  if (!OneOf(Text(txtline, kPreparer), {"L", "A", "S", "P", "O"})) {
    ReportField(txtline, Field(kPreparer),
                "Enter appropriate code: 'A' - Accounting Firm, 'L' - Self-Prepared, 'S' - "
                "Service Bureau, 'P' - Parent Company, 'O' - Other.",
                ctx);
  }
  if (!OneOf(Text(txtline, kResubIndicator), {"0", "1"})) {
    ReportField(txtline, Field(kResubIndicator),
                "Enter appropriate code: 1 - File being resubmitted, 0 - Other.", ctx);
  }
}

// The WFID of the submission a resubmission replaces.
void ResubWfid(const std::string& txtline, CheckContext& ctx) {
  const std::string_view resub = Text(txtline, kResubIndicator);
  const std::string_view wfid = Text(txtline, kResubWfid);
  if (resub == "0" && !IsBlank(wfid)) {
    ReportField(txtline, Field(kResubWfid),
                "If Resub Indicator [Position 317] equals zero, then the Resub WFID field must be "
                "blank. If this is an original submission, then change the Resub WFID field to "
                "blank. If this is a resubmission, then enter 1 in the Resub Indicator field.",
                ctx);
  } else if (resub == "1" && IsBlank(wfid)) {
    ReportAs(txtline, kResubWfid, "Resub WFID [Position 318-323]",
             "If Resub Indicator [Position 317] equals 1, then the Resub WFID field cannot be "
             "blank. The 6 digit WFID is located on the notice sent by Wagemark.",
             ctx);
  } else if (resub == "1" && !AlphaNumCheck(wfid)) {
    ReportField(txtline, Field(kResubWfid),
                "May only contain letters (A - Z) and/or numbers (0 - 9).", ctx);
  }
}

}  // namespace

const FieldSpec& RcaEmailField() { return Field(kEmail); }

void CheckCodeRCA(const std::string& txtline, CheckContext& ctx) {
  const std::string_view notification = Text(txtline, kNotification);
  SubmitterEin(txtline, ctx);
  Pin(txtline, ctx);
  Software(txtline, ctx);
  Address(txtline, notification == "2", ctx);
  Contact(txtline, notification, ctx);
  Codes(txtline, notification, ctx);
  ResubWfid(txtline, ctx);
  CharField(txtline, Field(kBlank28), ctx);
}

void FillRCAlabels(const std::string& txtline, ViewerRows& rows) { FillRows(kRCA, txtline, rows); }

}  // namespace lintaro
