// Records that pass every check of their type, for tests that change them
// field by field or need a well-formed submission around the case they test.
#ifndef LINTARO_TESTS_SUPPORT_CLEAN_RECORDS_H_
#define LINTARO_TESTS_SUPPORT_CLEAN_RECORDS_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace lintaro::testing {

using Fields = std::map<int, std::string>;

// cents, zero-filled to width digits.
std::string Cents(int64_t cents, int width = 11);

// Submitter (EIN 123456789, PIN AB12CD34, e-mail notification) and employer
// (tax year 2007, EIN 310000001, code R), with `changes` placed over them.
std::string CleanRCA(const Fields& changes = {});
std::string CleanRCE(const Fields& changes = {});
// A final record stating `rcw` RCW records.
std::string FinalRecord(int rcw);
// An employee with a Correct SSN, first and last name, a Maryland address
// and no amounts; an optional record; total records with the count at 4-10.
// A field given at the position of a base field replaces it whole.
std::string CleanRCW(const Fields& fields = {});
std::string CleanRCO(const Fields& fields = {});
std::string CleanRCT(int64_t count, const Fields& fields = {});
std::string CleanRCU(int64_t count, const Fields& fields = {});

// An employee whose wages and federal income tax are corrected.
std::string PaidRCW(int n = 0);
// RCA, RCE, PaidRCW(0 .. employees - 1), their totals in an RCT, RCF.
std::vector<std::string> CleanSubmission(int employees = 1);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_CLEAN_RECORDS_H_
