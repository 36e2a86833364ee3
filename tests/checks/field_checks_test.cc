#include "checks/field_checks.h"

#include <gtest/gtest.h>

#include "checks/address_checks.h"
#include "core/yielder.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using testing::MakeRecord;
using testing::RunFixture;

const char* kInvalid4550 =
    "Invalid character found in position(s) 45 and 50 of this record. This field may only "
    "contain letters (A-Z), numbers (0-9), spaces, non-alpha non-numeric characters (~ ! @ # $ "
    "% ^ & * ( ) _ + { } | : \" < > ? ` - = [ ] \\ ; ' , . /).";

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

TEST(CharCheck, ListsInvalidPositionsFromTheFieldStart) {
  std::string positions = "left over";
  EXPECT_TRUE(CharCheck(" ~AZaz09!\"", 1, positions));
  EXPECT_EQ(positions, "");
  const std::vector<std::pair<std::string, const char*>> cases = {
      {"ab\x01", "7"},
      {"ab\x01x\x7F", "7 and 9"},
      {"ab\x01x\x7Fxx\x80", "7, 9 and 12"},
      {std::string("ab\x01x\x7Fxx\x80", 8) + "\xE9", "7, 9, 12 and 13"},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_FALSE(CharCheck(text, 5, positions));
    EXPECT_EQ(positions, expected);
  }
  EXPECT_EQ(InvalidCharMessage("45 and 50"), kInvalid4550);
  EXPECT_EQ(MoneyInvalidCharMessage("45 and 50", "RCU"),
            std::string(kInvalid4550) +
                " Please note that the sum of this field cannot be totaled correctly in the RCU "
                "record because of the presence of an invalid character(s).");
}

TEST(CharCheck, YieldsOncePerPassingCharacter) {
  struct CountingPump : EventPump {
    void ProcessEvents() override { ++calls; }
    int calls = 0;
  } pump;
  Yielder yielder(&pump, 1);
  std::string positions;
  CharCheck("AB\x01" "C\x02", 1, positions, &yielder);
  EXPECT_EQ(pump.calls, 3);
}

TEST(CharField, ReportsTheFieldWithItsPositions) {
  RunFixture f;
  std::string record = MakeRecord("RCA", {{45, "X\x01YZ\x02"}});
  f.Append(record);
  EXPECT_TRUE(CharField(record, "Blank", 25, 5, 4, f.ctx));
  EXPECT_FALSE(CharField(record, "Submitter Name", 45, 6, 6, f.ctx));
  EXPECT_FALSE(MoneyCharField(record, "Originally Reported Tips", 45, 6, 20, "RCT", f.ctx));
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference, "Submitter Name [Position 45 - 50]");
  EXPECT_EQ(errors[0].user_entry, "[X\x01YZ\x02 ]");
  EXPECT_EQ(errors[0].error, InvalidCharMessage("46 and 49"));
  EXPECT_EQ(errors[1].reference, "Originally Reported Tips [Position 45 - 50]");
  EXPECT_EQ(errors[1].error, MoneyInvalidCharMessage("46 and 49", "RCT"));
}

TEST(ForeignAddressCheck, EachRecordKindHasItsOwnBlock) {
  const char* zip_msg = "Must not have both a foreign Country Code and a domestic ZIP Code.";
  const char* state_msg =
      "Must not have both a domestic State Abbreviation and a foreign Country Code.";
  struct Case {
    std::string record;
    std::vector<std::string> expected;  // reference | entry | error
  };
  const std::vector<Case> cases = {
      {MakeRecord("RCW", {{188, "  "}, {190, "12345"}, {242, "CA"}}),
       {std::string("Country Code [Position 242 - 243] | [CA] | ") + zip_msg}},
      // A state with a country gives only the second message, ZIP or not.
      {MakeRecord("RCW", {{188, "NY"}, {190, "12345"}, {242, "CA"}}),
       {std::string("Country Code [Position 242 - 243] | [CA] | ") + state_msg}},
      {MakeRecord("RCW", {{188, "NY"}, {242, "CA"}}),
       {std::string("Country Code [Position 242 - 243] | [CA] | ") + state_msg}},
      {MakeRecord("RCW", {{242, "CA"}}), {}},
      {MakeRecord("RCW", {{188, "NY"}, {190, "12345"}}), {}},
      {MakeRecord("RCT", {{190, "12345"}, {242, "CA"}}), {}},
      {MakeRecord("RCA", {{155, "MD"}, {157, "21201"}, {210, "UK"}}),
       {std::string("Country Code [Position 210 - 211] | [UK] | ") + state_msg}},
      {MakeRecord("RCE", {{169, "21201"}, {220, "UK"}}),
       {std::string("Country Code [Position 220 - 221] | [UK] | ") + zip_msg}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    RunFixture f;
    f.Append(cases[i].record);
    ForeignAddressCheck(cases[i].record, f.ctx);
    std::vector<std::string> found;
    for (const auto& e : f.Errors()) found.push_back(e.reference + " | " + e.user_entry + " | " + e.error);
    EXPECT_EQ(found, cases[i].expected) << "case " << i;
  }
  testing::ViewFixture v;
  v.rows.Build(24);
  ForeignAddressCheck(MakeRecord("RCE", {{167, "MD"}, {220, "UK"}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), std::set<int>{18});
}

}  // namespace
}  // namespace lintaro
