// What the reports hold beyond the golden cases (tests/golden, whose
// NAME.report and NAME.html pin the text and HTML layouts): the text buffer,
// whose character count decides where a long report is cut into pieces, file
// names that are not UTF-8, the HTML report's escaping of any character, its
// breaking of long entries and its file, and for the reports for scripts and
// spreadsheets, findings taken apart, CSV and JSON quoting and the outcome
// read back from stored results. The whole reports, one employer's too, are
// in tests/cli/sessions/report.session.
#include "reports/report_content.h"

#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "reports/csv_report.h"
#include "reports/finding_parts.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/outcome.h"
#include "reports/report_files.h"
#include "reports/text_report.h"
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

TEST(ReportBuffer, CountsCharactersNotBytes) {
  ReportBuffer b;
  b.Append("ab");
  b.Append("\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(b.chars, 4u);
  EXPECT_EQ(b.text.size(), 7u);
}

// A file name that is not UTF-8 (a name from another character set) shows
// with U+FFFD for each bad sequence, as in the HTML and JSON reports, so the
// text report stays UTF-8.
TEST(ReportHeader, AFileNameThatIsNotUtf8ShowsItsBadBytesAsReplacements) {
  ResultsFixture results;
  results.File("/in/M\xFCller.txt", "12/06/2026\xFF").File("/in/b\xC3\xA9.txt");
  results.Record(1, "RCA", "1");
  results.Error(1, "r", "[u]", "m");
  const ReportHeader header = ReadReportHeader(results.db());
  EXPECT_EQ(header.paths,
            (std::vector<std::string>{"/in/M\xEF\xBF\xBDller.txt", "/in/b\xC3\xA9.txt"}));
  EXPECT_EQ(header.date, "12/06/2026\xEF\xBF\xBD");
  ReportBuffer text;
  BuildTextReport(results.db(), text);
  EXPECT_NE(text.text.find("Generated from: /in/M\xEF\xBF\xBDller.txt; /in/b\xC3\xA9.txt\r\n"),
            std::string::npos);
  EXPECT_EQ(text.text.find('\xFC'), std::string::npos);
  EXPECT_EQ(text.text.find('\xFF'), std::string::npos);
  ReportBuffer json;
  BuildJsonReport(results.db(), json);
  EXPECT_NE(json.text.find("/in/M\xEF\xBF\xBDller.txt"), std::string::npos);
}

std::string HtmlOf(ResultsDb& db, int width = 57) {
  ReportBuffer out;
  EXPECT_TRUE(BuildHtmlReport(db, out, width));
  return out.text;
}

TEST(HtmlReport, InsertedValuesAreEscapedAndNonAsciiIsReferenced) {
  ResultsFixture f;
  f.File("/in/<r\xC3\xA9sum\xC3\xA9> & \"co\".txt", "12/06/2026");
  f.Record(1, "RCW", "12<4>&\"89");
  f.Error(1, "Name & <Address>", "[<script>alert(1)</script>]",
          "Caf\xE9 \x80 \"quoted\" a<b>c & d");
  const std::string html = HtmlOf(f.db());
  std::string tags;  // a line break after each tag
  for (char c : html) tags += c == '>' ? ">\n" : std::string(1, c);
  ExpectFileHolds(kTraces / "HtmlReport.Escaped.trace", tags);
  for (char c : html) ASSERT_LT(static_cast<unsigned char>(c), 0x80);  // plain ASCII

  std::string out;
  AppendHtmlCp1252(out, std::string("a\0b", 3));
  AppendHtmlCp1252(out, "\x9F\xFF\x81");
  AppendHtmlUtf8(out, "\xE2\x82\xAC x \xFF \xF0\x9F\x98\x80");
  EXPECT_EQ(out, "a&#65533;b&#376;&#255;&#129;&#8364; x &#65533; &#128512;");
}

// The width for a screen (halves round to even) and texts broken every
// width raw characters (the escapes do not move the break; a screen too
// narrow breaks nothing), compared with tests/reports/traces/PreText.trace.
TEST(HtmlReport, PreTextIsBrokenEveryWidthRawCharacters) {
  std::string broken;
  for (int pixels : {1024, 1025, 1015, 460})
    broken += std::to_string(pixels) + " pixels: " + std::to_string(PreTextWidth(pixels)) + "\n";
  for (auto [text, width] : std::vector<std::pair<std::string, int>>{
           {std::string(56, 'x'), 57},
           {std::string(56, 'a') + std::string(57, 'b') + "c", 57},
           {"", 57},
           {"abc", 1},
           {"abc", 0},
           {"abc", -3},
           {"<&>\"", 4},
           {"<&>", 4},
           {"\xE9\xE9\xE9\xE9", 2}})
    Note(&broken, std::to_string(width) + " [" + text + "] -> " + BreakPreText(text, width));
  ExpectFileHolds(kTraces / "PreText.trace", broken);
  // A user entry of exactly the width gets one break in the report.
  ResultsFixture f;
  f.File("a.txt");
  f.Record(1, "RCW", "1");
  f.Error(1, "r", "[" + std::string(55, '1') + "]", "m");
  EXPECT_NE(HtmlOf(f.db(), 57).find("<pre>[" + std::string(55, '1') + "</pre><pre>]</pre>"),
            std::string::npos);
}

// Each piece and what the file holds after it: a new document (longer
// than "<!DOCTYPE") replaces the file, other pieces are appended, and an
// empty one becomes the placeholder, in the caller's variable too; then
// file names as URLs (a relative or empty one has none).
TEST(HtmlReport, HtmlFilePiecesReplaceOrAppendAndHaveUrls) {
  TempDir dir;
  const std::string file = (dir.path() / "temphtm.HTM").string();
  std::string steps;
  for (std::string piece : {"<!DOCTYPE HTML one", "two", "<!DOCTYPE HTML three", "<!DOCTYPE", ""}) {
    EXPECT_EQ(WriteHtmlFile(dir.str(), piece), file);
    Note(&steps, piece + " -> " + ReadWholeFile(file));
  }
  for (const char* path :
       {"/opt/lintaro/temphtm.HTM", "/my dir/r\xC3\xA9#1%.htm", "", "relative/x.htm"})
    Note(&steps, std::string("url of ") + path + " -> " + PathToUrl(path));
  ExpectFileHolds(kTraces / "HtmlFilePieces.trace", steps);
  EXPECT_EQ(std::filesystem::status(file).permissions(), kOwnerReadWrite);

  // A link in the file's place is refused.
  TempDir other;
  const std::string target = other.Write("elsewhere.txt", "keep");
  std::filesystem::create_symlink(target, other.path() / "temphtm.HTM");
  std::string piece = "appended piece";
  EXPECT_THROW(WriteHtmlFile(other.str(), piece), ReportFileError);
  EXPECT_EQ(ReadWholeFile(target), "keep");
}

}  // namespace
}  // namespace lintaro::testing
