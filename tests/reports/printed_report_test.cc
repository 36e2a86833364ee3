#include "reports/printed_report.h"

#include <gtest/gtest.h>

#include "reports/report_fixture.h"
#include "support/report_fakes.h"

namespace lintaro::testing {
namespace {

// One RCW record with twenty findings: 115 counted lines, three pages of 40
// lines on the fake printer.
void BuildTwentyErrors(ResultsFixture& f) {
  f.File("/in/a.txt");
  f.Record(3, "RCW", "123456789");
  for (int i = 1; i <= 20; ++i)
    f.Error(3, "Ref " + std::to_string(i), "[x]", "Message " + std::to_string(i));
}

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(WrapText, SplitsAtLineFeedsAndWrapsAtSpaces) {
  FakePrinter p;  // 8 inches wide: lines of at most 6.5 inches, 52 characters
  EXPECT_TRUE(WrapText(p, "").empty());
  EXPECT_EQ(WrapText(p, "abc"), std::vector<std::string>{"abc"});
  EXPECT_EQ(WrapText(p, "first\r\nsecond\r\n"),
            (std::vector<std::string>{"first", "second", ""}));
  EXPECT_EQ(WrapText(p, "a\nb"), (std::vector<std::string>{"a", "b"}));

  std::string words;
  for (int i = 0; i < 40; ++i) words += (i ? " word" : "word") + std::to_string(i);
  const std::vector<std::string> lines = WrapText(p, words);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(line.size(), 52u) << line;
    EXPECT_NE(line.front(), ' ');
    joined += (joined.empty() ? "" : " ") + line;
  }
  EXPECT_EQ(joined, words);
  // Each line is as full as the next word allows.
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string next_word = lines[i + 1].substr(0, lines[i + 1].find(' '));
    EXPECT_GT(lines[i].size() + 1 + next_word.size(), 52u);
  }
}

TEST(WrapText, CutsAWordWiderThanTheLineBetweenCharacters) {
  FakePrinter p;
  EXPECT_EQ(WrapText(p, std::string(120, 'x')),
            (std::vector<std::string>{std::string(52, 'x'), std::string(52, 'x'),
                                      std::string(16, 'x')}));
  std::string accents;
  for (int i = 0; i < 60; ++i) accents += "\xC3\xA9";
  const std::vector<std::string> lines = WrapText(p, "ab " + accents);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "ab");
  EXPECT_EQ(lines[1].size(), 104u);  // 52 two-byte characters, none split
  EXPECT_EQ(lines[2].size(), 16u);
}

TEST(PageCount, LeavesRoomForTheFooters) {
  EXPECT_EQ(PageCountFor(115, 40), 3);
  EXPECT_EQ(PageCountFor(39, 40), 1);
  EXPECT_EQ(PageCountFor(40, 40), 2);  // 40 + 1 lines
  EXPECT_EQ(PageCountFor(80, 40), 3);  // 80 + 2 lines
  EXPECT_EQ(PageCountFor(0, 40), 0);
  EXPECT_EQ(PageCountFor(5, 0), 10);  // a page that holds no line counts as one line
}

TEST(PrintedReport, CountModeStoresThePageCountAndDrawsNothing) {
  TempDir dir;
  ResultsFixture f(dir.path());
  BuildTwentyErrors(f);
  FakePrinter printer;
  PrintState state;
  PrintedReport report(printer, "Courier", 10, state);
  EXPECT_EQ(report.CountPages(f.db()), 3);
  EXPECT_EQ(state.last_page, 3);
  EXPECT_TRUE(printer.pages.empty());
  EXPECT_EQ(printer.jobs_ended, 0);

  // Twice the font: lines twice as high, 20 lines a page, and lines wrap at
  // 26 characters.
  PrintState big;
  PrintedReport(printer, "Courier", 20, big).CountPages(f.db());
  EXPECT_EQ(big.last_page, PageCountFor(115, 20));
}

TEST(PrintedReport, PrintsEveryPageWithItsFooter) {
  TempDir dir;
  ResultsFixture f(dir.path());
  BuildTwentyErrors(f);
  FakePrinter printer;
  PrintState state;
  state.first_page = 1;
  state.last_page = 3 + 10;
  PrintedReport(printer, "Courier", 10, state).Print(f.db());
  ASSERT_EQ(printer.pages.size(), 3u);
  EXPECT_EQ(printer.jobs_ended, 1);
  EXPECT_TRUE(state.print_done);
  for (size_t i = 0; i < printer.pages.size(); ++i) {
    const FakePrinter::Text& footer = printer.pages[i].texts.back();
    EXPECT_EQ(footer.text, "Page: " + std::to_string(i + 1));
    EXPECT_DOUBLE_EQ(footer.y, 9.75);
    EXPECT_DOUBLE_EQ(footer.x, (8.0 - footer.text.size() * 0.125) / 2);
    EXPECT_FALSE(footer.bold);
    for (const FakePrinter::Text& t : printer.pages[i].texts)
      EXPECT_LE(t.y + 0.25, 10.0) << t.text;
    // Nothing but the footer below the footer line.
    for (size_t k = 0; k + 1 < printer.pages[i].texts.size(); ++k)
      EXPECT_LE(printer.pages[i].texts[k].y + 0.25, 9.75);
  }

  // The header of page 1.
  const std::vector<FakePrinter::Text>& p1 = printer.pages[0].texts;
  EXPECT_EQ(p1[0].text, "LINTARO TAX YEAR 2007 ERROR REPORT");
  EXPECT_TRUE(p1[0].bold);
  EXPECT_EQ(p1[0].size, 14);
  EXPECT_DOUBLE_EQ(p1[0].x, 4.0 - 34 * 0.175 / 2);
  EXPECT_EQ(p1[1].text, "Generated from: /in/a.txt");
  EXPECT_DOUBLE_EQ(p1[1].y, 0.35 + 0.25);
  EXPECT_EQ(p1[2].text, "12/06/2026");
  EXPECT_EQ(p1[3].text, "         3 Record(s) tested");
  // Centred on its digits, moved left by its leading spaces.
  EXPECT_DOUBLE_EQ(p1[3].x, 4.0 - 18 * 0.125 / 2 - 9 * 0.125);
  EXPECT_EQ(p1[4].text, "         1 Record(s) with Error(s)");
  EXPECT_DOUBLE_EQ(p1[4].x, p1[3].x);
  EXPECT_EQ(p1[5].text, "        20 Error(s) found");

  // The record heading: bold, centred, boxed.
  const std::string heading = "Record number: 3    Code: RCW    SSN:  123456789";
  auto h = std::find_if(p1.begin(), p1.end(),
                        [&](const FakePrinter::Text& t) { return t.text == heading; });
  ASSERT_NE(h, p1.end());
  EXPECT_TRUE(h->bold);
  const double width = heading.size() * 0.125;
  EXPECT_DOUBLE_EQ(h->x, (8.0 - width) / 2);
  ASSERT_EQ(printer.pages[0].rects.size(), 1u);
  const FakePrinter::Rect& box = printer.pages[0].rects[0];
  EXPECT_DOUBLE_EQ(box.left, h->x - 0.1);
  EXPECT_DOUBLE_EQ(box.top, h->y - 0.1);
  EXPECT_DOUBLE_EQ(box.right, h->x + width + 0.05);
  EXPECT_DOUBLE_EQ(box.bottom, h->y + 0.25 + 0.02);

  // An error block: labels at the margin, values in the column after
  // "Error Description:  " on the same line.
  const FakePrinter::Text& label = *(h + 1);
  const FakePrinter::Text& value = *(h + 2);
  EXPECT_EQ(label.text, "Err Num: ");
  EXPECT_DOUBLE_EQ(label.x, 0);
  EXPECT_EQ(value.text, "1");
  EXPECT_DOUBLE_EQ(value.x, 20 * 0.125);
  EXPECT_DOUBLE_EQ(value.y, label.y);
  EXPECT_FALSE(value.bold);
  EXPECT_EQ((h + 3)->text, "Reference: ");
  EXPECT_EQ((h + 4)->text, "Ref 1");
  EXPECT_EQ((h + 5)->text, "User Entry: ");
  EXPECT_EQ((h + 6)->text, "[x]");
  EXPECT_EQ((h + 7)->text, "Error Description: ");
  EXPECT_EQ((h + 8)->text, "Message 1");
  EXPECT_DOUBLE_EQ((h + 8)->y, h->y + 4 * 0.25);
}

TEST(PrintedReport, PageRangeTwoToTwoPrintsOnlyPageTwoAndItsFooter) {
  TempDir dir;
  ResultsFixture f(dir.path());
  BuildTwentyErrors(f);

  FakePrinter all;
  PrintState all_state;
  all_state.first_page = 1;
  all_state.last_page = 13;
  PrintedReport(all, "Courier", 10, all_state).Print(f.db());
  ASSERT_EQ(all.pages.size(), 3u);

  FakePrinter printer;
  PrintState state;
  state.first_page = 2;
  state.last_page = 2;
  PrintedReport(printer, "Courier", 10, state).Print(f.db());
  ASSERT_EQ(printer.pages.size(), 1u);
  EXPECT_EQ(printer.new_pages, 0);
  EXPECT_EQ(printer.jobs_ended, 1);
  EXPECT_TRUE(state.print_done);
  // Exactly what page 2 of the whole printout holds, at the same places.
  const std::vector<std::string> texts = FakePrinter::TextsOf(printer.pages[0]);
  EXPECT_EQ(texts, FakePrinter::TextsOf(all.pages[1]));
  EXPECT_EQ(texts.back(), "Page: 2");
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_DOUBLE_EQ(printer.pages[0].texts[i].y, all.pages[1].texts[i].y);
  EXPECT_FALSE(Contains(texts, "LINTARO TAX YEAR 2007 ERROR REPORT"));
  EXPECT_FALSE(Contains(texts, "Message 1"));
  EXPECT_FALSE(Contains(texts, "Message 20"));

  // The last page alone.
  FakePrinter last;
  PrintState last_state;
  last_state.first_page = 3;
  last_state.last_page = 3;
  PrintedReport(last, "Courier", 10, last_state).Print(f.db());
  ASSERT_EQ(last.pages.size(), 1u);
  EXPECT_EQ(FakePrinter::TextsOf(last.pages[0]), FakePrinter::TextsOf(all.pages[2]));
}

TEST(PrintedReport, WideHeadingIsReducedUntilItFitsThenTheReportSizeReturns) {
  TempDir dir;
  ResultsFixture f(dir.path());
  f.File("/in/a.txt");
  // 79 characters: 9.875 inches at 10 points, 8.8875 at 9, 7.9 at 8.
  f.Record(3, "RCW", std::string(40, '9'));
  f.Error(3, "Ref", "[x]", "Message");
  FakePrinter printer;
  PrintState state;
  state.first_page = 1;
  state.last_page = 11;
  PrintedReport(printer, "Courier", 10, state).Print(f.db());
  ASSERT_EQ(printer.pages.size(), 1u);
  const auto& texts = printer.pages[0].texts;
  auto h = std::find_if(texts.begin(), texts.end(), [](const FakePrinter::Text& t) {
    return t.text.rfind("Record number: 3", 0) == 0;
  });
  ASSERT_NE(h, texts.end());
  EXPECT_EQ(h->size, 8);
  EXPECT_TRUE(h->bold);
  EXPECT_DOUBLE_EQ(h->x, (8.0 - 7.9) / 2);
  EXPECT_EQ((h + 1)->text, "Err Num: ");
  EXPECT_EQ((h + 1)->size, 10);
  EXPECT_FALSE((h + 1)->bold);
  EXPECT_EQ((h + 1)->y, h->y + 8 / 40.0);
}

TEST(PrintedReport, CriticalStopIsPrintedBoldBeforeTheCounts) {
  TempDir dir;
  ResultsFixture f(dir.path());
  f.File("/in/a.txt");
  f.Record(7, "RCW", "1");
  f.Error(7, "Record Sequence", "[RCW]", "Out of sequence.", "C");
  FakePrinter printer;
  PrintState state;
  state.first_page = 1;
  state.last_page = 11;
  PrintedReport(printer, "Courier", 10, state).Print(f.db());
  const auto& texts = printer.pages.at(0).texts;
  // The heading is wider than 6.5 inches: it wraps, then the message, then
  // the empty line that ends the message.
  ASSERT_GE(texts.size(), 7u);
  EXPECT_EQ(texts[3].text, "Execution of Testing was terminated due to the");
  EXPECT_TRUE(texts[3].bold);
  EXPECT_EQ(texts[4].text, "Critical Error in Record Number 7:  ");
  EXPECT_EQ(texts[5].text, "Out of sequence.");
  EXPECT_EQ(texts[6].text, "");
  EXPECT_EQ(texts[7].text, "         7 Record(s) tested");
  EXPECT_DOUBLE_EQ(texts[7].y, texts[3].y + 4 * 0.25);
}

}  // namespace
}  // namespace lintaro::testing

namespace lintaro::testing {
namespace {

// The values start after "Error Description:  " (2.5 inches with the fake
// printer's characters), so they are wrapped to the rest of the line and
// no printed line runs past the page's right edge.
TEST(PrintedReport, LongValuesStayWithinThePageWidth) {
  TempDir dir;
  ResultsFixture f(dir.path());
  f.File("/in/a.txt");
  f.Record(1, "RCW", "123456789");
  std::string message;
  for (int i = 0; i < 12; ++i) message += "Agent for EIN cannot be blank ";
  f.Error(1, "Agent for EIN [Position 27 - 35] of the employer record of this block",
          "[         ]", message);
  FakePrinter printer;
  PrintState count;
  const int pages = PrintedReport(printer, "Courier", 10, count).CountPages(f.db());
  PrintState state;
  state.first_page = 1;
  state.last_page = pages + 10;
  PrintedReport(printer, "Courier", 10, state).Print(f.db());
  ASSERT_EQ(printer.pages.size(), 1u);
  int value_lines = 0;
  for (const FakePrinter::Text& t : printer.pages[0].texts) {
    EXPECT_LE(t.x + t.text.size() * t.size / 80.0, 8.0) << t.text;
    if (t.x == 2.5 && t.text.find("Agent for EIN cannot") != std::string::npos) ++value_lines;
  }
  // 360 characters at no more than 44 to the line.
  EXPECT_GE(value_lines, 8);
}

}  // namespace
}  // namespace lintaro::testing
