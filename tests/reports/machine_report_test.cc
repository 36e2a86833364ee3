// The reports for scripts and spreadsheets: findings taken apart, CSV and
// JSON quoting, and the outcome read back from stored results. The whole
// reports, one employer's too, are in tests/cli/sessions/report.session.
#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "reports/csv_report.h"
#include "reports/finding_parts.h"
#include "reports/json_report.h"
#include "reports/outcome.h"
#include "support/results_fixture.h"

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

TEST(JsonReport, StringsAreEscapedAndCp1252IsConverted) {
  std::string out;
  AppendJsonString(out, "a\"\\/\t\r\n\x01\x1f \xC3\xA9");
  EXPECT_EQ(out, "\"a\\\"\\\\/\\t\\r\\n\\u0001\\u001f \xC3\xA9\"");
  out.clear();
  AppendJsonCp1252OrNull(out, "");
  AppendJsonCp1252OrNull(out, "CAF\xC9");
  EXPECT_EQ(out, "null\"CAF\xC3\x89\"");
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

}  // namespace
}  // namespace lintaro::testing
