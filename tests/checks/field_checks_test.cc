// The character-class and code-list predicates at their edges; the golden
// cases (tests/golden) show the findings the record checks build from them.
#include "checks/field_checks.h"

#include <gtest/gtest.h>

#include "checks/address_checks.h"
#include "core/yielder.h"

namespace lintaro {
namespace {

TEST(FieldPredicates, AcceptAndReject) {
  struct Case {
    bool (*check)(std::string_view);
    std::vector<const char*> good, bad;
  };
  const std::vector<Case> cases = {
      {NumCheck, {"00000000000", ""}, {"           ", "12 4", "-0000001000", "1.5", "12\xB9"}},
      {NameCheck, {"O'NEIL-SMITH JR.", "   ", "", "JOHN 3RD"}, {"Smith", "J&J", "JOS\xC9"}},
      {AlphaNumCheck, {"AB12Z9", ""}, {"AB 2Z9", "AB-2Z9", "ab12z9"}},
      {PinCheck, {"ABCD1234"}, {"ABCd1234", "ABC 1234", "1234567 ", "ABC1234", "********"}},
      {StateCheck, {"  ", "DC", "PR", "AE", "A,", ",M"}, {"ZZ", "md", "US", " M", "M "}},
      {CountryCheck, {"  ", "UK", "CA", "ZI", "A,"}, {"US", "uk", " C", "C "}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    for (const char* s : cases[i].good) EXPECT_TRUE(cases[i].check(s)) << i << " " << s;
    for (const char* s : cases[i].bad) EXPECT_FALSE(cases[i].check(s)) << i << " " << s;
  }
}

TEST(CharCheck, YieldsOncePerPassingCharacter) {
  struct CountingPump : EventPump {
    void ProcessEvents() override { ++calls; }
    int calls = 0;
  } pump;
  Yielder yielder(&pump, 1);
  std::string positions;
  CharCheck(
      "AB\x01"
      "C\x02",
      1, positions, &yielder);
  EXPECT_EQ(pump.calls, 3);
}

}  // namespace
}  // namespace lintaro
