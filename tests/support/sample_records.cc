#include "support/sample_records.h"

#include <cstdio>
#include <stdexcept>

#include "support/fakes.h"

namespace lintaro::testing {

std::string Patch(std::string record, const std::map<int, std::string>& changes) {
  for (const auto& [position, text] : changes) {
    if (position < 1 || position - 1 + text.size() > record.size())
      throw std::out_of_range("field outside the record");
    record.replace(static_cast<size_t>(position - 1), text.size(), text);
  }
  return record;
}

std::string CleanRCA(const std::map<int, std::string>& changes) {
  return Patch(MakeRecord("RCA", {{4, "123456789"},
                                  {13, "AB12CD34"},
                                  {30, "99"},
                                  {32, "HARBOR PAYROLL SERVICES"},
                                  {89, "100 MAIN STREET"},
                                  {133, "BALTIMORE"},
                                  {155, "MD"},
                                  {157, "21201"},
                                  {212, "JANE Q PUBLIC"},
                                  {239, "4105551234"},
                                  {262, "payroll@harbor.example"},
                                  {315, "1"},
                                  {316, "S"},
                                  {317, "0"}}),
               changes);
}

std::string CleanRCE(const std::map<int, std::string>& changes) {
  return Patch(MakeRecord("RCE", {{4, "2007"},
                                  {17, "310000001"},
                                  {44, "EXAMPLE MANUFACTURING CO"},
                                  {101, "200 HARBOR DRIVE"},
                                  {145, "ANNAPOLIS"},
                                  {167, "MD"},
                                  {169, "21401"},
                                  {223, "R"}}),
               changes);
}

std::string FinalRecord(int rcw) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%09d", rcw);
  return MakeRecord("RCF", {{4, digits}});
}

}  // namespace lintaro::testing
