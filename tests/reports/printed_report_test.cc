// What the printed report draws for a run's findings is pinned by the golden
// cases (tests/golden, NAME.printed); here the wrapping, the page count, a
// range of pages, a head taller than a page and texts too wide for it.
#include "reports/printed_report.h"

#include <gtest/gtest.h>

#include "support/report_fakes.h"
#include "support/results_fixture.h"

namespace lintaro::testing {
namespace {

const std::filesystem::path kTraces = LINTARO_SOURCE_DIR "/tests/reports/traces";

// The printed pages counted at the given size.
int CountPages(ResultsDb& db, int size = 10) {
  FakePrinter printer;
  PrintState state;
  return PrintedReport(printer, "Courier", size, state).CountPages(db);
}

// Prints pages first..last of the report; returns the printer.
FakePrinter PrintPages(ResultsDb& db, int first, int last, int size = 10) {
  FakePrinter printer;
  PrintState state;
  state.first_page = first;
  state.last_page = last;
  PrintedReport(printer, "Courier", size, state).Print(db);
  EXPECT_TRUE(state.print_done);
  EXPECT_EQ(printer.jobs_ended, 1);
  return printer;
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
  for (auto [files, records, findings_each, stopped] :
       std::vector<std::tuple<int, int, int, bool>>{{2, 1, 1, false},
                                                    {2, 1, 20, true},
                                                    {2, 3, 12, true},
                                                    {2, 12, 7, false},
                                                    {2, 40, 2, true},
                                                    {2, 90, 3, false},
                                                    {200, 1, 1, false}}) {
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
    const int pages = CountPages(f.db());
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
  EXPECT_EQ(CountPages(f.db(), 20), PageCountFor(115, 20));  // 20 lines a page
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

}  // namespace
}  // namespace lintaro::testing
