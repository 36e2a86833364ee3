#include <gtest/gtest.h>

#include "checks/field_checks.h"
#include "checks/money_pairs.h"
#include "records/employee_layouts.h"
#include "records/record_types.h"
#include "support/run_fixture.h"
#include "support/wage_records.h"

namespace lintaro {
namespace {

using testing::Cents;
using testing::CleanRCO;
using testing::FakeRows;
using testing::RunFixture;
using testing::ViewFixture;

class Rco : public ::testing::Test {
 protected:
  void SetUp() override {
    f.Append(testing::CleanRCE());
    f.run->OpenEmployer("310000001");
    f.Append(testing::CleanRCW());
    f.state.employee_reference = "200000001";
  }
  std::vector<ErrorRow> Check(const std::string& record) {
    const size_t before = f.Errors().size();
    f.Append(record);
    CheckCodeRCO(record, f.ctx);
    auto all = f.Errors();
    return {all.begin() + static_cast<long>(before), all.end()};
  }
  TotalsRow& Optional() { return *f.run->employer(TotalsTable::kTRCU); }

  RunFixture f;
};

TEST_F(Rco, CountsTheRecordAndStampsItWithTheEmployee) {
  EXPECT_TRUE(Check(CleanRCO({{4, "ANY TEXT!"}, {13, Cents(700)}, {24, Cents(900)}})).empty());
  EXPECT_EQ(Optional().count, 1);
  EXPECT_EQ(Optional().pair(1).correct, 900);
  EXPECT_EQ(Optional().pair(1).orig, 700);
  // The wage record's totals are not touched.
  EXPECT_EQ(f.run->employer(TotalsTable::kTRCT)->pair(1).correct, 0);
  auto stored = f.Record(3);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->rec_reference, "200000001");
  EXPECT_EQ(stored->rce_indx, Optional().indx);
}

TEST_F(Rco, InvalidCharacterUsesTheRcuEndingAndThePairStillRuns) {
  auto errors = Check(CleanRCO({{13, "00000\x7f" "00100"}, {24, Cents(100)}}));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Originally Reported Allocated Tips [Position 13 - 23]");
  EXPECT_EQ(errors[0].error, MoneyInvalidCharMessage("18", "RCU"));
  EXPECT_TRUE(errors[0].error.ends_with(
      "field cannot be totaled correctly in the RCU record because of the presence of an invalid "
      "character(s)."));
  // The pair check ran: the correct amount was added, the invalid one not.
  EXPECT_EQ(Optional().pair(1).correct, 100);
  EXPECT_TRUE(Optional().pair(1).orig_blank);
}

TEST_F(Rco, PairsUseTheirLongNamesAndColumns) {
  auto same = Check(CleanRCO({{101, Cents(2500)}, {112, Cents(2500)}}));
  ASSERT_EQ(same.size(), 1u);
  EXPECT_EQ(same[0].reference, "Correct Qualified Adoption Expenses [Position 112 - 122]");
  EXPECT_EQ(same[0].error, kMoneySameMessage);

  auto letters = Check(CleanRCO({{134, "00000001X00"}}));
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_EQ(letters[0].reference,
            "Correct Uncollected Social Security or RRTA Tax on Cost of Group Term Life Insurance "
            "Over $50,000 [Position 134 - 144]");
  EXPECT_EQ(Optional().pair(6).err_ref, "200000001");

  std::map<int, std::string> amounts;
  for (const EmployeeMoneyPair& p : kRCOMoneyPairs)
    amounts[kRCOFields[p.correct_row].start] = Cents(10 * p.pair);
  EXPECT_TRUE(Check(CleanRCO(amounts)).empty());
  for (const EmployeeMoneyPair& p : kRCOMoneyPairs)
    EXPECT_EQ(Optional().pair(p.pair).correct, 10 * p.pair + (p.pair == 5 ? 2500 : 0)) << p.pair;
  EXPECT_EQ(Optional().count, 3);

  auto filler = Check(CleanRCO({{500, "\x01"}}));
  ASSERT_EQ(filler.size(), 1u);
  EXPECT_EQ(filler[0].reference, "Blank [Position 189 - 1024]");
  EXPECT_EQ(filler[0].error, InvalidCharMessage("500"));
}

TEST(RcoViewer, MarksRowsAndAddsNothing) {
  ViewFixture v;
  v.rows.Build(19);
  CheckCodeRCO(CleanRCO({{101, Cents(2500)}, {112, Cents(2500)}, {4, "\t"}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1, 11}));

  FakeRows rows;
  rows.Build(19);
  FillRCOlabels(CleanRCO({{178, Cents(42)}}), rows);
  EXPECT_EQ(rows.rows[0].value, "RCO");
  EXPECT_EQ(rows.rows[12].label,
            "Originally Reported Uncollected SS or RRTA Tax on Cost of G.T.L.I Over $50,000");
  EXPECT_EQ(rows.rows[17].label,
            "Correct Income Under Sec. 409A on a Non-qualified Def. Comp. Plan");
  EXPECT_EQ(rows.rows[17].value, Cents(42));
  EXPECT_EQ(rows.rows[18].label, "Blank");
  EXPECT_EQ(rows.rows[18].value.size(), 836u);
}

}  // namespace
}  // namespace lintaro
