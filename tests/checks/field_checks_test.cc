// The character-class and code-list predicates at their edges; the golden
// cases (tests/golden) show the findings the record checks build from them.
#include "checks/field_checks.h"

#include <gtest/gtest.h>

#include <random>

#include "checks/address_checks.h"
#include "platform/yielder.h"

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

TEST(CharCheck, YieldsForEveryPassingCharacterAndJudgesEveryByteAsAlone) {
  struct CountingPump : EventPump {
    void ProcessEvents() override { ++calls; }
    int calls = 0;
  } pump;
  Yielder yielder(&pump, 1);
  std::string positions;
  CharCheck("AB\001C\002", 1, positions, &yielder);
  EXPECT_EQ(pump.calls, 3);

  // A field that passes counts all its characters in one step.
  pump.calls = 0;
  Yielder every16(&pump, 16);
  CharCheck("ABCDEFGHIJ", 1, positions, &every16);
  EXPECT_EQ(pump.calls, 0);
  CharCheck("ABCDEFGHIJ", 11, positions, &every16);
  EXPECT_EQ(pump.calls, 1);

  // Fields are tested eight characters at a time; every byte value at every
  // place of fields of 1 to 17 characters must be judged as alone.
  for (size_t length = 1; length <= 17; ++length) {
    for (size_t at = 0; at < length; ++at) {
      for (int b = 0; b < 256; ++b) {
        std::string text(length, b == 'A' ? 'B' : 'A');
        text[at] = static_cast<char>(b);
        const bool printable = b >= 32 && b <= 126;
        ASSERT_EQ(CharCheck(text, 10, positions), printable) << length << " " << at << " " << b;
        ASSERT_EQ(positions, printable ? "" : std::to_string(10 + at));
      }
    }
  }
  EXPECT_FALSE(CharCheck("\177ABCDEFGH\037IJ\377", 5, positions));
  EXPECT_EQ(positions, "5, 14 and 17");
}

// Blank fields are recognised eight characters at a time, the last eight
// overlapping the word before; every byte value at every place of fields of
// 0 to 17 characters must be judged as alone.
TEST(IsBlank, JudgesEveryByteAtEveryPlace) {
  for (size_t length = 0; length <= 17; ++length) {
    ASSERT_TRUE(IsBlank(std::string(length, ' '))) << length;
    for (size_t at = 0; at < length; ++at) {
      for (int b = 0; b < 256; ++b) {
        std::string text(length, ' ');
        text[at] = static_cast<char>(b);
        ASSERT_EQ(IsBlank(text), b == ' ') << length << " " << at << " " << b;
      }
    }
  }
}

// Amounts are read eight digits at a time; every length, value and place of
// the first other character must give the value read digit by digit, and
// longer amounts the maximum.
TEST(AmountValue, EqualsTheValueReadDigitByDigit) {
  EXPECT_EQ(AmountValue("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(AmountValue("99999999999999999999"), INT64_MAX);
  EXPECT_EQ(AmountValue("0000000000000000000042"), 42);
  std::mt19937_64 random(15);
  for (int round = 0; round < 20000; ++round) {
    const size_t length = random() % 19;
    std::string text;
    for (size_t i = 0; i < length; ++i) text.push_back(static_cast<char>('0' + random() % 10));
    if (length > 0 && random() % 3 == 0) text[random() % length] = " -/:A\xB9"[random() % 6];
    int64_t expected = 0;
    for (char c : text) {
      if (c < '0' || c > '9') break;
      expected = expected * 10 + (c - '0');
    }
    ASSERT_EQ(AmountValue(text), expected) << text;
    ASSERT_EQ(NumCheck(text), text.find_first_not_of("0123456789") == std::string::npos) << text;
  }
}

}  // namespace
}  // namespace lintaro
