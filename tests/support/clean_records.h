// Records that pass every field check, for tests that need a well-formed
// submission around the case they test.
#ifndef LINTARO_TESTS_SUPPORT_CLEAN_RECORDS_H_
#define LINTARO_TESTS_SUPPORT_CLEAN_RECORDS_H_

#include <string>
#include <vector>

#include "support/sample_records.h"

namespace lintaro::testing {

// An employee whose wages and federal income tax are corrected.
std::string PaidRCW(int n = 0);
// The totals of `employees` records made by PaidRCW(0 .. employees - 1).
std::string PaidRCT(int employees);
std::string PaidRCF(int employees);

// RCA, RCE, `employees` RCWs, RCT, RCF.
std::vector<std::string> CleanSubmission(int employees = 1);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_CLEAN_RECORDS_H_
