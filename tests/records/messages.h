// Message texts shared by several record types, spelled out so that a
// change to any of them shows in the tests.
#ifndef LINTARO_TESTS_RECORDS_MESSAGES_H_
#define LINTARO_TESTS_RECORDS_MESSAGES_H_

#include <gtest/gtest.h>

#include <string>

#include "checks/field_checks.h"
#include "checks/money_pairs.h"
#include "records/layout.h"
#include "support/run_fixture.h"
#include "support/clean_records.h"

namespace lintaro::testing {

inline const std::string kMandatoryNumeric =
    "This is a mandatory field and must contain only valid numeric data.";
inline const std::string kNumericOrBlank = "Must be numeric or blank.";
inline const std::string kSameAsOriginal =
    "Must enter blanks in the corresponding Originally Reported field if no correction is being "
    "reported to this data.";
inline const std::string kBothBlank =
    "Must enter blanks in both fields if no corrections are being reported to this data.";
inline const std::string kCorrectNotBlank =
    "Must not be blank. Otherwise enter blank in the corresponding Originally Reported field if "
    "no corrections are being reported.";
inline const std::string kMandatoryBlank = "Must not be blank. This is a mandatory field.";
inline const std::string kBadState = "The Postal Abbreviation is invalid (see Korvel).";
inline const std::string kBadCountry = "The Country Code is invalid (see Korvel).";
inline const std::string kStateAndCountry =
    "Must not have both a domestic State Abbreviation and a foreign Country Code.";
inline const std::string kCountryAndZip =
    "Must not have both a foreign Country Code and a domestic ZIP Code.";
inline const std::string kExtensionWithoutZip =
    "A value was entered in the ZIP Code Extension field and the ZIP Code field is blank. Either "
    "change the ZIP Code Extension field to blank or enter a valid ZIP Code.";
inline const std::string kNameMarks =
    "May only contain letters (A - Z), numbers (0 - 9), spaces, hyphens, periods, apostrophes "
    "and blanks.";
inline const std::string kSameAmount =
    "The Originally Reported Money field amount must not be the same as the Correct Money field "
    "amount.";
inline const std::string kAllZeros =
    "All zeros in the Correct Money field will zero out the Originally Reported Money field. "
    "Please make sure this is correct.";

inline std::string Spaces(size_t n) { return std::string(n, ' '); }
inline std::string Pad(const std::string& text, size_t width) {
  return text + Spaces(width - text.size());
}
// "[text]", as a finding shows the user's entry.
inline std::string Entry(const std::string& text) { return "[" + text + "]"; }

// Each layout covers positions 1 to 1024 without gap or overlap.
template <size_t N>
void ExpectContiguous(const std::array<FieldSpec, N>& layout) {
  int next = 1;
  for (size_t i = 0; i < N; ++i) {
    EXPECT_EQ(layout[i].number, static_cast<int>(i));
    EXPECT_EQ(layout[i].start, next) << layout[i].label;
    next = layout[i].end() + 1;
  }
  EXPECT_EQ(next, 1025);
}

// One row of a checker's table: fields placed over a clean record and the
// findings expected of it, in order.
struct CheckCase {
  std::map<int, std::string> patch;
  std::vector<Finding> expected;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_RECORDS_MESSAGES_H_
