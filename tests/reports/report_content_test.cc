// What the reports hold beyond the golden cases (tests/golden: NAME.report,
// NAME.html and NAME.printed pin the text, HTML and printed layouts): the
// text buffer, whose character count decides where a long report is cut into
// pieces, file names that are not UTF-8, the HTML report's escaping of any
// character, its breaking of long entries and its file, the printed report's
// wrapping, page count, ranges of pages, a head taller than a page and texts
// too wide for it, and for the reports for scripts and spreadsheets, findings
// taken apart, CSV and JSON quoting and the outcome read back from stored
// results. The whole reports, one employer's too, are in
// tests/cli/sessions/report.session.
#include "reports/report_content.h"

#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "reports/csv_report.h"
#include "reports/finding_parts.h"
#include "reports/html_report.h"
#include "reports/json_report.h"
#include "reports/outcome.h"
#include "reports/printed_report.h"
#include "reports/report_files.h"
#include "reports/text_report.h"
#include "run/run_ending.h"
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
  using namespace std::string_literals;
  for (const std::string& value :
       {"plain text"s, ""s, "a,b"s, "say \"hi\""s, "two\r\nlines"s, "=HYPERLINK(\"x\")"s, "+1"s,
        "-5"s, "@SUM(A1)"s, "1-5"s, "a\"\\/\t\x01\x1f \xC3\xA9"s, "CAF\xC9"s, "A\0B\0"s}) {
    std::string field = " -> ", json = " | ";
    AppendCsvField(field, value);
    AppendJsonString(json, value);
    json += " | ";
    AppendJsonCp1252OrNull(json, value);
    Note(&fields, value + field + json);
  }
  ExpectFileHolds(kTraces / "Quoting.trace", fields);
}

// Clean runs, findings and stops are read back in report.session too. How
// the run ended comes first: a run that recorded no ending (killed) or a
// failure is incomplete whatever its findings, one stopped by Exit or a
// signal aborted; results without the run's row are read from the findings.
TEST(StoredOutcome, TheRunsEndingAndThenTheLastFindingTellHowTheRunEnded) {
  const ErrorRow finding{0, "", 1, "r", "[u]", "m"};
  const ErrorRow limit{0, "C", 1, ErrorLimitReference(7), ErrorLimitUserEntry(7), "m"};
  const ErrorRow aborted{0, "", 1, "Test Aborted", "Exit was chosen", "m"};
  enum Run { kCompleted, kKilled, kFailed, kSignal, kOlderVersion };
  struct Case {
    std::string name;
    Run run;
    bool record;
    std::vector<ErrorRow> findings;
  };
  const std::vector<Case> cases = {
      {"no_valid_data", kCompleted, false, {}},
      {"clean", kCompleted, true, {}},
      {"error_limit", kCompleted, true, {finding, limit}},
      {"findings", kCompleted, true, {{0, "", 1, limit.reference, limit.user_entry, "m"}}},
      {"critical_stop", kCompleted, true, {{0, "C", 1, limit.reference, "[7 Errors]", "m"}}},
      {"aborted", kCompleted, true, {aborted}},
      {"incomplete", kKilled, true, {}},
      {"incomplete", kKilled, false, {}},
      {"incomplete", kKilled, true, {finding, limit}},
      {"incomplete", kFailed, true, {finding}},
      {"aborted", kSignal, true, {}},
      {"clean", kOlderVersion, true, {}},
      {"aborted", kOlderVersion, true, {aborted}}};
  for (const Case& c : cases) {
    ResultsFixture f;
    f.File("/in/a.txt");
    if (c.record) f.Record(1, "RCA");
    for (const ErrorRow& e : c.findings) f.Error(1, e.reference, e.user_entry, e.error, e.type);
    if (c.run == kKilled) f.Ended(std::nullopt);
    if (c.run == kFailed) f.Ended(RunEnding::kFailed);
    if (c.run == kSignal) f.Ended(RunEnding::kStoppedBySignal);
    if (c.run == kOlderVersion) f.WithoutRunTable();
    EXPECT_STREQ(OutcomeName(StoredOutcome(f.db())), c.name.c_str()) << &c - cases.data();
  }
}

// Values put into the reports: the HTML report escapes any character and
// references every one beyond ASCII; a file name (or date) that is not UTF-8
// (from another character set) shows with U+FFFD for each bad sequence in the
// heads of the HTML, text and JSON reports, which stay UTF-8 (the text
// report's buffer counts characters, not bytes); last, bytes
// turned into HTML references. Compared with
// tests/reports/traces/ReportValues.trace.
TEST(ReportValues, AreEscapedInHtmlAndBadBytesAreReplaced) {
  ResultsFixture f;
  f.File("/in/<r\xC3\xA9sum\xC3\xA9> & \"co\".txt", "12/06/2026\xFF").File("/in/M\xFCller.txt");
  f.Record(1, "RCW", "12<4>&\"89");
  f.Error(1, "Name & <Address>", "[<script>alert(1)</script>]",
          "Caf\xE9 \x80 \"quoted\" a<b>c & d");
  f.Error(1, "r", "[" + std::string(55, '1') + "]", "m");  // breaks once at 57 characters
  ReportBuffer html, text, json;
  ASSERT_TRUE(BuildHtmlReport(f.db(), html, 57));
  std::string trace;  // a line break after each tag
  for (char c : html.text) trace += c == '>' ? ">\n" : std::string(1, c);
  for (char c : html.text) ASSERT_LT(static_cast<unsigned char>(c), 0x80);  // plain ASCII
  BuildTextReport(f.db(), text);
  BuildJsonReport(f.db(), json);
  Note(&trace, text.text);  // then its characters (not bytes) as the buffer counts them
  Note(&trace, std::to_string(text.chars) + " characters in " + std::to_string(text.text.size()) +
                   " bytes");
  const size_t from = json.text.find("\"generated_from\"");  // the JSON report's file names
  Note(&trace, json.text.substr(from, json.text.find('\n', from) - from));
  AppendHtmlCp1252(trace, std::string("a\0b", 3));  // CP1252 and UTF-8 as HTML references
  AppendHtmlCp1252(trace, "\x9F\xFF\x81");
  AppendHtmlUtf8(trace, "\xE2\x82\xAC x \xFF \xF0\x9F\x98\x80");
  ExpectFileHolds(kTraces / "ReportValues.trace", trace);
}

// The width for a screen (halves round to even) and texts broken every
// width raw characters (the escapes do not move the break; a screen too
// narrow breaks nothing), compared with tests/reports/traces/PreText.trace;
// the break of a user entry in the report is in ReportValues.trace.
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
  EXPECT_EQ(std::filesystem::status(file).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  // A link in the file's place is refused.
  TempDir other;
  const std::string target = other.Write("elsewhere.txt", "keep");
  std::filesystem::create_symlink(target, other.path() / "temphtm.HTM");
  std::string piece = "appended piece";
  EXPECT_THROW(WriteHtmlFile(other.str(), piece), ReportFileError);
  EXPECT_EQ(ReadWholeFile(target), "keep");
}

// Lines of at most 6.5 inches (52 characters on the fake page): split at
// line feeds, wrapped at spaces, else between characters, never inside one.
TEST(WrapText, SplitsAtLineFeedsAndWrapsAtSpacesOrBetweenCharacters) {
  FakePrinter p;
  std::string words, accents, wrapped;
  for (int i = 0; i < 40; ++i) words += (i ? " word" : "word") + std::to_string(i);
  for (int i = 0; i < 60; ++i) accents += "\xC3\xA9";
  for (const std::string& text :
       {std::string(), std::string("first\r\nsecond\r\n"), std::string("a\nb"), words,
        std::string(120, 'x'), "ab " + accents}) {
    wrapped += "--\n";
    for (const std::string& line : WrapText(p, text)) wrapped += "[" + line + "]\n";
  }
  ExpectFileHolds(kTraces / "WrapText.trace", wrapped);
}

// Whatever the report holds (a stop, many records, long references that
// wrap, a head of many file names that goes on over the next page), every
// text stays inside the page and above its footer, and the page count,
// which bounds the print dialog's range, reaches the last page printed.
TEST(PrintedReport, TextsStayOnTheirPagesAndTheCountReachesTheLastOne) {
  // Files, records, findings of each record, 1 when the last one stops the run.
  const int cases[][4] = {{2, 1, 1, 0},  {2, 1, 20, 1}, {2, 3, 12, 1}, {2, 12, 7, 0},
                          {2, 40, 2, 1}, {2, 90, 3, 0}, {200, 1, 1, 0}};
  for (auto [files, records, findings_each, stopped] : cases) {
    ResultsFixture f;
    for (int i = 0; i < files; ++i)
      f.File("/in/part-" + std::to_string(i) + "-of-the-submission.txt");
    for (int r = 1; r <= records; ++r) {
      f.Record(r, "RCW", "12345678" + std::to_string(r % 10));
      for (int e = 1; e <= findings_each; ++e) {
        const bool last = r == records && e == findings_each;
        f.Error(r, e % 3 == 0 ? std::string(70, 'R') : "Ref", "[x]", "Message",
                last && stopped ? "C" : "");
      }
    }
    FakePrinter counter;
    PrintState counted;
    const int pages = PrintedReport(counter, "Courier", 10, counted).CountPages(f.db());
    const FakePrinter printer = PrintPages(f.db(), 1, pages + 10);
    const int printed = static_cast<int>(printer.pages.size());
    EXPECT_GE(pages, printed) << files << " files, " << records << " x " << findings_each;
    for (int p = 0; p < printed; ++p) {
      const auto& texts = printer.pages[p].texts;
      EXPECT_EQ(texts.back().text, "Page: " + std::to_string(p + 1));
      for (size_t i = 0; i + 1 < texts.size(); ++i) {
        const FakePrinter::Text& t = texts[i];
        EXPECT_LE(t.y + t.size / 40.0, 10.0 - 0.25) << "page " << p + 1 << ": " << t.text;
        EXPECT_LE(t.x + static_cast<double>(t.text.size()) * t.size / 80.0, 8.0) << t.text;
      }
    }
  }
}

// One RCW record with twenty findings, 115 counted lines, makes three pages
// of 40 lines (room left for the footers): counted without drawing, the count
// set as the last page. A range prints exactly what those pages of the whole
// printout hold, at the same places, footer included.
TEST(PrintedReport, CountsThreePagesAndARangePrintsOnlyThosePages) {
  ResultsFixture f;
  f.File("/in/a.txt");
  f.Record(3, "RCW", "123456789");
  for (int i = 1; i <= 20; ++i)
    f.Error(3, "Ref " + std::to_string(i), "[x]", "Message " + std::to_string(i));
  FakePrinter printer;
  PrintState state;
  EXPECT_EQ(PrintedReport(printer, "Courier", 10, state).CountPages(f.db()), 3);
  EXPECT_EQ(state.last_page, 3);
  EXPECT_TRUE(printer.pages.empty());
  EXPECT_EQ(printer.jobs_ended, 0);
  EXPECT_EQ(PrintedReport(printer, "Courier", 20, state).CountPages(f.db()),
            PageCountFor(115, 20));  // 20 lines a page
  // 40 lines take 40 + 1 with the footer, 80 take 80 + 2; a page that holds
  // no line counts as one line.
  for (auto [lines, per_page, pages] :
       {std::tuple{115, 40, 3}, {39, 40, 1}, {40, 40, 2}, {80, 40, 3}, {0, 40, 0}, {5, 0, 10}})
    EXPECT_EQ(PageCountFor(lines, per_page), pages) << lines << " / " << per_page;
  FakePrinter all = PrintPages(f.db(), 1, 13);
  ASSERT_EQ(all.pages.size(), 3u);
  for (int page : {2, 3}) {
    FakePrinter one = PrintPages(f.db(), page, page);
    ASSERT_EQ(one.pages.size(), 1u) << page;
    EXPECT_EQ(FakePrinter::Describe(one.pages[0]), FakePrinter::Describe(all.pages[page - 1]));
  }
}

// A heading too wide for the page is drawn smaller until it fits (79
// characters: 9.875 inches at 10 points, 7.9 at 8), the report's size
// returning after it; 700 digits do not fit even at 1 point (640
// characters): the words that fit are kept, inside the page. An entry of
// 102 characters takes three lines of its 44-character column.
TEST(PrintedReport, WideHeadingIsReducedUntilItFitsAndLongEntriesWrap) {
  std::string first_pages;
  for (size_t digits : {40, 700}) {
    ResultsFixture f;
    f.File("/in/a.txt");
    f.Record(3, "RCW", std::string(digits, '9'));
    f.Error(3, "Ref", "[" + std::string(digits == 40 ? 100 : 1, 'u') + "]", "Message");
    first_pages += FakePrinter::Describe(PrintPages(f.db(), 1, 11).pages.at(0));
  }
  ExpectFileHolds(kTraces / "PrintedReport.WideHeading.trace", first_pages);
}

// The printed report of a run that did not finish begins, as the text
// report does, with the sentence that says so, above the title; a finished
// run's begins with its title.
TEST(PrintedReport, ARunThatDidNotFinishSaysSoAboveTheTitle) {
  for (const std::optional<RunEnding> ending : {std::optional<RunEnding>(),
                                                {RunEnding::kFailed},
                                                {RunEnding::kStoppedBySignal},
                                                {RunEnding::kCompleted}}) {
    ResultsFixture f;
    f.File("/in/a.txt");
    f.Record(1, "RCA", "1");
    f.Record(2, "RCW", "123456789");
    f.Error(2, "Ref", "[u]", "Message");
    f.Ended(ending);
    const FakePrinter printer = PrintPages(f.db(), 1, 1);
    std::string head;
    for (const FakePrinter::Text& t : printer.pages.at(0).texts) {
      if (t.text.find("ERROR REPORT") != std::string::npos) break;
      head += (head.empty() ? "" : " ") + t.text;
    }
    EXPECT_EQ(head, ending == RunEnding::kCompleted ? "" : UnfinishedRunNotice(2));
  }
}

}  // namespace
}  // namespace lintaro::testing
