#include "support/clean_records.h"

#include <cstdio>

namespace lintaro::testing {
namespace {

long long WagesOrig(int n) { return 2500000 + (n * 7919LL) % 4000000; }
long long Wages(int n) { return WagesOrig(n) + 150000; }
long long TaxOrig(int n) { return WagesOrig(n) / 10; }
long long Tax(int n) { return TaxOrig(n) + 15000; }

// The base fields with `over` replacing any field at the same position.
Fields Merge(Fields base, const Fields& over) {
  for (const auto& [position, text] : over) base[position] = text;
  return base;
}

}  // namespace

std::string Cents(int64_t cents, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(cents));
  return buf;
}

std::string CleanRCA(const Fields& changes) {
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

std::string CleanRCE(const Fields& changes) {
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

std::string FinalRecord(int rcw) { return MakeRecord("RCF", {{4, Cents(rcw, 9)}}); }

std::string CleanRCW(const Fields& fields) {
  return MakeRecord("RCW", Merge({{13, "200000001"},
                                  {72, "JOHN"},
                                  {102, "DOE"},
                                  {122, "300 ELM STREET"},
                                  {166, "TOWSON"},
                                  {188, "MD"},
                                  {190, "21204"}},
                                 fields));
}
std::string CleanRCO(const Fields& fields) { return MakeRecord("RCO", fields); }
std::string CleanRCT(int64_t count, const Fields& fields) {
  return MakeRecord("RCT", Merge({{4, Cents(count, 7)}}, fields));
}
std::string CleanRCU(int64_t count, const Fields& fields) {
  return MakeRecord("RCU", Merge({{4, Cents(count, 7)}}, fields));
}

std::string PaidRCW(int n) {
  return CleanRCW({{13, Cents(200000000 + n, 9)},
                   {87, "Q"},
                   {102, "EMPLOYEE"},
                   {244, Cents(WagesOrig(n))},
                   {255, Cents(Wages(n))},
                   {266, Cents(TaxOrig(n))},
                   {277, Cents(Tax(n))}});
}

std::vector<std::string> CleanSubmission(int employees) {
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  for (int n = 0; n < employees; ++n) records.push_back(PaidRCW(n));
  long long wo = 0, w = 0, to = 0, t = 0;
  for (int n = 0; n < employees; ++n)
    wo += WagesOrig(n), w += Wages(n), to += TaxOrig(n), t += Tax(n);
  records.push_back(
      CleanRCT(employees,
               {{11, Cents(wo, 15)}, {26, Cents(w, 15)}, {41, Cents(to, 15)}, {56, Cents(t, 15)}}));
  records.push_back(FinalRecord(employees));
  return records;
}

}  // namespace lintaro::testing
