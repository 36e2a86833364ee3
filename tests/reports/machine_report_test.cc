// The reports for scripts and spreadsheets: findings taken apart, CSV and
// JSON quoting, and the outcome read back from stored results. The whole
// reports, one employer's too, are in tests/cli/sessions/report.session.
#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "reports/csv_report.h"
#include "reports/finding_parts.h"
#include "reports/json_report.h"
#include "reports/outcome.h"
#include "support/line_diff.h"
#include "support/report_fakes.h"
#include "support/results_fixture.h"

namespace lintaro::testing {
namespace {

const std::filesystem::path kTraces = LINTARO_SOURCE_DIR "/tests/reports/traces";

// Each reference and entry with the field, positions and user entry taken
// from them, compared with tests/reports/traces/FindingParts.trace.
TEST(FindingParts, ReferenceEntryAndDateAreTakenApart) {
  std::string parts;
  for (auto [reference, entry] : std::vector<std::pair<std::string, std::string>>{
           {"Tax Year [Position 4 - 7]", "[2006]"},
           {"Agent Indicator Code [Position 26]", "[ ]"},
           {"Resub WFID [Position 318-323]", "[      ]"},
           {"Record Length", "1000 bytes."},
           {"Name [Position x]", "["},
           {"Odd [Position 1 - 2] note", "[]"}}) {
    const FindingParts p = SplitFinding(reference, entry);
    parts +=
        reference + " | " + entry + " -> " + p.field + " | " +
        (p.positions ? std::to_string(p.positions->start) + "-" + std::to_string(p.positions->end)
                     : "none") +
        " | [" + p.user_entry + "]\n";
  }
  for (const char* date : {"12/06/2026", "", "2026-12-06", "13/01/2026", "1/6/2026", "12/00/2026"})
    Note(&parts, "date [" + std::string(date) + "] -> " + IsoDate(date).value_or("none"));
  ExpectFileHolds(kTraces / "FindingParts.trace", parts);
}

// Each value and its CSV field, JSON string and JSON string converted from
// CP1252 (empty: null), compared with tests/reports/traces/Quoting.trace.
TEST(CsvAndJsonReports, FieldsAreQuotedEscapedAndNeverRunAsFormulas) {
  std::string fields;
  for (const char* value :
       {"plain text", "", "a,b", "say \"hi\"", "two\r\nlines", "=HYPERLINK(\"x\")", "+1", "-5",
        "@SUM(A1)", "1-5", "a\"\\/\t\x01\x1f \xC3\xA9", "CAF\xC9"}) {
    std::string field = " -> ", json = " | ";
    AppendCsvField(field, value);
    AppendJsonString(json, value);
    json += " | ";
    AppendJsonCp1252OrNull(json, value);
    Note(&fields, value + field + json);
  }
  ExpectFileHolds(kTraces / "Quoting.trace", fields);
}

// Clean runs, findings and stops are read back in report.session too.
TEST(StoredOutcome, TheLastFindingTellsHowTheRunEnded) {
  struct Case {
    std::string name;
    std::vector<ErrorRow> findings;  // of record 1
    bool records = true;
  };
  const std::vector<Case> cases = {
      {"no_valid_data", {}, false},
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
