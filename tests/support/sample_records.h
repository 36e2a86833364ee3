// Records that pass every rule of their type, to be changed field by field
// in the tests.
#ifndef LINTARO_TESTS_SUPPORT_SAMPLE_RECORDS_H_
#define LINTARO_TESTS_SUPPORT_SAMPLE_RECORDS_H_

#include <map>
#include <string>

namespace lintaro::testing {

// A clean submitter record (EIN 123456789, PIN AB12CD34, e-mail
// notification), with each text of `changes` placed at its position.
std::string CleanRCA(const std::map<int, std::string>& changes = {});
// A clean employer record (tax year 2007, EIN 310000001, code R).
std::string CleanRCE(const std::map<int, std::string>& changes = {});
// A final record stating `rcw` RCW records.
std::string FinalRecord(int rcw);

// Places each text at its 1-based position in record.
std::string Patch(std::string record, const std::map<int, std::string>& changes);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_SAMPLE_RECORDS_H_
