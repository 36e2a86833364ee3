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

TEST(WrapText, SplitsAtLineFeedsAndWrapsAtSpacesOrBetweenCharacters) {
  FakePrinter p;  // 8 inches wide: lines of at most 6.5 inches, 52 characters
  EXPECT_TRUE(WrapText(p, "").empty());
  EXPECT_EQ(WrapText(p, "first\r\nsecond\r\n"), (std::vector<std::string>{"first", "second", ""}));
  EXPECT_EQ(WrapText(p, "a\nb"), (std::vector<std::string>{"a", "b"}));
  std::string words;
  for (int i = 0; i < 40; ++i) words += (i ? " word" : "word") + std::to_string(i);
  const std::vector<std::string> lines = WrapText(p, words);
  ASSERT_GT(lines.size(), 1u);
  std::string joined;
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), 52u) << lines[i];
    joined += (i ? " " : "") + lines[i];
    // Each line is as full as the next word allows.
    if (i + 1 < lines.size()) {
      EXPECT_GT(lines[i].size() + 1 + lines[i + 1].find(' '), 52u);
    }
  }
  EXPECT_EQ(joined, words);
  EXPECT_EQ(WrapText(p, std::string(120, 'x')),
            (std::vector<std::string>{std::string(52, 'x'), std::string(52, 'x'), std::string(16, 'x')}));
  std::string accents;
  for (int i = 0; i < 60; ++i) accents += "\xC3\xA9";
  const std::vector<std::string> cut = WrapText(p, "ab " + accents);
  ASSERT_EQ(cut.size(), 3u);
  EXPECT_EQ(cut[1].size(), 104u);  // 52 two-byte characters, none split
}

TEST(PageCount, LeavesRoomForTheFootersAndCountsWithoutDrawing) {
  EXPECT_EQ(PageCountFor(115, 40), 3);
  EXPECT_EQ(PageCountFor(39, 40), 1);
  EXPECT_EQ(PageCountFor(40, 40), 2);  // 40 + 1 lines
  EXPECT_EQ(PageCountFor(80, 40), 3);  // 80 + 2 lines
  EXPECT_EQ(PageCountFor(0, 40), 0);
  EXPECT_EQ(PageCountFor(5, 0), 10);  // a page that holds no line counts as one line
  ResultsFixture f;
  BuildTwentyErrors(f);
  FakePrinter printer;
  PrintState state, big;
  EXPECT_EQ(PrintedReport(printer, "Courier", 10, state).CountPages(f.db()), 3);
  EXPECT_EQ(state.last_page, 3);
  EXPECT_TRUE(printer.pages.empty());
  EXPECT_EQ(printer.jobs_ended, 0);
  PrintedReport(printer, "Courier", 20, big).CountPages(f.db());  // 20 lines a page
  EXPECT_EQ(big.last_page, PageCountFor(115, 20));
}

TEST(PrintedReport, PrintsEveryPageWithItsFooter) {
  ResultsFixture f;
  BuildTwentyErrors(f);
  FakePrinter printer = PrintPages(f.db(), 1, 13);
  ASSERT_EQ(printer.pages.size(), 3u);
  for (size_t i = 0; i < printer.pages.size(); ++i) {
    const auto& texts = printer.pages[i].texts;
    EXPECT_EQ(texts.back().text, "Page: " + std::to_string(i + 1));
    EXPECT_DOUBLE_EQ(texts.back().y, 9.75);
    EXPECT_DOUBLE_EQ(texts.back().x, (8.0 - texts.back().text.size() * 0.125) / 2);
    for (size_t k = 0; k + 1 < texts.size(); ++k) EXPECT_LE(texts[k].y + 0.25, 9.75);
  }
  const std::vector<FakePrinter::Text>& p1 = printer.pages[0].texts;
  EXPECT_EQ(p1[0].text, "LINTARO TAX YEAR 2007 ERROR REPORT");
  EXPECT_TRUE(p1[0].bold);
  EXPECT_EQ(p1[0].size, 14);
  EXPECT_DOUBLE_EQ(p1[0].x, 4.0 - 34 * 0.175 / 2);
  EXPECT_EQ(p1[1].text, "Generated from: /in/a.txt");
  EXPECT_DOUBLE_EQ(p1[1].y, 0.35 + 0.25);
  EXPECT_EQ(p1[2].text, "12/06/2026");
  EXPECT_EQ(p1[3].text, "         3 Record(s) tested");
  EXPECT_DOUBLE_EQ(p1[3].x, 4.0 - 18 * 0.125 / 2 - 9 * 0.125);  // centred on its digits
  EXPECT_EQ(p1[5].text, "        20 Error(s) found");
  // The record heading: bold, centred, boxed; then label and value pairs.
  const std::string heading = "Record number: 3    Code: RCW    SSN:  123456789";
  auto h = std::find_if(p1.begin(), p1.end(), [&](const auto& t) { return t.text == heading; });
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
  const std::vector<std::string> block = {"Err Num: ", "1", "Reference: ", "Ref 1", "User Entry: ",
                                          "[x]", "Error Description: ", "Message 1"};
  for (size_t k = 0; k < block.size(); ++k) EXPECT_EQ((h + 1 + k)->text, block[k]);
  EXPECT_DOUBLE_EQ((h + 1)->x, 0);
  EXPECT_DOUBLE_EQ((h + 2)->x, 20 * 0.125);
  EXPECT_DOUBLE_EQ((h + 2)->y, (h + 1)->y);
  EXPECT_DOUBLE_EQ((h + 8)->y, h->y + 4 * 0.25);
}

TEST(PrintedReport, PageRangeTwoToTwoPrintsOnlyPageTwoAndItsFooter) {
  ResultsFixture f;
  BuildTwentyErrors(f);
  FakePrinter all = PrintPages(f.db(), 1, 13);
  ASSERT_EQ(all.pages.size(), 3u);
  for (int page : {2, 3}) {
    FakePrinter one = PrintPages(f.db(), page, page);
    ASSERT_EQ(one.pages.size(), 1u) << page;
    EXPECT_EQ(one.new_pages, 0);
    // Exactly what that page of the whole printout holds, at the same places.
    const auto texts = FakePrinter::TextsOf(one.pages[0]);
    EXPECT_EQ(texts, FakePrinter::TextsOf(all.pages[page - 1]));
    EXPECT_EQ(texts.back(), "Page: " + std::to_string(page));
    for (size_t i = 0; i < texts.size(); ++i)
      EXPECT_DOUBLE_EQ(one.pages[0].texts[i].y, all.pages[page - 1].texts[i].y);
  }
  const auto two = FakePrinter::TextsOf(PrintPages(f.db(), 2, 2).pages[0]);
  for (const char* absent : {"LINTARO TAX YEAR 2007 ERROR REPORT", "Message 1", "Message 20"})
    EXPECT_EQ(std::find(two.begin(), two.end(), absent), two.end()) << absent;
}

TEST(PrintedReport, WideHeadingIsReducedUntilItFitsThenTheReportSizeReturns) {
  ResultsFixture f;
  f.File("/in/a.txt");
  // 79 characters: 9.875 inches at 10 points, 8.8875 at 9, 7.9 at 8.
  f.Record(3, "RCW", std::string(40, '9'));
  f.Error(3, "Ref", "[x]", "Message");
  FakePrinter printer = PrintPages(f.db(), 1, 11);
  const auto& texts = printer.pages.at(0).texts;
  auto h = std::find_if(texts.begin(), texts.end(),
                        [](const auto& t) { return t.text.starts_with("Record number: 3"); });
  ASSERT_NE(h, texts.end());
  EXPECT_EQ(h->size, 8);
  EXPECT_DOUBLE_EQ(h->x, (8.0 - 7.9) / 2);
  EXPECT_EQ((h + 1)->text, "Err Num: ");
  EXPECT_EQ((h + 1)->size, 10);
  EXPECT_FALSE((h + 1)->bold);
  EXPECT_EQ((h + 1)->y, h->y + 8 / 40.0);
}

TEST(PrintedReport, CriticalStopIsPrintedBoldBeforeTheCounts) {
  ResultsFixture f;
  f.File("/in/a.txt");
  f.Record(7, "RCW", "1");
  f.Error(7, "Record Sequence", "[RCW]", "Out of sequence.", "C");
  FakePrinter printer = PrintPages(f.db(), 1, 11);
  const auto& texts = printer.pages.at(0).texts;
  ASSERT_GE(texts.size(), 8u);
  // The heading wraps, then the message and the empty line that ends it.
  EXPECT_EQ(texts[3].text, "Execution of Testing was terminated due to the");
  EXPECT_TRUE(texts[3].bold);
  EXPECT_EQ(texts[4].text, "Critical Error in Record Number 7:  ");
  EXPECT_EQ(texts[5].text, "Out of sequence.");
  EXPECT_EQ(texts[6].text, "");
  EXPECT_EQ(texts[7].text, "         7 Record(s) tested");
  EXPECT_DOUBLE_EQ(texts[7].y, texts[3].y + 4 * 0.25);
}

// The values start after "Error Description:  " (2.5 inches with the fake
// printer's characters), so they are wrapped to the rest of the line and
// no printed line runs past the page's right edge.
TEST(PrintedReport, LongValuesStayWithinThePageWidth) {
  ResultsFixture f;
  f.File("/in/a.txt");
  f.Record(1, "RCW", "123456789");
  std::string message;
  for (int i = 0; i < 12; ++i) message += "Agent for EIN cannot be blank ";
  f.Error(1, "Agent for EIN [Position 27 - 35] of the employer record of this block",
          "[         ]", message);
  FakePrinter printer = PrintPages(f.db(), 1, 11);
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
