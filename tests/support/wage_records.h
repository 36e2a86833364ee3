// Builders of clean employee and total records for the tests (the
// submitter, employer and final records are in sample_records.h): each
// passes every check of its record type, and the fields given are placed
// over it.
#ifndef LINTARO_TESTS_SUPPORT_WAGE_RECORDS_H_
#define LINTARO_TESTS_SUPPORT_WAGE_RECORDS_H_

#include <cstdint>
#include <map>
#include <string>

#include "support/sample_records.h"

namespace lintaro::testing {

// cents, zero-filled to width digits.
std::string Cents(int64_t cents, int width = 11);

// An employee with a Correct SSN, first and last name and a Maryland
// address, and no amounts.
std::string CleanRCW(const std::map<int, std::string>& fields = {});
std::string CleanRCO(const std::map<int, std::string>& fields = {});
// A total record with the count at 4-10 and blank totals.
std::string CleanRCT(int64_t count, const std::map<int, std::string>& fields = {});
std::string CleanRCU(int64_t count, const std::map<int, std::string>& fields = {});

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_WAGE_RECORDS_H_
