#include "checks/money_pairs.h"

#include <gtest/gtest.h>

#include "support/run_fixture.h"

namespace lintaro {
namespace {

using testing::MakeRecord;
using testing::RunFixture;
using testing::ViewFixture;

constexpr const char* kWages = "Correct Wages, Tips and Other Compensation";
const std::string kBlank11(11, ' ');

// An RCW pair 1 (wages): originally reported at 244, correct at 255.
std::string Wages(const std::string& orig, const std::string& correct) {
  return MakeRecord("RCW", {{244, orig}, {255, correct}});
}

class EmployeePairs : public ::testing::Test {
 protected:
  void SetUp() override {
    f.Append(MakeRecord("RCE"));
    f.run->OpenEmployer("310000001");
    f.state.employee_reference = "123456789";
  }
  // Checks pair 1 of a new RCW record.
  void Check(const std::string& record) {
    f.Append(record);
    MoneyFieldCheck(record, "RW", kWages, 255, 265, 11, 244, 254, 20, "1", f.ctx);
  }
  TotalsRow::Pair& Pair1() { return f.run->employer(TotalsTable::kTRCT)->pair(1); }

  RunFixture f;
};

TEST_F(EmployeePairs, SameAmountsAreAnErrorAndStillCount) {
  Check(Wages("00000010000", "00000010000"));
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Correct Wages, Tips and Other Compensation [Position 255 - 265]");
  EXPECT_EQ(errors[0].user_entry, "[00000010000]");
  EXPECT_EQ(errors[0].error, kMoneySameMessage);
  EXPECT_EQ(errors[0].rec_num, 2);
  EXPECT_EQ(Pair1().correct, 10000);
  EXPECT_EQ(Pair1().orig, 10000);
  EXPECT_FALSE(Pair1().correct_blank);
  EXPECT_FALSE(Pair1().orig_blank);
}

TEST_F(EmployeePairs, AllZeroCorrectAmountIsACaution) {
  Check(Wages(kBlank11, "00000000000"));
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].error,
            "All zeros in the Correct Money field will zero out the Originally Reported Money "
            "field. Please make sure this is correct.");
  EXPECT_EQ(f.state.zero_amount_count, 1);
  EXPECT_EQ(Pair1().correct, 0);
  EXPECT_FALSE(Pair1().correct_blank);
  EXPECT_TRUE(Pair1().orig_blank);
}

TEST_F(EmployeePairs, ZeroAmountsAreReportedTenTimesAndCountedAll) {
  for (int i = 0; i < 12; ++i) Check(Wages("00000000100", "00000000000"));
  auto errors = f.Errors();
  EXPECT_EQ(errors.size(), 10u);
  EXPECT_EQ(errors.back().rec_num, 11);  // records 2 to 11
  EXPECT_EQ(f.state.zero_amount_count, 12);
  EXPECT_EQ(Pair1().orig, 1200);
}

TEST_F(EmployeePairs, BlankCorrectWithOriginalAmount) {
  Check(Wages("00000010000", kBlank11));
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].user_entry, "[" + kBlank11 + "]");
  EXPECT_EQ(errors[0].error, kMoneyCorrectBlankMessage);
  EXPECT_EQ(Pair1().orig, 10000);
  EXPECT_TRUE(Pair1().correct_blank);
}

TEST_F(EmployeePairs, InvalidOriginalAmountIsLeftToTheCaller) {
  Check(Wages("0000001000A", kBlank11));
  EXPECT_TRUE(f.Errors().empty());
  EXPECT_EQ(Pair1().orig, 0);
  EXPECT_TRUE(Pair1().orig_blank);
}

TEST_F(EmployeePairs, NonNumericCorrectAmountNamesTheFirstEmployee) {
  Check(Wages("00000001000", "0000001000A"));
  f.state.employee_reference = "987654321";
  Check(Wages(kBlank11, "-0000001000"));
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 2u);
  for (const auto& e : errors) EXPECT_EQ(e.error, kMoneyNotNumericMessage);
  EXPECT_EQ(errors[1].user_entry, "[-0000001000]");
  EXPECT_EQ(Pair1().err_ref, "123456789");
  EXPECT_EQ(Pair1().correct, 0);
  EXPECT_TRUE(Pair1().correct_blank);
  EXPECT_EQ(Pair1().orig, 1000);  // the original amount was numeric
}

TEST_F(EmployeePairs, OptionalRecordPairsGoToTRCU) {
  std::string record = MakeRecord("RCO", {{13, "00000000500"}, {24, "00000000700"}});
  f.Append(record);
  MoneyFieldCheck(record, "RO", "Correct Allocated Tips", 24, 34, 11, 13, 23, 3, "1", f.ctx);
  std::string bad = MakeRecord("RCO", {{13, kBlank11}, {24, "00000000X00"}});
  f.Append(bad);
  MoneyFieldCheck(bad, "RO", "Correct Allocated Tips", 24, 34, 11, 13, 23, 3, "1", f.ctx);
  const TotalsRow& u = *f.run->employer(TotalsTable::kTRCU);
  EXPECT_EQ(u.pair(1).correct, 700);
  EXPECT_EQ(u.pair(1).orig, 500);
  EXPECT_EQ(u.pair(1).err_ref, "123456789");
  EXPECT_EQ(Pair1().correct, 0);  // TRCT untouched
  EXPECT_EQ(Pair1().err_ref, "None");
}

TEST_F(EmployeePairs, PairStepChecksTheOriginalFieldFirst) {
  std::string record = Wages("0000\x01" "000000", "00000000500");
  f.Append(record);
  MoneyPairStep(record, "RW", "Wages, Tips and Other Compensation", 244, 255, 20, 1, f.ctx);
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference,
            "Originally Reported Wages, Tips and Other Compensation [Position 244 - 254]");
  EXPECT_EQ(errors[0].error,
            "Invalid character found in position(s) 248 of this record. This field may only "
            "contain letters (A-Z), numbers (0-9), spaces, non-alpha non-numeric characters (~ ! "
            "@ # $ % ^ & * ( ) _ + { } | : \" < > ? ` - = [ ] \\ ; ' , . /). Please note that the "
            "sum of this field cannot be totaled correctly in the RCT record because of the "
            "presence of an invalid character(s).");
  EXPECT_EQ(Pair1().correct, 500);
}

TEST(EmployeePairsWithoutEmployer, StillReportsAndAddsNothing) {
  RunFixture f;
  std::string record = Wages("00000000100", "00000000100");
  f.Append(record);
  MoneyFieldCheck(record, "RW", kWages, 255, 265, 11, 244, 254, 20, "1", f.ctx);
  EXPECT_EQ(f.Errors().size(), 1u);
  EXPECT_EQ(f.run->employer(TotalsTable::kTRCT), nullptr);
}

TEST(EmployeePairsViewing, MarksAndUnmarksWithoutWriting) {
  ViewFixture v;
  v.rows.Build(78);
  v.rows.Mark(19);
  std::string record = Wages("00000000100", "00000000100");
  MoneyFieldCheck(record, "RW", kWages, 255, 265, 11, 244, 254, 20, "1", v.ctx);
  EXPECT_EQ(v.rows.Marked(), std::set<int>{20});  // 19 given its normal background
}

// Total record pairs: RCT pair 1 at 11-25 (field 2) and 26-40 (field 3).
class TotalPairs : public ::testing::Test {
 protected:
  TotalPairs() : R(TotalsTable::kTRCT) {}
  std::vector<ErrorRow> Check(const std::string& orig, const std::string& correct,
                              const char* id = "RT") {
    RunFixture f;
    std::string record = MakeRecord(id[1] == 'T' ? "RCT" : "RCU", {{11, orig}, {26, correct}});
    f.Append(record);
    MoneyFieldCheck(record, id, "Total Correct Wages, Tips and Other Compensation", 26, 40, 15, 11,
                    25, 3, "1", f.ctx, &R);
    return f.Errors();
  }
  void Sums(int64_t orig, int64_t correct) {
    R.pair(1).orig = orig;
    R.pair(1).orig_blank = false;
    R.pair(1).correct = correct;
    R.pair(1).correct_blank = false;
  }
  TotalsRow R;
};

std::string Digits15(int64_t cents) {
  std::string s = std::to_string(cents);
  return std::string(15 - s.size(), '0') + s;
}

const std::string kBlank15(15, ' ');

TEST_F(TotalPairs, WorkedExample) {
  // Correct wages 100000, 50000 and blank; originally reported 90000 each.
  Sums(180000, 150000);
  auto errors = Check(Digits15(180000), Digits15(140000));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].error,
            "The sum of the RCW Correct Wages, Tips and Other Compensation amounts does not equal "
            "the amount in the Total Correct Wages, Tips and Other Compensation field of the RCT "
            "record. The calculated sum of the RCW amounts for the Correct Wages, Tips and Other "
            "Compensation of the RCT record is 150000. The reported sum of the RCW amounts for "
            "the Correct Wages, Tips and Other Compensation of the RCT record is 140000.");
  EXPECT_EQ(errors[0].reference,
            "Total Correct Wages, Tips and Other Compensation [Position 26 - 40]");
  EXPECT_EQ(errors[0].user_entry, "[000000000140000]");
}

TEST_F(TotalPairs, OriginalTotalMismatchAndHugeSumsInPlainDigits) {
  Sums(1234567890123456789, 5);
  auto errors = Check(Digits15(7), Digits15(5));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference,
            "Total Originally Reported Wages, Tips and Other Compensation [Position 11 - 25]");
  EXPECT_EQ(errors[0].error,
            "The sum of the RCW Originally Reported Wages, Tips and Other Compensation amounts "
            "does not equal the amount in the Total Originally Reported Wages, Tips and Other "
            "Compensation field of the RCT record. The calculated sum of the RCW amounts for the "
            "Originally Reported Wages, Tips and Other Compensation of the RCT record is "
            "1234567890123456789. The reported sum of the RCW amounts for the Originally "
            "Reported Wages, Tips and Other Compensation of the RCT record is 7.");
}

TEST_F(TotalPairs, AllBlankEmployeeAmounts) {
  // Every employee left the pair blank: zeros are wrong, blanks and even
  // letters in the original total are not compared.
  auto zeros = Check(Digits15(0), Digits15(0));
  ASSERT_EQ(zeros.size(), 1u);  // the correct total repeats the original
  EXPECT_EQ(zeros[0].error,
            "The Total Originally Reported Money field of the RCT record must be blank because all "
            "of the corresponding Originally Reported Money fields of the RCW records are blank.");
  EXPECT_TRUE(Check(kBlank15, kBlank15).empty());
  EXPECT_TRUE(Check("ABCDEFGHIJKLMNO", kBlank15).empty());
  auto correct_zero = Check(kBlank15, Digits15(0));
  ASSERT_EQ(correct_zero.size(), 1u);
  EXPECT_EQ(correct_zero[0].error,
            "The Total Correct Money field of the RCT record must be blank because all of the "
            "corresponding Correct Money fields of the RCW records are blank.");
}

TEST_F(TotalPairs, BlankOrInvalidTotalsWhenTheSumsShowACorrection) {
  Sums(100, 200);
  auto errors = Check(kBlank15, kBlank15);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference,
            "Total Originally Reported Wages, Tips and Other Compensation [Position 11 - 25]");
  EXPECT_EQ(errors[0].user_entry, "[" + kBlank15 + "]");
  EXPECT_EQ(errors[0].error,
            "Only numeric amounts are allowed. The Total Originally Reported Money field of the "
            "RCT record must not be blank or contain invalid characters. The sum of the RCW "
            "amounts indicates a correction.");
  EXPECT_EQ(errors[1].reference,
            "Total Correct Wages, Tips and Other Compensation [Position 26 - 40]");
  EXPECT_EQ(errors[1].error,
            "Only numeric amounts are allowed. The Total Correct Money field of the RCT record "
            "must not be blank or contain invalid characters. The sum of the RCW amounts "
            "indicates a correction.");
}

TEST_F(TotalPairs, BlankCorrectTotalWithoutCorrectionPasses) {
  Sums(300, 300);
  EXPECT_TRUE(Check(Digits15(300), kBlank15).empty());
}

TEST_F(TotalPairs, InvalidCorrectTotal) {
  Sums(300, 400);
  auto errors = Check(Digits15(300), "00000000000040A");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].error, kMoneyNotNumericMessage);
  EXPECT_EQ(errors[0].reference,
            "Total Correct Wages, Tips and Other Compensation [Position 26 - 40]");
}

TEST_F(TotalPairs, EqualTotalsCompareOnlyTheOriginal) {
  Sums(300, 400);
  auto errors = Check(Digits15(250), Digits15(250));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].error.find("is 300. The reported sum"), std::string::npos);
}

TEST_F(TotalPairs, CorrectTotalWithoutOriginalTotal) {
  R.pair(1).correct = 400;
  R.pair(1).correct_blank = false;
  auto errors = Check(kBlank15, Digits15(400));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].error,
            "A value was entered in the Total Correct Money field but the Total Originally "
            "Reported Money field is blank.");
}

TEST_F(TotalPairs, OptionalTotalsUseTheirOwnWording) {
  R = TotalsRow(TotalsTable::kTRCU);
  Sums(100, 200);
  auto errors = Check(kBlank15, Digits15(250), "RU");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].error,
            "Only numeric amounts are allowed. The Total Originally Reported Money field of the "
            "RCU record must not be blank or contain invalid characters. The sum of the RCO "
            "amounts indicates a correction.");
  EXPECT_EQ(errors[1].error,
            "The sum of the RCO Correct Wages, Tips and Other Compensation amounts does not equal "
            "the amount in the Total Correct Wages, Tips and Other Compensation field of the RCU "
            "record. The calculated sum of the RCO amounts for the Correct Wages, Tips and Other "
            "Compensation of the RCU record is 200. The reported sum of the RCO amounts for the "
            "Correct Wages, Tips and Other Compensation of the RCU record is 250.");
}

TEST(TotalPairsWithoutEmployer, ComparesNothing) {
  RunFixture f;
  std::string record = MakeRecord("RCT", {{11, "ABC"}, {26, "XYZ"}});
  f.Append(record);
  MoneyFieldCheck(record, "RT", "Total Correct Wages, Tips and Other Compensation", 26, 40, 15, 11,
                  25, 3, "1", f.ctx, nullptr);
  EXPECT_TRUE(f.Errors().empty());
}

TEST(FieldPairCheck, BlanknessAndEquality) {
  RunFixture f;
  std::string record = MakeRecord("RCW", {{1003, "1"}, {1004, "1"}});
  f.Append(record);
  FieldPairCheck(record, "Correct Statutory Employee Indicator", 1004, 1004, 1, 1003, 76, false,
                 f.ctx);
  std::string ssn = MakeRecord("RCW", {{4, "123456789"}, {13, "123456789"}});
  f.Append(ssn);
  FieldPairCheck(ssn, "Employee's Correct SSN", 13, 21, 9, 4, 2, true, f.ctx);
  std::string blank = MakeRecord("RCW", {{4, "123456789"}});
  f.Append(blank);
  FieldPairCheck(blank, "Employee's Correct SSN", 13, 21, 9, 4, 2, true, f.ctx);
  std::string both_blank = MakeRecord("RCW");
  f.Append(both_blank);
  FieldPairCheck(both_blank, "Employee's Correct SSN", 13, 21, 9, 4, 2, true, f.ctx);
  auto errors = f.Errors();
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].reference, "Correct Statutory Employee Indicator [Position 1004]");
  EXPECT_EQ(errors[0].user_entry, "[1]");
  EXPECT_EQ(errors[0].error,
            "Must enter blanks in both fields if no corrections are being reported to this data.");
  EXPECT_EQ(errors[1].reference, "Employee's Correct SSN [Position 13 - 21]");
  EXPECT_EQ(errors[1].error,
            "Must enter blanks in the corresponding Originally Reported field if no correction is "
            "being reported to this data.");
  EXPECT_EQ(errors[2].user_entry, "[         ]");
  EXPECT_EQ(errors[2].error,
            "Must not be blank. Otherwise enter blank in the corresponding Originally Reported "
            "field if no corrections are being reported.");
}

TEST(FieldPairCheck, CaseDifferenceIsACorrection) {
  RunFixture f;
  std::string record = MakeRecord("RCE", {{36, "ab12"}, {40, "AB12"}});
  f.Append(record);
  FieldPairCheck(record, "Employer's Correct Establishment Number", 40, 43, 4, 36, 7, false, f.ctx);
  EXPECT_TRUE(f.Errors().empty());
}

}  // namespace
}  // namespace lintaro
