#include <gtest/gtest.h>

#include "checks/money_pairs.h"
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
using testing::RunFixture;
using testing::RunRecords;
using testing::ViewFixture;

// A submission around one employer record; the RCE is record 2.
std::vector<std::string> Around(const std::string& rce) {
  return {CleanRCA(), rce, MakeRecord("RCW"), MakeRecord("RCT"), FinalRecord(1)};
}

// Checks one employer record in a run fixture; returns its findings.
struct Checked {
  std::vector<Finding> findings;
  RunState state;
};
Checked CheckAlone(const std::string& rce) {
  RunFixture f;
  const int64_t n = f.Append(rce);
  CheckCodeRCE(rce, f.ctx);
  return {FindingsOf(f.Errors(), n), f.state};
}

const std::string kMandatoryNumeric =
    "This is a mandatory field and must contain only valid numeric data.";

TEST(CheckCodeRCE, CleanRecordOpensTheEmployerRows) {
  auto out = RunRecords(Around(CleanRCE()));
  EXPECT_TRUE(FindingsOf(out.errors, 2).empty());
  ASSERT_EQ(out.trct.size(), 1u);
  ASSERT_EQ(out.trcu.size(), 1u);
  EXPECT_EQ(out.trct[0].rce_ein, "310000001");
  EXPECT_EQ(out.trcu[0].rce_ein, "310000001");
  EXPECT_EQ(out.records[1].rec_reference, "310000001");
  EXPECT_EQ(out.records[1].rce_indx, out.trct[0].indx);
  EXPECT_EQ(out.state.TaxYear, 2007);
  EXPECT_EQ(out.state.TaxYearText, "2007");
  EXPECT_EQ(out.state.EmploymentCode, "R");
}

TEST(CheckCodeRCE, TaxYear) {
  auto previous = CheckAlone(CleanRCE({{4, "2006"}}));
  ASSERT_EQ(previous.findings.size(), 1u);
  EXPECT_EQ(previous.findings[0].error,
            "The date entered is for a previous tax year. Please check that the earnings are for "
            "the year being reported.");
  EXPECT_EQ(previous.state.TaxYear, 2006);
  for (const char* year : {"1977", "2008"}) {
    auto range = CheckAlone(CleanRCE({{4, year}}));
    const std::vector<Finding> expected = {
        {"Tax Year [Position 4 - 7]", std::string("[") + year + "]",
         "Must not be less than 1978 or greater than 2007. This is a mandatory field."}};
    EXPECT_EQ(range.findings, expected);
  }
  auto letter = CheckAlone(CleanRCE({{4, "20O7"}}));
  const std::vector<Finding> expected = {{"Tax Year [Position 4 - 7]", "[20O7]", kMandatoryNumeric}};
  EXPECT_EQ(letter.findings, expected);
  EXPECT_EQ(letter.state.TaxYear, 0);
  EXPECT_EQ(letter.state.TaxYearText, "20O7");
  EXPECT_EQ(CheckAlone(CleanRCE({{4, "1978"}})).findings.size(), 1u);
}

TEST(CheckCodeRCE, CorrectEin) {
  const std::string ref = "Employer's/Agent's Correct EIN [Position 17 - 25]";
  const std::vector<Finding> zeros = {
      {ref, "[001234567]",
       "Must not start with 00, 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89. This is "
       "a mandatory field and must contain only valid numeric data."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{17, "001234567"}})).findings, zeros);
  const std::vector<Finding> same = {
      {ref, "[310000001]",
       "Must enter blanks in the corresponding Originally Reported field if no correction is "
       "being reported to this data."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{8, "310000001"}})).findings, same);
  EXPECT_TRUE(CheckAlone(CleanRCE({{8, "310000002"}})).findings.empty());
  const std::vector<Finding> letters = {{ref, "[31000000X]", kMandatoryNumeric}};
  EXPECT_EQ(CheckAlone(CleanRCE({{17, "31000000X"}})).findings, letters);
}

TEST(CheckCodeRCE, InvalidEinStillOpensTheEmployerRows) {
  auto out = RunRecords(Around(CleanRCE({{17, "         "}})));
  ASSERT_EQ(FindingsOf(out.errors, 2).size(), 1u);
  ASSERT_EQ(out.trct.size(), 1u);
  EXPECT_EQ(out.trct[0].rce_ein, "         ");
  EXPECT_EQ(out.records[1].rce_indx, out.trct[0].indx);
}

TEST(CheckCodeRCE, AgentRules) {
  const std::string ref = "Agent for EIN [Position 27 - 35]";
  const std::vector<Finding> three = {
      {ref, "[07ABC1234]", "Must be numeric or blank."},
      {ref, "[07ABC1234]",
       "Must not start with 00, 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89."},
      {ref, "[07ABC1234]",
       "The Agent for EIN must be blank unless Agent Indicator Code [Position 26] is \"1\". Either "
       "enter a \"1\" in Agent Indicator Code or make Agent for EIN blank."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{26, "2"}, {27, "07ABC1234"}})).findings, three);
  const std::vector<Finding> missing = {
      {ref, "[         ]",
       "If Agent Indicator Code [Position 26] is \"1\", then Agent for EIN cannot be blank"}};
  EXPECT_EQ(CheckAlone(CleanRCE({{26, "1"}})).findings, missing);
  EXPECT_TRUE(CheckAlone(CleanRCE({{26, "1"}, {27, "520000001"}})).findings.empty());
  const std::vector<Finding> code = {
      {"Agent Indicator Code [Position 26]", "[4]",
       "Enter appropriate code: 1 - 2678 Agent, 2 - Common Pay Master, 3 - 3504 Agent or Blank - "
       "Not an agent."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{26, "4"}})).findings, code);
}

TEST(CheckCodeRCE, EstablishmentNumberPair) {
  const std::vector<Finding> equal = {
      {"Employer's Correct Establishment Number [Position 40 - 43]", "[0001]",
       "Must enter blanks in both fields if no corrections are being reported to this data."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{36, "0001"}, {40, "0001"}})).findings, equal);
  const std::vector<Finding> tab = {
      {"Employer's Correct Establishment Number [Position 40 - 43]", "[00\t1]",
       "Invalid character found in position(s) 42 of this record. This field may only contain "
       "letters (A-Z), numbers (0-9), spaces, non-alpha non-numeric characters (~ ! @ # $ % ^ & * "
       "( ) _ + { } | : \" < > ? ` - = [ ] \\ ; ' , . /)."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{40, "00\t1"}})).findings, tab);
}

TEST(CheckCodeRCE, AddressBlock) {
  const std::vector<Finding> expected = {
      {"Zip Code [Position 169 - 173]", "[2140A]", "Must be numeric or blank."},
      {"Zip Code Extension [Position 174 - 177]", "[12-4]", "Must be numeric or blank."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{169, "2140A"}, {174, "12-4"}, {220, "UK"}})).findings, expected);
  const std::vector<Finding> extension = {
      {"Zip Code Extension [Position 174 - 177]", "[1234]",
       "A value was entered in the ZIP Code Extension field and the ZIP Code field is blank. "
       "Either change the ZIP Code Extension field to blank or enter a valid ZIP Code."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{169, "     "}, {174, "1234"}})).findings, extension);
  const std::vector<Finding> foreign = {
      {"Country Code [Position 220 - 221]", "[CA]",
       "Must not have both a foreign Country Code and a domestic ZIP Code."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{167, "  "}, {220, "CA"}})).findings, foreign);
  const std::vector<Finding> country = {
      {"Country Code [Position 220 - 221]", "[US]", "The Country Code is invalid (see Korvel)."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{220, "US"}})).findings, country);
}

TEST(CheckCodeRCE, EmploymentCode) {
  auto digit = CheckAlone(CleanRCE({{223, "5"}}));
  const std::vector<Finding> expected = {
      {"Employer's Correct Employment Code [Position 223]", "[5]",
       "Enter appropriate code: A - Agriculture, H - Household, M - Military, Q - Medicare "
       "Qualified Government Employment, X - Railroad, F - 944 Filer or R - Regular (all "
       "others)."}};
  EXPECT_EQ(digit.findings, expected);
  EXPECT_EQ(digit.state.EmploymentCode, "5");
  const std::vector<Finding> same = {
      {"Employer's Correct Employment Code [Position 223]", "[Q]",
       "Must enter blanks in the corresponding Originally Reported field if no correction is "
       "being reported to this data."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{222, "Q"}, {223, "Q"}})).findings, same);
}

TEST(CheckCodeRCE, SickPayIndicator) {
  EXPECT_TRUE(CheckAlone(CleanRCE()).findings.empty());
  const std::vector<Finding> blank = {
      {"Correct Third-Party Sick Pay Indicator [Position 225]", "[ ]",
       "Must not be blank. Otherwise enter blank in the corresponding Originally Reported field "
       "if no corrections are being reported."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{224, "1"}})).findings, blank);
  const std::vector<Finding> code = {
      {"Correct Third-Party Sick Pay Indicator [Position 225]", "[2]",
       "Enter appropriate code: 1 - Employee has Third-Party Sick Pay, 0 - Other. If not making a "
       "correction leave blank."}};
  EXPECT_EQ(CheckAlone(CleanRCE({{225, "2"}})).findings, code);
}

TEST(CheckCodeRCE, SecondEmployerStartsFreshRows) {
  RunFixture f;
  f.Append(CleanRCE());
  CheckCodeRCE(CleanRCE(), f.ctx);
  f.state.employee_reference = "123456789";
  const std::string rcw = MakeRecord("RCW", {{244, "00000010000"}, {255, "00000015000"}});
  f.Append(rcw);
  MoneyFieldCheck(rcw, "RW", "Correct Wages, Tips and Other Compensation", 255, 265, 11, 244, 254,
                  20, "1", f.ctx);
  const std::string second = CleanRCE({{17, "320000002"}});
  const int64_t n = f.Append(second);
  CheckCodeRCE(second, f.ctx);
  const TotalsRow& fresh = *f.run->employer(TotalsTable::kTRCT);
  EXPECT_EQ(fresh.rce_ein, "320000002");
  EXPECT_EQ(fresh.pair(1), TotalsRow::Pair{});
  EXPECT_EQ(fresh.count, 0);
  EXPECT_EQ(f.Record(n)->rce_indx, fresh.indx);
  auto first = f.run->db().ReadTotals(TotalsTable::kTRCT, 1);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->rce_ein, "310000001");
  EXPECT_EQ(first->pair(1).correct, 15000);
  EXPECT_EQ(first->pair(1).orig, 10000);
  EXPECT_NE(first->indx, fresh.indx);
  EXPECT_EQ(f.run->db().CountTotals(TotalsTable::kTRCU), 2);
}

TEST(CheckCodeRCE, ViewerSetsTheRunStateAndMarksOnly) {
  ViewFixture v;
  v.rows.Build(24);
  CheckCodeRCE(CleanRCE({{4, "2008"}, {167, "ZZ"}, {223, "X"}, {26, "1"}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1, 5, 12}));
  EXPECT_EQ(v.state.TaxYear, 2008);
  EXPECT_EQ(v.state.EmploymentCode, "X");
}

TEST(FillRCElabels, ViewerLabels) {
  ViewFixture v;
  v.rows.Build(24);
  FillRCElabels(CleanRCE(), v.rows);
  EXPECT_EQ(v.rows.rows[13].label, "ZIP Code");
  EXPECT_EQ(v.rows.rows[13].value, "21401");
  EXPECT_EQ(v.rows.rows[14].label, "ZIP Code Extension");
  EXPECT_EQ(v.rows.rows[20].label, "Employer's Correct Employment Code");
  EXPECT_EQ(v.rows.rows[20].value, "R");
  EXPECT_EQ(v.rows.rows[23].value.size(), 799u);
}

}  // namespace
}  // namespace lintaro
