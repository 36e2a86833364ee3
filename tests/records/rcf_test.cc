#include <gtest/gtest.h>

#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/sample_records.h"

namespace lintaro {
namespace {

using testing::CleanRCA;
using testing::CleanRCE;
using testing::FinalRecord;
using testing::Finding;
using testing::FindingsOf;
using testing::MakeRecord;
using testing::Patch;
using testing::RunRecords;
using testing::ViewFixture;

const char* kCountMismatch =
    "The number of RCW records in the submission does not equal the value in the RCF record.";

// RCA, RCE, `rcw` RCWs, RCT and the final record (the last record).
std::vector<std::string> Submission(int rcw, const std::string& final_record) {
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  for (int i = 0; i < rcw; ++i) records.push_back(MakeRecord("RCW"));
  records.push_back(MakeRecord("RCT"));
  records.push_back(final_record);
  return records;
}

std::vector<Finding> FinalFindings(const std::vector<std::string>& records) {
  auto out = RunRecords(records);
  EXPECT_EQ(out.records.size(), records.size());
  return FindingsOf(out.errors, static_cast<int64_t>(records.size()));
}

TEST(CheckCodeRCF, CountsTheStoredRcwRecords) {
  EXPECT_TRUE(FinalFindings(Submission(5, FinalRecord(5))).empty());
  const std::vector<Finding> expected = {
      {"Number of RCW Records [Position 4 - 12]", "[000000004]", kCountMismatch}};
  EXPECT_EQ(FinalFindings(Submission(5, FinalRecord(4))), expected);
}

TEST(CheckCodeRCF, BlankCountIsNotCompared) {
  const std::vector<Finding> expected = {
      {"Number of RCW Records [Position 4 - 12]", "[         ]",
       "Must be numeric. Right justify and zero fill."}};
  EXPECT_EQ(FinalFindings(Submission(2, MakeRecord("RCF"))), expected);
}

TEST(CheckCodeRCF, OptionalRecordsAreNotCounted) {
  std::vector<std::string> records = {CleanRCA(),         CleanRCE(),         MakeRecord("RCW"),
                                      MakeRecord("RCO"),  MakeRecord("RCW"),  MakeRecord("RCO"),
                                      MakeRecord("RCW"),  MakeRecord("RCT"),  MakeRecord("RCU"),
                                      FinalRecord(3)};
  EXPECT_TRUE(FinalFindings(records).empty());
}

TEST(CheckCodeRCF, CountsEveryEmployerAndOnlyIdentifiersAsFound) {
  // The lower-case identifier is stored as found and is not an RCW here
  // (after an RCE it passes the sequence rules, and no rule follows it).
  std::vector<std::string> records = {CleanRCA(),        CleanRCE(),
                                      MakeRecord("rcw"), MakeRecord("RCW"),
                                      MakeRecord("RCT"), CleanRCE({{17, "320000002"}}),
                                      MakeRecord("RCW"), MakeRecord("RCT"),
                                      FinalRecord(2)};
  EXPECT_TRUE(FinalFindings(records).empty());
}

TEST(CheckCodeRCF, BlankFieldHoldsPrintableCharactersOnly) {
  const std::string rcf = Patch(FinalRecord(1), {{13, "\x1b"}, {1024, "\xFF"}});
  auto found = FinalFindings(Submission(1, rcf));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].reference, "Blank [Position 13 - 1024]");
  EXPECT_EQ(found[0].error,
            "Invalid character found in position(s) 13 and 1024 of this record. This field may "
            "only contain letters (A-Z), numbers (0-9), spaces, non-alpha non-numeric characters "
            "(~ ! @ # $ % ^ & * ( ) _ + { } | : \" < > ? ` - = [ ] \\ ; ' , . /).");
}

TEST(CheckCodeRCF, ViewerCountsEveryStoredRcw) {
  ViewFixture v;
  v.rows.Build(3);
  v.results.ids["RCW"] = 6;
  CheckCodeRCF(FinalRecord(5), v.ctx);
  EXPECT_EQ(v.rows.Marked(), std::set<int>{1});
  v.rows.Build(3);
  CheckCodeRCF(FinalRecord(6), v.ctx);
  EXPECT_TRUE(v.rows.Marked().empty());
  FillRCFlabels(FinalRecord(6), v.rows);
  EXPECT_EQ(v.rows.rows[1].label, "Number of RCW Records");
  EXPECT_EQ(v.rows.rows[1].value, "000000006");
  EXPECT_EQ(v.rows.rows[2].value.size(), 1012u);
}

}  // namespace
}  // namespace lintaro
