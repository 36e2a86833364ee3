#include <gtest/gtest.h>

#include "checks/field_checks.h"
#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/wage_records.h"
#include "totals/total_layouts.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::CleanRCO;
using testing::CleanRCU;
using testing::FakeRows;
using testing::RunFixture;
using testing::ViewFixture;

class Rcu : public ::testing::Test {
 protected:
  void SetUp() override {
    f.Append(testing::CleanRCE());
    f.run->OpenEmployer("310000001");
  }
  void Optional(const std::map<int, std::string>& fields) {
    const std::string wage = testing::CleanRCW();
    f.Append(wage);
    CheckCodeRCW(wage, f.ctx);
    const std::string record = CleanRCO(fields);
    f.Append(record);
    CheckCodeRCO(record, f.ctx);
  }
  std::vector<ErrorRow> Total(const std::string& record) {
    const size_t before = f.Errors().size();
    rcu_num = f.Append(record);
    CheckCodeRCU(record, static_cast<int32_t>(rcu_num), f.ctx);
    auto all = f.Errors();
    return {all.begin() + static_cast<long>(before), all.end()};
  }

  RunFixture f;
  int64_t rcu_num = 0;
};

TEST_F(Rcu, CountAndSums) {
  Optional({{13, Cents(100)}, {24, Cents(150)}});
  Optional({{13, Cents(200)}, {24, Cents(250)}});
  Optional({{178, Cents(7)}, {167, Cents(6)}});
  EXPECT_TRUE(Total(CleanRCU(3, {{11, Cents(300, 15)},
                                 {26, Cents(400, 15)},
                                 {221, Cents(6, 15)},
                                 {236, Cents(7, 15)}}))
                  .empty());
  auto stored = f.Record(rcu_num);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->rec_reference, "310000001");
  EXPECT_EQ(stored->rce_indx, f.run->employer(TotalsTable::kTRCU)->indx);

  auto errors = Total(CleanRCU(2, {{11, Cents(300, 15)},
                                   {26, Cents(401, 15)},
                                   {221, Cents(6, 15)},
                                   {236, Cents(7, 15)}}));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference, "Number of RCO Records [Position 4 - 10]");
  EXPECT_EQ(errors[0].error,
            "The number of RCO records (3) since the last RCE record does not equal the value in "
            "the RCU record.");
  EXPECT_EQ(errors[1].reference, "Total Correct Allocated Tips [Position 26 - 40]");
  EXPECT_EQ(errors[1].error,
            "The sum of the RCO Correct Allocated Tips amounts does not equal the amount in the "
            "Total Correct Allocated Tips field of the RCU record. The calculated sum of the RCO "
            "amounts for the Correct Allocated Tips of the RCU record is 400. The reported sum of "
            "the RCO amounts for the Correct Allocated Tips of the RCU record is 401.");

  auto blank = Total(CleanRCU(3, {{11, Cents(300, 15)}, {221, Cents(6, 15)}, {236, Cents(7, 15)}}));
  ASSERT_EQ(blank.size(), 1u);
  EXPECT_EQ(blank[0].error,
            "Only numeric amounts are allowed. The Total Correct Money field of the RCU record "
            "must not be blank or contain invalid characters. The sum of the RCO amounts indicates "
            "a correction.");
}

TEST_F(Rcu, NonNumericOptionalAmountSuppressesThePair) {
  Optional({{24, "0000000010A"}});
  auto errors = Total(CleanRCU(1, {{26, Cents(10, 15)}}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Total Correct Allocated Tips [Position 26 - 40]");
  EXPECT_EQ(errors[0].error,
            "The calculated sum is incorrect because of a non-numeric value entered in the RCO "
            "record.");
}

TEST_F(Rcu, ZeroTotalOfBlankAmountsMustBeBlank) {
  Optional({});
  auto errors = Total(CleanRCU(1, {{146, std::string(15, '0')}, {500, "\t"}}));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].reference, "Total Correct Qualified Adoption Expenses [Position 146 - 160]");
  EXPECT_EQ(errors[0].error,
            "The Total Correct Money field of the RCU record must be blank because all of the "
            "corresponding Correct Money fields of the RCO records are blank.");
  EXPECT_EQ(errors[1].reference, "Blank [Position 251 - 1024]");
  EXPECT_EQ(errors[1].error, InvalidCharMessage("500"));
}

TEST(RcuWithoutOptionalRecords, DefaultsGiveNoFinding) {
  RunFixture f;
  f.Append(testing::CleanRCE());
  f.run->OpenEmployer("310000001");
  const std::string record = CleanRCU(0);
  const int64_t n = f.Append(record);
  CheckCodeRCU(record, static_cast<int32_t>(n), f.ctx);
  EXPECT_TRUE(f.Errors().empty());
}

TEST(RcuViewer, MarksAndLabels) {
  ViewFixture v;
  TotalsRow row(TotalsTable::kTRCU);
  row.count = 1;
  row.pair(3).err_ref = "200000001";
  v.results.trcu[9] = row;
  v.rows.Build(19);
  CheckCodeRCU(CleanRCU(2, {{71, "\x05"}}), 9, v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1, 6, 7}));

  FakeRows rows;
  rows.Build(19);
  FillRCUlabels(CleanRCU(2), rows);
  EXPECT_EQ(rows.rows[1].label, "Number of RCO Records");
  EXPECT_EQ(rows.rows[1].value, "0000002");
  EXPECT_EQ(rows.rows[12].label,
            "Total Originally Reported Uncollected SS or RRTA Tax on Cost of G.T.L.I. Over $50,000");
  EXPECT_EQ(rows.rows[17].label,
            "Total Correct Income Under Sec. 409A on a Non-qualified Def. Comp. Plan");
  EXPECT_EQ(rows.rows[18].label, "Blank");
}

}  // namespace
}  // namespace lintaro
