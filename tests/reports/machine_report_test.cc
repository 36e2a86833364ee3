// The reports for scripts and spreadsheets: findings taken apart, CSV
// quoting, the outcome read back from stored results, and the reports of
// one employer.
#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "reports/csv_report.h"
#include "reports/finding_parts.h"
#include "reports/json_report.h"
#include "reports/outcome.h"
#include "reports/report_fixture.h"
#include "reports/text_report.h"
#include "support/clean_records.h"
#include "support/json_reader.h"
#include "support/run_fixture.h"

namespace lintaro::testing {
namespace {

TEST(FindingParts, ReferenceEntryAndDateAreTakenApart) {
  struct Case {
    std::string reference, entry, field;
    std::optional<Positions> positions;
    std::string user_entry;
  };
  const std::vector<Case> cases = {
      {"Tax Year [Position 4 - 7]", "[2006]", "Tax Year", Positions{4, 7}, "2006"},
      {"Agent Indicator Code [Position 26]", "[ ]", "Agent Indicator Code", Positions{26, 26}, " "},
      {"Resub WFID [Position 318-323]", "[      ]", "Resub WFID", Positions{318, 323}, "      "},
      {"Record Length", "1000 bytes.", "Record Length", std::nullopt, "1000 bytes."},
      {"Name [Position x]", "[", "Name [Position x]", std::nullopt, "["},
      {"Odd [Position 1 - 2] note", "[]", "Odd [Position 1 - 2] note", std::nullopt, ""}};
  for (const Case& c : cases) {
    const FindingParts parts = SplitFinding(c.reference, c.entry);
    EXPECT_EQ(parts.field, c.field) << c.reference;
    EXPECT_EQ(parts.positions, c.positions) << c.reference;
    EXPECT_EQ(parts.user_entry, c.user_entry) << c.reference;
  }
  EXPECT_EQ(IsoDate("12/06/2026"), "2026-12-06");
  for (const char* bad : {"", "2026-12-06", "13/01/2026", "1/6/2026", "12/00/2026"})
    EXPECT_EQ(IsoDate(bad), std::nullopt) << bad;
}

TEST(CsvReport, FieldsAreQuotedAndNeverRunAsFormulas) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain text", "plain text"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "'+1"},
      {"-5", "'-5"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"1-5", "1-5"}};
  for (const auto& [value, field] : cases) {
    std::string out;
    AppendCsvField(out, value);
    EXPECT_EQ(out, field) << value;
  }
}

TEST(StoredOutcome, TheLastFindingTellsHowTheRunEnded) {
  struct Case {
    std::string name;
    std::vector<ErrorRow> findings;  // of record 1
    bool records = true;
  };
  const std::vector<Case> cases = {
      {"no_valid_data", {}, false},
      {"clean", {}},
      {"findings", {{0, "", 1, "Tax Year [Position 4 - 7]", "[2006]", "m"}}},
      {"error_limit",
       {{0, "", 1, "r", "[u]", "m"},
        {0, "C", 1, ErrorLimitReference(7), ErrorLimitUserEntry(7), "m"}}},
      {"findings", {{0, "", 1, ErrorLimitReference(7), ErrorLimitUserEntry(7), "m"}}},
      {"critical_stop", {{0, "C", 1, ErrorLimitReference(7), "[7 Errors]", "m"}}},
      {"aborted", {{0, "", 1, "Test Aborted", "Exit was chosen", "m"}}}};
  for (const Case& c : cases) {
    ResultsFixture f;
    f.File("/in/a.txt");
    if (c.records) f.Record(1, "RCA");
    for (const ErrorRow& e : c.findings) f.Error(1, e.reference, e.user_entry, e.error, e.type);
    EXPECT_STREQ(OutcomeName(StoredOutcome(f.db())), c.name.c_str()) << c.name;
  }
}

// Two employers, findings in the submitter record and in each employer's
// employees; the second employer's findings come from two of its three
// employees.
std::vector<std::string> TwoEmployers() {
  const Fields bad_state = {{188, "ZZ"}};
  return {CleanRCA({{13, "AB12-D34"}}),
          CleanRCE(),
          Patch(PaidRCW(0), bad_state),
          PaidRCW(1),
          PaidRCT(2),
          CleanRCE({{17, "310000002"}}),
          PaidRCW(0),
          Patch(PaidRCW(1), bad_state),
          Patch(PaidRCW(2), bad_state),
          PaidRCT(3),
          FinalRecord(5)};
}

class EmployerReportTest : public ::testing::Test {
 protected:
  EmployerReportTest()
      : run(RunRecords(TwoEmployers())), db(ResultsDb::Open(run.db_path(), true)) {}
  std::string Build(bool (*build)(ResultsDb&, ReportBuffer&, const PieceHandler&,
                                  const ReportFilter&),
                    const std::string& ein) {
    ReportBuffer out;
    EXPECT_TRUE(build(*db, out, {}, ReportFilter{ein}));
    return out.text;
  }
  RunOutput run;
  std::unique_ptr<ResultsDb> db;
};

TEST_F(EmployerReportTest, EveryFindingNamesItsEmployer) {
  ASSERT_EQ(ErrorsOf(run.errors, 1).size(), 1u);
  const std::string json = Build(BuildJsonReport, "");
  ASSERT_TRUE(IsStrictJson(json)) << json;
  EXPECT_EQ(JsonAt(json, "$.employer"), "null");
  std::map<std::string, std::string> employer_of;  // record number -> employer_ein
  for (size_t i = 0; i < run.errors.size(); ++i) {
    const std::string at = "$.errors[" + std::to_string(i) + "]";
    employer_of[JsonAt(json, at + ".record_number")] = JsonAt(json, at + ".employer_ein");
  }
  EXPECT_EQ(employer_of,
            (std::map<std::string, std::string>{
                {"1", "null"}, {"3", "310000001"}, {"8", "310000002"}, {"9", "310000002"}}));
  EXPECT_EQ(JsonAt(json, "$.errors[0].ein"), "123456789");
  EXPECT_EQ(JsonAt(json, "$.errors[1].ssn"), "200000000");
  EXPECT_EQ(EmployerRecordCount(*db, "310000001"), 4);
  EXPECT_EQ(EmployerRecordCount(*db, "310000002"), 5);
  EXPECT_EQ(EmployerRecordCount(*db, "999999999"), 0);
}

TEST_F(EmployerReportTest, OneEmployersReportHoldsOnlyItsFindingsAndCounts) {
  const size_t second = ErrorsOf(run.errors, 8).size() + ErrorsOf(run.errors, 9).size();
  const std::string text = Build(BuildTextReport, "310000002");
  EXPECT_NE(text.find("\r\n         5 Record(s) tested\r\n         2 Record(s) with Error(s)\r\n" +
                      CountField(static_cast<int64_t>(second)) + " Error(s) found"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Record number: 8    Code: RCW"), std::string::npos);
  EXPECT_NE(text.find("Record number: 9    Code: RCW"), std::string::npos);
  EXPECT_EQ(text.find("Record number: 1 "), std::string::npos);
  EXPECT_EQ(text.find("Record number: 3 "), std::string::npos);

  const std::string json = Build(BuildJsonReport, "310000002");
  EXPECT_EQ(JsonAt(json, "$.employer"), "310000002");
  EXPECT_EQ(JsonAt(json, "$.errors_found"), std::to_string(second));
  EXPECT_EQ(JsonAt(json, "$.errors[" + std::to_string(second - 1) + "].record_number"), "9");
  EXPECT_EQ(JsonAt(json, "$.errors[" + std::to_string(second) + "]"), "<missing>");

  const std::string csv = Build(BuildCsvReport, "310000002");
  EXPECT_TRUE(csv.starts_with(kCsvHeader));
  size_t rows = 0;
  for (size_t p = 0; (p = csv.find("\r\n", p)) != std::string::npos; p += 2) ++rows;
  EXPECT_EQ(rows, second + 1);
  EXPECT_NE(csv.find("\r\n8,RCW,200000001,,310000002,"), std::string::npos) << csv;

  // Without a filter the text report is the one of the whole run.
  ReportBuffer whole;
  BuildTextReport(*db, whole);
  EXPECT_EQ(Build(BuildTextReport, ""), whole.text);
}

TEST(EmployerReport, TheStopIsShownToTheEmployerWhoseRecordCausedIt) {
  auto records = TwoEmployers();
  records.insert(records.begin() + 2, CleanRCT(0));  // RCT right after the first RCE
  RunOutput run = RunRecords(records);
  auto db = ResultsDb::Open(run.db_path(), true);
  ReportBuffer first, second;
  BuildTextReport(*db, first, {}, ReportFilter{"310000001"});
  BuildTextReport(*db, second, {}, ReportFilter{"310000002"});
  EXPECT_NE(first.text.find("Critical Error in Record Number 3:"), std::string::npos);
  EXPECT_EQ(second.text.find("Critical Error"), std::string::npos);
}

}  // namespace
}  // namespace lintaro::testing
