// The submitter, employer, optional employee and final record checkers:
// one table of {fields, findings} per record type.
#include <gtest/gtest.h>

#include "core/test_driver.h"
#include "records/employee_layouts.h"
#include "records/messages.h"
#include "records/record_types.h"
#include "store/results_reader.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

std::vector<std::string> AroundRCA(const std::string& rca) {
  return {rca, CleanRCE(), MakeRecord("RCW"), MakeRecord("RCT"), FinalRecord(1)};
}

TEST(CheckCodeRCA, EveryRuleInOrder) {
  std::string blank_tail = Spaces(701);
  blank_tail[500 - 324] = '\t';
  const std::string rca = CleanRCA({{4, "07ABC1234"}, {13, "AB 2-D34"}, {21, "12A "}, {30, "97"},
                                    {89, Pad("100 MA\tN ST", 22)}, {133, Spaces(22)},
                                    {155, "  "}, {157, "     "}, {162, "12A4"}, {210, "US"},
                                    {212, Pad("J&J PAYROLL", 27)}, {239, Spaces(15)},
                                    {262, Pad("jos\xE9@harbor.example", 40)}, {315, "2"},
                                    {316, "X"}, {317, "1"}, {318, "AB 12C"}, {324, blank_tail}});
  auto out = RunRecords(AroundRCA(rca));
  const std::string by_mail =
      "If Preferred Method of Problem Notification Code [Position 315] equals 2, then the ";
  const std::vector<Finding> expected = {
      {"Submitter's EIN [Position 4 - 12]", "[07ABC1234]", kMandatoryNumeric},
      {"Personal Identification Number [Position 13 - 20]", "[AB 2-D34]",
       "Must not be blank. Must be alphanumeric. This is a mandatory field."},
      {"Software Vendor Code [Position 21 - 24]", "[12A ]", kNumericOrBlank},
      {"Software Code [Position 30 - 31]", "[97]", "Must be either 98 or 99."},
      {"Location Address [Position 89 - 110]", Entry(Pad("100 MA\tN ST", 22)),
       InvalidCharMessage("95")},
      {"Delivery Address [Position 111 - 132]", Entry(Spaces(22)),
       by_mail + "Delivery Address field cannot be blank."},
      {"City [Position 133 - 154]", Entry(Spaces(22)), by_mail + "City field cannot be blank."},
      {"State Abbreviation [Position 155 - 156]", "[  ]",
       by_mail + "State Abbreviation field cannot be blank."},
      {"Zip Code [Position 157 - 161]", "[     ]", by_mail + "Zip Code field cannot be blank."},
      {"ZIP Code Extension [Position 162 - 165]", "[12A4]", kNumericOrBlank},
      {"Zip Code Extension [Position 162 - 165]", "[12A4]", kExtensionWithoutZip},
      {"Country Code [Position 210 - 211]", "[US]", kBadCountry},
      {"Contact Name [Position 212 - 238]", Entry(Pad("J&J PAYROLL", 27)), kNameMarks},
      {"Contact Phone Number [Position 239 - 253]", Entry(Spaces(15)),
       "Enter a valid contact phone number. Wagemark needs a valid contact phone number to notify "
       "you if there is a problem with the wage report submission."},
      {"Contact E-Mail/Internet [Position 262 - 301]", Entry(Pad("jos\xE9@harbor.example", 40)),
       InvalidCharMessage("265")},
      {"Preparer Code [Position 316]", "[X]",
       "Enter appropriate code: 'A' - Accounting Firm, 'L' - Self-Prepared, 'S' - Service "
       "Bureau, 'P' - Parent Company, 'O' - Other."},
      {"Resub WFID [Position 318 - 323]", "[AB 12C]",
       "May only contain letters (A - Z) and/or numbers (0 - 9)."},
      {"Blank [Position 324 - 1024]", Entry(blank_tail), InvalidCharMessage("500")},
  };
  EXPECT_EQ(FindingsOf(out.errors, 1), expected);
  // A PIN that fails is stored as found and remembered as not valid.
  EXPECT_EQ(out.records[0].record.substr(12, 8), "AB 2-D34");
  EXPECT_FALSE(out.files[0].pin_ok);
  EXPECT_EQ(out.records[0].rec_reference, "07ABC1234");
  EXPECT_EQ(out.records[0].errors, 18);
}

TEST(CheckCodeRCA, Table) {
  const std::vector<CheckCase> cases = {
      {{}, {}},
      {{{4, "001234567"}}, {}},
      {{{4, "891234567"}},
       {{"Submitter's EIN [Position 4 - 12]", "[891234567]",
         "Must not start with 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89. This is "
         "a mandatory field and must contain only valid numeric data."}}},
      // Notification by e-mail without an address: its own reference, no
      // printable test; the address keeps its case and needs no mail field.
      {{{262, Spaces(40)}},
       {{"Contact E-Mail/Internet [Position 262-301]", Entry(Spaces(40)),
         "If Preferred Method of Problem Notification Code [Position 315] equals 1, then the "
         "Contact E-Mail/Internet field cannot be blank."}}},
      {{{262, "Payroll@Harbor.Example"}, {133, Spaces(22)}}, {}},
      {{{315, "3"}, {262, Spaces(40)}, {133, Spaces(22)}},
       {{"Preferred Method of Problem Notification Code [Position 315]", "[3]",
         "Enter appropriate code: 1 - E-Mail/Internet, 2 - U.S. Postal Service."}}},
      {{{318, "AB12C3"}},
       {{"Resub WFID [Position 318 - 323]", "[AB12C3]",
         "If Resub Indicator [Position 317] equals zero, then the Resub WFID field must be blank. "
         "If this is an original submission, then change the Resub WFID field to blank. If this "
         "is a resubmission, then enter 1 in the Resub Indicator field."}}},
      {{{317, "1"}},
       {{"Resub WFID [Position 318-323]", "[      ]",
         "If Resub Indicator [Position 317] equals 1, then the Resub WFID field cannot be blank. "
         "The 6 digit WFID is located on the notice sent by Wagemark."}}},
      {{{317, "1"}, {318, "AB12C3"}}, {}},
      {{{317, "2"}, {318, "A-1"}},
       {{"Resub Indicator [Position 317]", "[2]",
         "Enter appropriate code: 1 - File being resubmitted, 0 - Other."}}},
      {{{157, "     "}, {162, "1234"}},
       {{"Zip Code Extension [Position 162 - 165]", "[1234]", kExtensionWithoutZip}}},
      // An invalid state keeps the foreign-address test from running.
      {{{155, "ZZ"}, {210, "UK"}}, {{"State Abbreviation [Position 155 - 156]", "[ZZ]", kBadState}}},
      {{{210, "UK"}}, {{"Country Code [Position 210 - 211]", "[UK]", kStateAndCountry}}},
      {{{157, "2120A"}, {210, "UK"}}, {{"ZIP Code [Position 157 - 161]", "[2120A]", kNumericOrBlank}}},
      {{{155, "  "}, {157, "     "}, {210, "UK"}}, {}},
  };
  RunFixture f;
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(CheckIn(f, CheckCodeRCA, CleanRCA(cases[i].patch)), cases[i].expected) << "case " << i;
}

TEST(CheckCodeRCA, StoredWithTheMaskedPinAndViewedUnmarked) {
  auto out = RunRecords(AroundRCA(CleanRCA()));
  EXPECT_TRUE(FindingsOf(out.errors, 1).empty());
  const std::string clean = CleanRCA();
  EXPECT_EQ(out.records[0].record, clean.substr(0, 12) + "********" + clean.substr(20));
  EXPECT_EQ(out.records[0].rec_reference, "123456789");
  EXPECT_TRUE(out.files.at(0).pin_ok);

  auto db = ResultsDb::Open(out.db_path(), true);
  StoredResults stored(*db);
  ViewFixture v;
  CheckContext ctx{v.state, v.recorder, stored, nullptr, &v.rows, v.yielder};
  const int64_t errors_before = db->CountErrors();
  FillFields(out.records[0].record, 1, ctx);
  ASSERT_EQ(v.rows.rows.size(), 29u);
  EXPECT_EQ(v.rows.rows[2].label, "PIN");
  EXPECT_EQ(v.rows.rows[2].value, "********");
  EXPECT_EQ(v.rows.rows[24].label, "Preferred Method of Problem Notification Code");
  EXPECT_TRUE(v.rows.Marked().empty());
  EXPECT_EQ(db->CountErrors(), errors_before);  // the re-check writes nothing

  // A PIN the run found invalid is marked with the other findings.
  ViewFixture bad;
  bad.rows.Build(29);
  CheckCodeRCA(CleanRCA({{13, "AB 2-D34"}, {30, "97"}, {239, Spaces(15)}}), bad.ctx);
  EXPECT_EQ(bad.rows.Marked(), (std::set<int>{2, 5, 18}));
}

TEST(CheckCodeRCE, Table) {
  const std::string ein = "Employer's/Agent's Correct EIN [Position 17 - 25]";
  const std::string agent = "Agent for EIN [Position 27 - 35]";
  const std::string year_range =
      "Must not be less than 1978 or greater than 2007. This is a mandatory field.";
  const std::string previous =
      "The date entered is for a previous tax year. Please check that the earnings are for the "
      "year being reported.";
  const std::string establishment = "Employer's Correct Establishment Number [Position 40 - 43]";
  const std::string sick = "Correct Third-Party Sick Pay Indicator [Position 225]";
  const std::vector<CheckCase> cases = {
      {{}, {}},
      {{{4, "2006"}}, {{"Tax Year [Position 4 - 7]", "[2006]", previous}}},
      {{{4, "1978"}}, {{"Tax Year [Position 4 - 7]", "[1978]", previous}}},
      {{{4, "1977"}}, {{"Tax Year [Position 4 - 7]", "[1977]", year_range}}},
      {{{4, "2008"}}, {{"Tax Year [Position 4 - 7]", "[2008]", year_range}}},
      {{{4, "20O7"}}, {{"Tax Year [Position 4 - 7]", "[20O7]", kMandatoryNumeric}}},
      {{{17, "001234567"}},
       {{ein, "[001234567]",
         "Must not start with 00, 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89. "
         "This is a mandatory field and must contain only valid numeric data."}}},
      {{{8, "310000001"}}, {{ein, "[310000001]", kSameAsOriginal}}},
      {{{8, "310000002"}}, {}},
      {{{17, "31000000X"}}, {{ein, "[31000000X]", kMandatoryNumeric}}},
      {{{26, "2"}, {27, "07ABC1234"}},
       {{agent, "[07ABC1234]", kNumericOrBlank},
        {agent, "[07ABC1234]",
         "Must not start with 00, 07, 08, 09, 17, 18, 19, 28, 29, 49, 69, 70, 78, 79, or 89."},
        {agent, "[07ABC1234]",
         "The Agent for EIN must be blank unless Agent Indicator Code [Position 26] is \"1\". "
         "Either enter a \"1\" in Agent Indicator Code or make Agent for EIN blank."}}},
      {{{26, "1"}},
       {{agent, Entry(Spaces(9)),
         "If Agent Indicator Code [Position 26] is \"1\", then Agent for EIN cannot be blank"}}},
      {{{26, "1"}, {27, "520000001"}}, {}},
      {{{26, "4"}},
       {{"Agent Indicator Code [Position 26]", "[4]",
         "Enter appropriate code: 1 - 2678 Agent, 2 - Common Pay Master, 3 - 3504 Agent or Blank "
         "- Not an agent."}}},
      {{{36, "0001"}, {40, "0001"}}, {{establishment, "[0001]", kBothBlank}}},
      {{{40, "00\t1"}}, {{establishment, "[00\t1]", InvalidCharMessage("42")}}},
      {{{169, "2140A"}, {174, "12-4"}, {220, "UK"}},
       {{"Zip Code [Position 169 - 173]", "[2140A]", kNumericOrBlank},
        {"Zip Code Extension [Position 174 - 177]", "[12-4]", kNumericOrBlank}}},
      {{{169, "     "}, {174, "1234"}},
       {{"Zip Code Extension [Position 174 - 177]", "[1234]", kExtensionWithoutZip}}},
      {{{167, "  "}, {220, "CA"}}, {{"Country Code [Position 220 - 221]", "[CA]", kCountryAndZip}}},
      {{{220, "US"}}, {{"Country Code [Position 220 - 221]", "[US]", kBadCountry}}},
      {{{223, "5"}},
       {{"Employer's Correct Employment Code [Position 223]", "[5]",
         "Enter appropriate code: A - Agriculture, H - Household, M - Military, Q - Medicare "
         "Qualified Government Employment, X - Railroad, F - 944 Filer or R - Regular (all "
         "others)."}}},
      {{{222, "Q"}, {223, "Q"}},
       {{"Employer's Correct Employment Code [Position 223]", "[Q]", kSameAsOriginal}}},
      {{{224, "1"}}, {{sick, "[ ]", kCorrectNotBlank}}},
      {{{225, "2"}},
       {{sick, "[2]",
         "Enter appropriate code: 1 - Employee has Third-Party Sick Pay, 0 - Other. If not "
         "making a correction leave blank."}}},
  };
  RunFixture f;
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(CheckIn(f, CheckCodeRCE, CleanRCE(cases[i].patch)), cases[i].expected) << "case " << i;
}

TEST(CheckCodeRCE, SetsTheEmployersStateInRunAndViewer) {
  RunFixture f;
  CheckIn(f, CheckCodeRCE, CleanRCE({{4, "20O7"}, {223, "5"}}));
  EXPECT_EQ(f.state.TaxYear, 0);
  EXPECT_EQ(f.state.TaxYearText, "20O7");
  EXPECT_EQ(f.state.EmploymentCode, "5");
  CheckIn(f, CheckCodeRCE, CleanRCE({{4, "2006"}}));
  EXPECT_EQ(f.state.TaxYear, 2006);

  ViewFixture v;
  v.rows.Build(24);
  CheckCodeRCE(CleanRCE({{4, "2008"}, {167, "ZZ"}, {223, "X"}, {26, "1"}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1, 5, 12}));
  EXPECT_EQ(v.state.TaxYear, 2008);
  EXPECT_EQ(v.state.EmploymentCode, "X");
  FillRCElabels(CleanRCE(), v.rows);
  EXPECT_EQ(v.rows.rows[13].label, "ZIP Code");
  EXPECT_EQ(v.rows.rows[20].label, "Employer's Correct Employment Code");
  EXPECT_EQ(v.rows.rows[23].value.size(), 799u);
}

TEST(CheckCodeRCE, EachEmployerOpensFreshRowsEvenWithAnInvalidEin) {
  RunFixture f;
  CheckIn(f, CheckCodeRCE, CleanRCE());
  f.state.employee_reference = "123456789";
  CheckIn(f, CheckCodeRCW, CleanRCW({{244, Cents(10000)}, {255, Cents(15000)}}));
  const std::string second = CleanRCE({{17, Spaces(9)}});
  EXPECT_EQ(CheckIn(f, CheckCodeRCE, second).size(), 1u);
  const TotalsRow& fresh = *f.run->employer(TotalsTable::kTRCT);
  EXPECT_EQ(fresh.rce_ein, Spaces(9));
  EXPECT_EQ(fresh.pair(1), TotalsRow::Pair{});
  EXPECT_EQ(fresh.count, 0);
  EXPECT_EQ(f.Record(3)->rce_indx, fresh.indx);
  auto first = f.run->db().ReadTotals(TotalsTable::kTRCT, 1);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->rce_ein, "310000001");
  EXPECT_EQ(first->pair(1).correct, 15000);
  EXPECT_EQ(first->pair(1).orig, 10000);
  EXPECT_EQ(f.Record(1)->rce_indx, first->indx);
  EXPECT_NE(first->indx, fresh.indx);
  EXPECT_EQ(f.run->db().CountTotals(TotalsTable::kTRCU), 2);
}

TEST(CheckCodeRCO, TableAndTotals) {
  RunFixture f;
  CheckIn(f, CheckCodeRCE, CleanRCE());
  f.state.employee_reference = "200000001";
  const std::vector<CheckCase> cases = {
      {{{4, "ANY TEXT!"}, {13, Cents(700)}, {24, Cents(900)}}, {}},
      // The invalid original amount is not added; the pair still runs.
      {{{13, "00000\x7f" "00100"}, {24, Cents(100)}},
       {{"Originally Reported Allocated Tips [Position 13 - 23]", "[00000\x7f" "00100]",
         InvalidCharMessage("18") +
             " Please note that the sum of this field cannot be totaled correctly in the RCU "
             "record because of the presence of an invalid character(s)."}}},
      {{{101, Cents(2500)}, {112, Cents(2500)}},
       {{"Correct Qualified Adoption Expenses [Position 112 - 122]", Entry(Cents(2500)),
         kSameAmount}}},
      {{{134, "00000001X00"}},
       {{"Correct Uncollected Social Security or RRTA Tax on Cost of Group Term Life Insurance "
         "Over $50,000 [Position 134 - 144]",
         "[00000001X00]", kMoneyNotNumericMessage}}},
      {{{500, "\x01"}},
       {{"Blank [Position 189 - 1024]", Entry(Patch(Spaces(836), {{312, "\x01"}})),
         InvalidCharMessage("500")}}},
  };
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(CheckIn(f, CheckCodeRCO, CleanRCO(cases[i].patch)), cases[i].expected) << "case " << i;
  const TotalsRow& u = *f.run->employer(TotalsTable::kTRCU);
  EXPECT_EQ(u.count, 5);
  EXPECT_EQ(u.pair(1).correct, 1000);
  EXPECT_EQ(u.pair(1).orig, 700);
  EXPECT_EQ(u.pair(5).correct, 2500);
  EXPECT_EQ(u.pair(6).err_ref, "200000001");
  EXPECT_EQ(f.run->employer(TotalsTable::kTRCT)->pair(1).correct, 0);  // wage totals untouched
  EXPECT_EQ(f.Record(2)->rec_reference, "200000001");
  EXPECT_EQ(f.Record(2)->rce_indx, u.indx);

  // Every pair feeds its own column.
  std::map<int, std::string> amounts;
  for (const EmployeeMoneyPair& p : kRCOMoneyPairs)
    amounts[kRCOFields[p.correct_row].start] = Cents(10 * p.pair);
  EXPECT_TRUE(CheckIn(f, CheckCodeRCO, CleanRCO(amounts)).empty());
  EXPECT_EQ(u.pair(8).correct, 80);
  EXPECT_EQ(u.pair(5).correct, 2550);

  ViewFixture v;
  v.rows.Build(19);
  CheckCodeRCO(CleanRCO({{101, Cents(2500)}, {112, Cents(2500)}, {4, "\t"}}), v.ctx);
  EXPECT_EQ(v.rows.Marked(), (std::set<int>{1, 11}));
  FillRCOlabels(CleanRCO({{178, Cents(42)}}), v.rows);
  EXPECT_EQ(v.rows.rows[12].label,
            "Originally Reported Uncollected SS or RRTA Tax on Cost of G.T.L.I Over $50,000");
  EXPECT_EQ(v.rows.rows[17].value, Cents(42));
}

// RCA, RCE, `rcw` RCWs, RCT and the final record.
std::vector<Finding> FinalFindings(std::vector<std::string> middle, const std::string& rcf) {
  std::vector<std::string> records = {CleanRCA(), CleanRCE()};
  records.insert(records.end(), middle.begin(), middle.end());
  records.push_back(rcf);
  auto out = RunRecords(records);
  EXPECT_EQ(out.records.size(), records.size());
  return FindingsOf(out.errors, static_cast<int64_t>(records.size()));
}

TEST(CheckCodeRCF, CountsTheStoredRcwRecords) {
  const auto rcw = MakeRecord("RCW"), rct = MakeRecord("RCT");
  const std::string ref = "Number of RCW Records [Position 4 - 12]";
  EXPECT_TRUE(FinalFindings({rcw, rcw, rct}, FinalRecord(2)).empty());
  EXPECT_EQ(FinalFindings({rcw, rcw, rct}, FinalRecord(3)),
            (std::vector<Finding>{{ref, "[000000003]",
                                   "The number of RCW records in the submission does not equal "
                                   "the value in the RCF record."}}));
  EXPECT_EQ(FinalFindings({rcw, rct}, MakeRecord("RCF")),
            (std::vector<Finding>{
                {ref, Entry(Spaces(9)), "Must be numeric. Right justify and zero fill."}}));
  // Optional records are not counted, every employer's are; a lower-case
  // identifier is not an RCW.
  const auto rco = MakeRecord("RCO");
  EXPECT_TRUE(FinalFindings({rcw, rco, rcw, rco, rct, MakeRecord("RCU"), CleanRCE({{17, "320000002"}}),
                             MakeRecord("rcw"), rcw, rct},
                            FinalRecord(3))
                  .empty());
  auto bad = FinalFindings({rcw, rct}, Patch(FinalRecord(1), {{13, "\x1b"}, {1024, "\xFF"}}));
  ASSERT_EQ(bad.size(), 1u);
  EXPECT_EQ(bad[0].reference, "Blank [Position 13 - 1024]");
  EXPECT_EQ(bad[0].error, InvalidCharMessage("13 and 1024"));
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
}

}  // namespace
}  // namespace lintaro
