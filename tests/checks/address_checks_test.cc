#include "checks/address_checks.h"

#include <gtest/gtest.h>

#include "support/run_fixture.h"

namespace lintaro {
namespace {

using testing::MakeRecord;
using testing::RunFixture;
using testing::ViewFixture;

TEST(StateCheck, SubstringOfTheListText) {
  for (const char* s : {"  ", "DC", "PR", "AE", "MD", "AC", "A,", ",M"}) EXPECT_TRUE(StateCheck(s)) << s;
  for (const char* s : {"ZZ", "md", "US", " M", "M "}) EXPECT_FALSE(StateCheck(s)) << s;
}

TEST(CountryCheck, SubstringOrTwoBlanks) {
  for (const char* s : {"  ", "UK", "CA", "ZI", "AA", "A,"}) EXPECT_TRUE(CountryCheck(s)) << s;
  for (const char* s : {"US", "uk", " C", "C "}) EXPECT_FALSE(CountryCheck(s)) << s;
}

// An RCW with the given State (188), ZIP (190) and Country (242).
std::string Employee(const std::string& state, const std::string& zip, const std::string& country) {
  return MakeRecord("RCW", {{188, state}, {190, zip}, {242, country}});
}

std::vector<ErrorRow> Check(const std::string& record) {
  RunFixture f;
  f.Append(record);
  ForeignAddressCheck(record, f.ctx);
  return f.Errors();
}

TEST(ForeignAddressCheck, ForeignCountryWithDomesticZip) {
  auto errors = Check(Employee("  ", "12345", "CA"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Country Code [Position 242 - 243]");
  EXPECT_EQ(errors[0].user_entry, "[CA]");
  EXPECT_EQ(errors[0].error, "Must not have both a foreign Country Code and a domestic ZIP Code.");
}

TEST(ForeignAddressCheck, StateWithCountryGivesOnlyTheSecondMessage) {
  for (const char* zip : {"     ", "12345"}) {
    auto errors = Check(Employee("NY", zip, "CA"));
    ASSERT_EQ(errors.size(), 1u) << zip;
    EXPECT_EQ(errors[0].error,
              "Must not have both a domestic State Abbreviation and a foreign Country Code.");
  }
}

TEST(ForeignAddressCheck, DomesticOrPlainForeignAddressPasses) {
  EXPECT_TRUE(Check(Employee("  ", "     ", "CA")).empty());
  EXPECT_TRUE(Check(Employee("NY", "12345", "  ")).empty());
  EXPECT_TRUE(Check(MakeRecord("RCT", {{188, "  "}, {190, "12345"}, {242, "CA"}})).empty());
}

TEST(ForeignAddressCheck, EachRecordKindHasItsOwnBlock) {
  auto rca = Check(MakeRecord("RCA", {{155, "MD"}, {157, "21201"}, {210, "UK"}}));
  ASSERT_EQ(rca.size(), 1u);
  EXPECT_EQ(rca[0].reference, "Country Code [Position 210 - 211]");
  auto rce = Check(MakeRecord("RCE", {{167, "  "}, {169, "21201"}, {220, "UK"}}));
  ASSERT_EQ(rce.size(), 1u);
  EXPECT_EQ(rce[0].reference, "Country Code [Position 220 - 221]");
  EXPECT_EQ(rce[0].error, "Must not have both a foreign Country Code and a domestic ZIP Code.");
}

TEST(ForeignAddressCheck, MarksTheCountryRowWhileViewing) {
  ViewFixture v;
  v.rows.Build(24);
  ForeignAddressCheck(MakeRecord("RCE", {{167, "MD"}, {220, "UK"}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), std::set<int>{18});
}

}  // namespace
}  // namespace lintaro
