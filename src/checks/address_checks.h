// The code lists of the address blocks and the test that an address is
// either domestic or foreign, never both.
#ifndef LINTARO_CHECKS_ADDRESS_CHECKS_H_
#define LINTARO_CHECKS_ADDRESS_CHECKS_H_

#include <string_view>

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

// For an RCA, RCE or RCW record: a foreign Country Code with a domestic ZIP
// Code, or with a State Abbreviation, is reported against the record's
// Country Code field (at most one finding). Other records: nothing.
void ForeignAddressCheck(std::string_view record, CheckContext& ctx);

}  // namespace lintaro

#endif  // LINTARO_CHECKS_ADDRESS_CHECKS_H_
