// The code lists of the address blocks and the checks of an address's
// codes that the submitter, employer and employee records share, among them
// that an address is either domestic or foreign, never both.
#ifndef LINTARO_CHECKS_ADDRESS_CHECKS_H_
#define LINTARO_CHECKS_ADDRESS_CHECKS_H_

#include <functional>
#include <string_view>

#include "checks/field_layout.h"

namespace lintaro {

struct CheckContext;

// The state abbreviation list, searched as one text (its first item is
// two blanks).
extern const std::string_view kStateList;
// The country code list, searched as one text.
extern const std::string_view kCountryList;

// Messages of a failed code-list test, reported by the record checkers.
inline constexpr const char* kStateInvalidMessage =
    "The Postal Abbreviation is invalid (see Korvel).";
inline constexpr const char* kCountryInvalidMessage = "The Country Code is invalid (see Korvel).";

// True when the value occurs in the state list text (a substring test:
// "  " and "A," pass, lower case fails).
bool StateCheck(std::string_view state);

// True when the value occurs in the country list text or is exactly two
// blanks.
bool CountryCheck(std::string_view country);

// Where a record's layout keeps the codes of its address.
struct AddressFields {
  const FieldSpec& state;
  const FieldSpec& zip;
  const FieldSpec& zip_extension;
  const FieldSpec& filler;  // the blank field after the ZIP Code extension
  const FieldSpec& foreign_state;
  const FieldSpec& foreign_postal_code;
  const FieldSpec& country;
  // The label the finding of an extension without a ZIP Code carries, when
  // the record names the field otherwise there; empty: the extension's own.
  std::string_view lone_extension_label = {};
};

// Called with the state's or the ZIP Code's field when it is blank, after
// that field's own test, for a record that may require them.
using BlankAddressField = std::function<void(const FieldSpec& blank)>;

// The codes of an address in layout order: the State Abbreviation, the ZIP
// Code and its extension (numeric or blank; no extension without a ZIP
// Code), the filler, foreign state and foreign postal code (printable
// characters) and the Country Code. When the state, ZIP Code and country
// code are valid, a foreign Country Code with a domestic ZIP Code, or with
// a State Abbreviation, is reported against the Country Code (at most one
// finding).
void CheckAddressCodes(std::string_view txtline, const AddressFields& fields, CheckContext& ctx,
                       const BlankAddressField& when_blank = {});

}  // namespace lintaro

#endif  // LINTARO_CHECKS_ADDRESS_CHECKS_H_
