#include "checks/field_checks.h"

#include <gtest/gtest.h>

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

TEST(NumCheck, DigitsOnly) {
  EXPECT_TRUE(NumCheck("00000000000"));
  EXPECT_TRUE(NumCheck(""));
  EXPECT_FALSE(NumCheck("           "));
  EXPECT_FALSE(NumCheck("12 4"));
  EXPECT_FALSE(NumCheck("-0000001000"));
  EXPECT_FALSE(NumCheck("1.5"));
  EXPECT_FALSE(NumCheck("12\xB9"));  // a superscript one is not a digit
}

TEST(CharCheck, ListsInvalidPositionsFromTheFieldStart) {
  std::string text = "ABCDEFGHIJKL";
  text[2] = '\t';
  text[9] = static_cast<char>(200);
  std::string positions = "left over";
  EXPECT_FALSE(CharCheck(text, 122, positions));
  EXPECT_EQ(positions, "124 and 131");
}

TEST(CharCheck, JoinsOneTwoAndThreePositions) {
  std::string positions;
  EXPECT_FALSE(CharCheck("ab\x01", 5, positions));
  EXPECT_EQ(positions, "7");
  EXPECT_FALSE(CharCheck("ab\x01x\x7F", 5, positions));
  EXPECT_EQ(positions, "7 and 9");
  EXPECT_FALSE(CharCheck(std::string("ab\x01x\x7Fxx\x80", 8) + "\xE9", 5, positions));
  EXPECT_EQ(positions, "7, 9, 12 and 13");
  EXPECT_FALSE(CharCheck("ab\x01x\x7Fxx\x80", 5, positions));
  EXPECT_EQ(positions, "7, 9 and 12");
}

TEST(CharCheck, PrintableRangeIncludesSpaceAndTilde) {
  std::string positions = "stale";
  EXPECT_TRUE(CharCheck(" ~AZaz09!\"", 1, positions));
  EXPECT_EQ(positions, "");
  EXPECT_TRUE(CharCheck("", 1, positions));
}

class CountingPump : public EventPump {
 public:
  void ProcessEvents() override { ++calls; }
  int calls = 0;
};

TEST(CharCheck, YieldsOncePerPassingCharacter) {
  CountingPump pump;
  Yielder yielder(&pump, 1);
  std::string positions;
  CharCheck("AB\x01" "C\x02", 1, positions, &yielder);
  EXPECT_EQ(pump.calls, 3);
}

TEST(CharCheck, StandardMessages) {
  EXPECT_EQ(InvalidCharMessage("45 and 50"), kInvalid4550);
  EXPECT_EQ(MoneyInvalidCharMessage("45 and 50", "RCU"),
            std::string(kInvalid4550) +
                " Please note that the sum of this field cannot be totaled correctly in the RCU "
                "record because of the presence of an invalid character(s).");
}

TEST(NameCheck, LettersDigitsAndFourMarks) {
  EXPECT_TRUE(NameCheck("O'NEIL-SMITH JR."));
  EXPECT_TRUE(NameCheck("                           "));
  EXPECT_TRUE(NameCheck(""));
  EXPECT_TRUE(NameCheck("JOHN 3RD"));
  EXPECT_FALSE(NameCheck("Smith"));
  EXPECT_FALSE(NameCheck("J&J"));
  EXPECT_FALSE(NameCheck("JOS\xC9"));
}

TEST(AlphaNumCheck, NoBlanks) {
  EXPECT_TRUE(AlphaNumCheck("AB12Z9"));
  EXPECT_TRUE(AlphaNumCheck(""));
  EXPECT_FALSE(AlphaNumCheck("AB 2Z9"));
  EXPECT_FALSE(AlphaNumCheck("AB-2Z9"));
  EXPECT_FALSE(AlphaNumCheck("ab12z9"));
}

TEST(PinCheck, EightLettersOrDigits) {
  EXPECT_TRUE(PinCheck("ABCD1234"));
  EXPECT_FALSE(PinCheck("ABCd1234"));
  EXPECT_FALSE(PinCheck("ABC 1234"));
  EXPECT_FALSE(PinCheck("1234567 "));
  EXPECT_FALSE(PinCheck("ABCD-234"));
  EXPECT_FALSE(PinCheck("ABC1234"));
  EXPECT_FALSE(PinCheck("********"));
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

}  // namespace
}  // namespace lintaro
