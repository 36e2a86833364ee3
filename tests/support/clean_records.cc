#include "support/clean_records.h"

#include <cstdio>

#include "support/fakes.h"

namespace lintaro::testing {
namespace {

std::string Digits(long long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, value);
  return buf;
}

long long WagesOrig(int n) { return 2500000 + (n * 7919LL) % 4000000; }
long long Wages(int n) { return WagesOrig(n) + 150000; }
long long TaxOrig(int n) { return WagesOrig(n) / 10; }
long long Tax(int n) { return TaxOrig(n) + 15000; }

}  // namespace

std::string PaidRCW(int n) {
  return MakeRecord("RCW", {{13, Digits(200000000 + n, 9)},
                            {72, "JOHN"},
                            {87, "Q"},
                            {102, "EMPLOYEE"},
                            {122, "300 ELM STREET"},
                            {166, "TOWSON"},
                            {188, "MD"},
                            {190, "21204"},
                            {244, Digits(WagesOrig(n), 11)},
                            {255, Digits(Wages(n), 11)},
                            {266, Digits(TaxOrig(n), 11)},
                            {277, Digits(Tax(n), 11)}});
}

std::string PaidRCT(int employees) {
  long long wo = 0, w = 0, to = 0, t = 0;
  for (int n = 0; n < employees; ++n) {
    wo += WagesOrig(n);
    w += Wages(n);
    to += TaxOrig(n);
    t += Tax(n);
  }
  return MakeRecord("RCT", {{4, Digits(employees, 7)},
                            {11, Digits(wo, 15)},
                            {26, Digits(w, 15)},
                            {41, Digits(to, 15)},
                            {56, Digits(t, 15)}});
}

std::string PaidRCF(int employees) { return MakeRecord("RCF", {{4, Digits(employees, 9)}}); }

std::vector<std::string> CleanSubmission(int employees) {
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  for (int n = 0; n < employees; ++n) records.push_back(PaidRCW(n));
  records.push_back(PaidRCT(employees));
  records.push_back(PaidRCF(employees));
  return records;
}

}  // namespace lintaro::testing
