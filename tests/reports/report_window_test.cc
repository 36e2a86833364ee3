#include "reports/report_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "reports/report_fixture.h"
#include "reports/text_report.h"
#include "support/report_fakes.h"

namespace lintaro::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// What the saved file must hold: the whole text cut after the first error
// block that takes a piece past 64,000 characters, each piece followed by
// CR LF. Error blocks end with an empty line before the next block, the next
// record's heading or the end. (ASCII text: characters are bytes.)
std::string ExpectedPieces(const std::string& whole, size_t* pieces) {
  std::string file;
  size_t start = 0;
  *pieces = 0;
  for (size_t p = 4; p <= whole.size(); ++p) {
    const bool block_end = whole.compare(p - 4, 4, "\r\n\r\n") == 0 &&
                           (p == whole.size() || whole.compare(p, 9, "Err Num: ") == 0 ||
                            whole.compare(p, 3, "\r\n\t") == 0);
    if (block_end && (p - start > 64000 || p == whole.size())) {
      file += whole.substr(start, p - start) + "\r\n";
      start = p;
      ++*pieces;
    }
  }
  return file;
}

class ReportWindowTest : public ::testing::Test {
 protected:
  ReportWindowTest() : fixture_(dir_.path()) {}

  ReportWindow& Window() {
    ReportContext c;
    c.db = &fixture_.db();
    c.settings = &settings_;
    c.prompts = &prompts_;
    c.view = &view_;
    c.printer = &printer_;
    c.print_dialog = &dialog_;
    c.shell = &shell_;
    c.program_folder = dir_.str();
    window_ = std::make_unique<ReportWindow>(c);
    return *window_;
  }

  // 1,000 findings of about 330 characters of text each: five or six pieces
  // of 64,000 characters.
  void BuildLargeRun() {
    fixture_.db().Begin();
    fixture_.File("/in/big.txt");
    for (int r = 1; r <= 100; ++r) {
      fixture_.Record(r, "RCW", "123456789");
      for (int e = 0; e < 10; ++e)
        fixture_.Error(r, "Reference of the field [Position 100 - 110]", "[" + std::string(80, 'u') + "]",
                       "Message " + std::to_string(r) + "/" + std::to_string(e) + " " +
                           std::string(150, 'm'));
    }
    fixture_.db().Commit();
  }

  std::string WholeText() {
    ReportBuffer b;
    BuildTextReport(fixture_.db(), b);
    return b.text;
  }

  TempDir dir_;
  ResultsFixture fixture_;
  ReportSettings settings_;
  ScriptedPrompts prompts_;
  FakeReportView view_;
  FakePrinter printer_;
  FakePrintDialogHost dialog_;
  FakeShell shell_;
  std::unique_ptr<ReportWindow> window_;
};

TEST_F(ReportWindowTest, SmallTextReportIsShownWhole) {
  fixture_.File("/in/a.txt");
  fixture_.Record(1, "RCA", "123456789");
  fixture_.Error(1, "r", "[u]", "m");
  settings_.report_cancelled = true;
  ReportWindow& w = Window();
  w.FormatReport(kReportText);
  ASSERT_EQ(view_.previews.size(), 1u);
  EXPECT_EQ(view_.previews[0], WholeText());
  EXPECT_EQ(w.report_text, WholeText());
  EXPECT_TRUE(view_.save_enabled.empty());
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_FALSE(settings_.report_cancelled);
  EXPECT_EQ(view_.busy_depth, 0);
}

TEST_F(ReportWindowTest, TooLargeReportSavedOnYesHoldsEveryPiece) {
  BuildLargeRun();
  const std::string saved = (dir_.path() / "saved.txt").string();
  dir_.Write("saved.txt", "old contents of another report");
  prompts_.answers = {Answer::kYes};
  prompts_.save_names = {saved};
  ReportWindow& w = Window();
  w.FormatReport(kReportText);

  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].title, "Report Too Large");
  EXPECT_EQ(prompts_.messages[0].text,
            "This report is too large to fit into the text preview.  Do you want to save it as "
            "a text file?");
  EXPECT_EQ(prompts_.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(prompts_.messages[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(prompts_.dialog_titles, std::vector<std::string>{"Please Enter File Name"});

  EXPECT_EQ(view_.previews, std::vector<std::string>{kTooLargeSentence});
  ASSERT_FALSE(view_.save_enabled.empty());
  EXPECT_FALSE(view_.save_enabled.back());

  const std::string file = ReadFile(saved);
  size_t pieces = 0;
  const std::string expected = ExpectedPieces(WholeText(), &pieces);
  EXPECT_GE(pieces, 4u);
  EXPECT_EQ(file.size(), expected.size());
  EXPECT_TRUE(file == expected) << "the saved file differs from the report's pieces";
  struct stat info {};
  ASSERT_EQ(::stat(saved.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ReportWindowTest, TooLargeReportDeclinedShowsTheSentenceOnly) {
  BuildLargeRun();
  prompts_.answers = {Answer::kNo};
  ReportWindow& w = Window();
  w.FormatReport(kReportText);
  EXPECT_EQ(prompts_.messages.size(), 1u);
  EXPECT_TRUE(prompts_.dialog_titles.empty());
  EXPECT_EQ(view_.previews, std::vector<std::string>{kTooLargeSentence});
  EXPECT_EQ(w.report_text, kTooLargeSentence);
  EXPECT_EQ(view_.save_enabled, std::vector<bool>{false});
}

TEST_F(ReportWindowTest, TooLargeReportWithSaveCancelledShowsTheSentence) {
  BuildLargeRun();
  prompts_.answers = {Answer::kYes};
  prompts_.save_names = {std::nullopt};
  ReportWindow& w = Window();
  w.FormatReport(kReportText);
  EXPECT_EQ(prompts_.messages.size(), 1u);  // asked once, not again per block
  EXPECT_EQ(view_.previews, std::vector<std::string>{kTooLargeSentence});
  EXPECT_FALSE(settings_.report_cancelled);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "saved.txt"));
}

TEST_F(ReportWindowTest, SaveThatCannotBeWrittenIsReportedAndCountsAsCancelled) {
  fixture_.File("/in/a.txt");
  ReportWindow& w = Window();
  prompts_.save_names = {(dir_.path() / "no-such-folder" / "r.txt").string()};
  EXPECT_EQ(w.SaveReportAs("text"), "");
  EXPECT_TRUE(settings_.report_cancelled);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find("could not be saved"), std::string::npos);

  settings_.report_cancelled = false;
  const std::string name = (dir_.path() / "r.txt").string();
  prompts_.save_names = {name};
  EXPECT_EQ(w.SaveReportAs("text"), name);
  EXPECT_EQ(ReadFile(name), "text\r\n");
  EXPECT_FALSE(settings_.report_cancelled);
}

TEST_F(ReportWindowTest, LargeHtmlReportIsWrittenInPiecesThenOpened) {
  BuildLargeRun();
  // An older report in the file is replaced by the first piece.
  dir_.Write("temphtm.HTM", "stale report");
  ReportWindow& w = Window();
  w.FormatReport(kReportHtml);

  const std::string file = ReadFile((dir_.path() / "temphtm.HTM").string());
  ReportBuffer whole;
  ASSERT_TRUE(BuildHtmlReport(fixture_.db(), whole, 57));
  // Pieces end at a row's end: "</td></tr>" then CR LF.
  std::string joined;
  size_t pieces = 0, start = 0;
  while (true) {
    size_t crlf = file.find("\r\n", start);
    ASSERT_NE(crlf, std::string::npos);
    joined += file.substr(start, crlf - start);
    ++pieces;
    start = crlf + 2;
    if (start == file.size()) break;
  }
  EXPECT_EQ(joined, whole.text);
  EXPECT_GE(pieces, 5u);
  EXPECT_EQ(file.rfind("<!DOCTYPE", 0), 0u);

  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0].first, "/usr/bin/browser");
  EXPECT_EQ(shell_.opened[0].second, PathToUrl((dir_.path() / "temphtm.HTM").string()));
  EXPECT_TRUE(shell_.printed.empty());
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(view_.shown, 0);
}

TEST_F(ReportWindowTest, HtmlWithoutBrowserFallsBackToTheTextWindowOnOk) {
  fixture_.File("/in/a.txt");
  fixture_.Record(1, "RCA", "1");
  fixture_.Error(1, "r", "[u]", "m");
  shell_.browser.reset();
  settings_.report_choice = 3;
  prompts_.answers = {Answer::kOk};
  Window().FormatReport(kReportHtml);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].title, "HTML Report");
  EXPECT_EQ(prompts_.messages[0].text,
            "Could not find a default Web Browser. \r\nWould you like to view a text report?");
  EXPECT_EQ(prompts_.messages[0].buttons, Buttons::kOkCancel);
  EXPECT_EQ(settings_.report_choice, 1);
  EXPECT_EQ(view_.previews, std::vector<std::string>{WholeText()});
  EXPECT_EQ(view_.shown, 1);
}

TEST_F(ReportWindowTest, HtmlPrintWithFailingBrowserPrintsTheTextReportOnOk) {
  fixture_.File("/in/a.txt");
  fixture_.Record(1, "RCA", "1");
  fixture_.Error(1, "r", "[u]", "m");
  shell_.print_succeeds = false;
  shell_.open_succeeds = false;
  settings_.print_requested = true;
  prompts_.answers = {Answer::kOk};
  Window().FormatReport(kReportHtml);
  EXPECT_EQ(shell_.printed.size(), 1u);
  EXPECT_EQ(shell_.opened.size(), 1u);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text,
            "Your default browser could not be opened: \r\n/usr/bin/browser\r\n\r\n"
            "Would you like to print a text report?");
  // The text report went to the printer through the print dialog.
  EXPECT_EQ(dialog_.seen_min, 1);
  EXPECT_EQ(printer_.jobs_ended, 1);
  EXPECT_EQ(view_.shown, 0);
}

TEST_F(ReportWindowTest, PrintTextReportPrintsTheChosenRangeAndCopies) {
  fixture_.File("/in/a.txt");
  fixture_.Record(3, "RCW", "123456789");
  for (int i = 1; i <= 20; ++i) fixture_.Error(3, "Ref", "[x]", "Message " + std::to_string(i));
  ReportWindow& w = Window();

  dialog_.page_range = std::make_pair(2, 2);
  dialog_.copies = 2;
  w.PrintTextReport();
  EXPECT_EQ(dialog_.seen_min, 1);
  EXPECT_EQ(dialog_.seen_max, 3);
  EXPECT_EQ(dialog_.seen_from, 1);
  EXPECT_EQ(dialog_.seen_to, 3);
  EXPECT_EQ(dialog_.seen_flags, 0x100004);
  ASSERT_EQ(printer_.finished_jobs.size(), 2u);
  for (const auto& job : printer_.finished_jobs) {
    ASSERT_EQ(job.size(), 1u);
    EXPECT_EQ(job[0].texts.back().text, "Page: 2");
  }

  // No range chosen: every page, up to the count plus ten.
  dialog_.page_range.reset();
  dialog_.copies = 1;
  w.PrintTextReport();
  EXPECT_EQ(w.print.first_page, 1);
  EXPECT_EQ(w.print.last_page, 13);
  EXPECT_EQ(printer_.finished_jobs.back().size(), 3u);

  // Cancelled: nothing printed.
  dialog_.confirm = false;
  w.PrintTextReport();
  EXPECT_EQ(printer_.finished_jobs.size(), 3u);
}

TEST(PrintDialog, PageSettersKeepTheRangeConsistent) {
  PrintDialog d;
  d.SetMin(1);
  EXPECT_EQ(d.FromPage(), 1);
  EXPECT_EQ(d.ToPage(), 1);
  EXPECT_EQ(d.Max(), 1);
  d.SetMax(9);
  d.SetFromPage(4);
  d.SetToPage(6);
  EXPECT_EQ(d.Min(), 1);
  EXPECT_EQ(d.Max(), 9);

  // ToPage below Min lowers Min and FromPage with it.
  d.SetMin(3);
  d.SetToPage(2);
  EXPECT_EQ(d.ToPage(), 2);
  EXPECT_EQ(d.FromPage(), 2);
  EXPECT_EQ(d.Min(), 2);
  EXPECT_EQ(d.Max(), 9);

  // FromPage above ToPage and Max raises both.
  d.SetFromPage(12);
  EXPECT_EQ(d.ToPage(), 12);
  EXPECT_EQ(d.Max(), 12);
  EXPECT_EQ(d.Min(), 2);

  // Max below everything lowers everything.
  d.SetMax(1);
  EXPECT_EQ(d.ToPage(), 1);
  EXPECT_EQ(d.FromPage(), 1);
  EXPECT_EQ(d.Min(), 1);

  // Negative values become 0.
  d.SetMin(-5);
  EXPECT_EQ(d.Min(), 0);
  d.SetToPage(-1);
  EXPECT_EQ(d.ToPage(), 0);
  EXPECT_EQ(d.FromPage(), 0);
}

TEST(PrintDialog, CancelRaisesTheCancelErrorOnlyWhenAsked) {
  FakePrintDialogHost host;
  host.confirm = false;
  PrintDialog d;
  EXPECT_FALSE(d.ShowPrinter(host));
  d.cancel_error = true;
  try {
    d.ShowPrinter(host);
    FAIL() << "no cancel error";
  } catch (const PrintDialogCancelled& e) {
    EXPECT_STREQ(e.what(), "Cancel.");
    EXPECT_EQ(PrintDialogCancelled::kNumber, 32755);
  }
  host.confirm = true;
  EXPECT_TRUE(d.ShowPrinter(host));
}

TEST_F(ReportWindowTest, FontCommandKeepsTheSizeWithinEightToTwenty) {
  ReportWindow& w = Window();
  w.SetReportFont("", 12.4);
  EXPECT_EQ(w.report_font_name, "Courier");
  EXPECT_EQ(w.report_font_size, 12);
  w.SetReportFont("DejaVu Sans Mono", 7);
  EXPECT_EQ(w.report_font_name, "DejaVu Sans Mono");
  EXPECT_EQ(w.report_font_size, 8);
  w.SetReportFont("", 26);
  EXPECT_EQ(w.report_font_size, 20);
  w.SetReportFont("", 19.6);
  EXPECT_EQ(w.report_font_size, 20);
}

}  // namespace
}  // namespace lintaro::testing

namespace lintaro::testing {
namespace {

// The main window's side of a report request.
class FakeRequestHost : public ReportRequestHost {
 public:
  explicit FakeRequestHost(ReportContext context) : context_(std::move(context)) {}
  std::optional<int> answer;
  std::vector<int> asked_with;
  std::vector<bool> enabled;
  int created = 0;

  std::optional<int> AskReportFormat(int current) override {
    asked_with.push_back(current);
    return answer;
  }
  void SetReportCommandsEnabled(bool e) override { enabled.push_back(e); }
  ReportWindow& CreateReportWindow() override {
    ++created;
    window_ = std::make_unique<ReportWindow>(context_);
    return *window_;
  }

 private:
  ReportContext context_;
  std::unique_ptr<ReportWindow> window_;
};

class ReportRequestTest : public ::testing::Test {
 protected:
  ReportRequestTest() : fixture_(dir_.path()) {
    fixture_.File("/in/a.txt");
    fixture_.Record(1, "RCA", "123456789");
    context_.db = &fixture_.db();
    context_.settings = &settings_;
    context_.prompts = &prompts_;
    context_.view = &view_;
    context_.printer = &printer_;
    context_.print_dialog = &dialog_;
    context_.shell = &shell_;
    context_.program_folder = dir_.str();
  }

  TempDir dir_;
  ResultsFixture fixture_;
  ReportSettings settings_;
  ScriptedPrompts prompts_;
  FakeReportView view_;
  FakePrinter printer_;
  FakePrintDialogHost dialog_;
  FakeShell shell_;
  ReportContext context_;
};

TEST_F(ReportRequestTest, NothingToReportSaysSoAndAsksNothing) {
  FakeRequestHost host(context_);
  settings_.print_requested = true;
  RunReportRequest(fixture_.db(), settings_, prompts_, host);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].title, "Results");
  EXPECT_EQ(prompts_.messages[0].text, "No errors found in the submission!");
  EXPECT_EQ(prompts_.messages[0].icon, Icon::kInformation);
  EXPECT_TRUE(host.asked_with.empty());
  EXPECT_EQ(host.created, 0);
}

TEST_F(ReportRequestTest, CancelledFormatKeepsTheChoiceAndDropsThePrintRequest) {
  fixture_.Error(1, "r", "[u]", "m");
  FakeRequestHost host(context_);
  settings_.report_choice = 3;
  settings_.print_requested = true;
  RunReportRequest(fixture_.db(), settings_, prompts_, host);
  EXPECT_EQ(host.asked_with, std::vector<int>{3});
  EXPECT_EQ(settings_.report_choice, 3);
  EXPECT_FALSE(settings_.print_requested);
  EXPECT_FALSE(settings_.report_cancelled);
  EXPECT_EQ(host.created, 0);
  EXPECT_TRUE(host.enabled.empty());
}

TEST_F(ReportRequestTest, EachChoiceReachesItsOutput) {
  fixture_.Error(1, "r", "[u]", "m");
  FakeRequestHost host(context_);

  host.answer = 1;  // text, viewed
  RunReportRequest(fixture_.db(), settings_, prompts_, host);
  EXPECT_EQ(view_.previews.size(), 1u);
  EXPECT_EQ(view_.shown, 1);
  EXPECT_EQ(host.enabled, (std::vector<bool>{false, true}));

  host.answer = 3;  // HTML, viewed
  RunReportRequest(fixture_.db(), settings_, prompts_, host);
  EXPECT_EQ(settings_.report_choice, 3);
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(host.asked_with.back(), 1);

  host.answer = 1;  // text, printed
  settings_.print_requested = true;
  RunReportRequest(fixture_.db(), settings_, prompts_, host);
  EXPECT_EQ(printer_.jobs_ended, 1);
  EXPECT_FALSE(settings_.print_requested);
  EXPECT_EQ(view_.shown, 1);

  host.answer = 3;  // HTML, printed by the browser
  settings_.print_requested = true;
  RunReportRequest(fixture_.db(), settings_, prompts_, host);
  EXPECT_EQ(shell_.printed.size(), 1u);
  EXPECT_EQ(host.created, 4);
}

}  // namespace
}  // namespace lintaro::testing
