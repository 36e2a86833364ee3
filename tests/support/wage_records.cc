#include "support/wage_records.h"

#include <cstdio>

#include "support/fakes.h"

namespace lintaro::testing {
namespace {

std::map<int, std::string> Merge(std::map<int, std::string> base,
                                 const std::map<int, std::string>& over) {
  for (const auto& [position, text] : over) base[position] = text;
  return base;
}

}  // namespace

std::string Cents(int64_t cents, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(cents));
  return buf;
}

std::string CleanRCW(const std::map<int, std::string>& fields) {
  return MakeRecord("RCW", Merge({{13, "200000001"},
                                  {72, "JOHN"},
                                  {102, "DOE"},
                                  {122, "300 ELM STREET"},
                                  {166, "TOWSON"},
                                  {188, "MD"},
                                  {190, "21204"}},
                                 fields));
}

std::string CleanRCO(const std::map<int, std::string>& fields) { return MakeRecord("RCO", fields); }

std::string CleanRCT(int64_t count, const std::map<int, std::string>& fields) {
  return MakeRecord("RCT", Merge({{4, Cents(count, 7)}}, fields));
}

std::string CleanRCU(int64_t count, const std::map<int, std::string>& fields) {
  return MakeRecord("RCU", Merge({{4, Cents(count, 7)}}, fields));
}

}  // namespace lintaro::testing
