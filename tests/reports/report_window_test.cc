#include "reports/report_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "reports/text_report.h"
#include "support/report_fakes.h"
#include "support/results_fixture.h"

namespace lintaro::testing {
namespace {

// What the saved file must hold: the whole text cut after the first error
// block that takes a piece past 64,000 characters, each piece followed by
// CR LF. (ASCII text: characters are bytes.)
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

// The report window's context over fakes and a results database.
class ReportTest : public ::testing::Test {
 protected:
  ReportTest() {
    context_ = {&f_.db(),  &settings_, &prompts_, &view_,
                &printer_, &dialog_,   &shell_,   f_.dir.str()};
  }
  ReportWindow& Window() {
    window_ = std::make_unique<ReportWindow>(context_);
    return *window_;
  }
  // 1,000 findings of about 330 characters each: five or six pieces.
  void BuildLargeRun() {
    f_.db().Begin();
    f_.File("/in/big.txt");
    for (int r = 1; r <= 100; ++r) {
      f_.Record(r, "RCW", "123456789");
      for (int e = 0; e < 10; ++e)
        f_.Error(
            r, "Reference of the field [Position 100 - 110]", "[" + std::string(80, 'u') + "]",
            "Message " + std::to_string(r) + "/" + std::to_string(e) + " " + std::string(150, 'm'));
    }
    f_.db().Commit();
  }
  std::string WholeText() {
    ReportBuffer b;
    BuildTextReport(f_.db(), b);
    return b.text;
  }

  ResultsFixture f_;
  ReportSettings settings_;
  ScriptedPrompts prompts_;
  FakeReportView view_;
  FakePrinter printer_;
  FakePrintDialogHost dialog_;
  FakeShell shell_;
  ReportContext context_;
  std::unique_ptr<ReportWindow> window_;
};

TEST_F(ReportTest, TooLargeReportAsksOnceAndSavesEveryPieceOnYes) {
  BuildLargeRun();
  const std::string saved = f_.dir.Write("saved.txt", "old contents of another report");
  // No; Yes with the save cancelled; Yes with a name.
  prompts_.answers = {Answer::kNo, Answer::kYes, Answer::kYes};
  prompts_.save_names = {std::nullopt, saved};
  for (size_t round = 1; round <= 3; ++round) {
    ReportWindow& w = Window();
    w.FormatReport(kReportText);
    ASSERT_EQ(prompts_.messages.size(), round);  // asked once, not per block
    EXPECT_EQ(prompts_.dialog_titles.size(), round - 1);
    EXPECT_EQ(view_.previews, std::vector<std::string>(round, kTooLargeSentence));
    EXPECT_EQ(w.report_text, kTooLargeSentence);
    EXPECT_EQ(view_.save_enabled.back(), false);
    EXPECT_FALSE(settings_.report_cancelled);
    EXPECT_EQ(view_.busy_depth, 0);  // the busy pointer is back
    EXPECT_EQ(ReadWholeFile(saved) == "old contents of another report", round < 3);
  }
  EXPECT_EQ(Describe(prompts_.messages[0]),
            "Report Too Large | exclamation yes-no | This report is too large to fit into the "
            "text preview.  Do you want to save it as a text file?");
  EXPECT_EQ(prompts_.dialog_titles.back(), "Please Enter File Name");
  size_t pieces = 0;
  const std::string expected = ExpectedPieces(WholeText(), &pieces);
  EXPECT_GE(pieces, 4u);
  const std::string file = ReadWholeFile(saved);
  EXPECT_TRUE(file == expected) << "the saved file differs from the report's pieces";
  struct stat info {};
  ASSERT_EQ(::stat(saved.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ReportTest, SaveThatCannotBeWrittenIsReportedAndCountsAsCancelled) {
  f_.File("/in/a.txt");
  ReportWindow& w = Window();
  prompts_.save_names = {(f_.dir.path() / "no-such-folder" / "r.txt").string()};
  EXPECT_EQ(w.SaveReportAs("text"), "");
  EXPECT_TRUE(settings_.report_cancelled);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find("could not be saved"), std::string::npos);
  settings_.report_cancelled = false;
  const std::string name = (f_.dir.path() / "r.txt").string();
  prompts_.save_names = {name};
  EXPECT_EQ(w.SaveReportAs("text"), name);
  EXPECT_EQ(ReadWholeFile(name), "text\r\n");
  EXPECT_FALSE(settings_.report_cancelled);
}

TEST_F(ReportTest, LargeHtmlReportIsWrittenInPiecesThenOpened) {
  BuildLargeRun();
  f_.dir.Write("temphtm.HTM", "stale report");  // replaced by the first piece
  Window().FormatReport(kReportHtml);
  const std::string html_file = (f_.dir.path() / "temphtm.HTM").string();
  const std::string file = ReadWholeFile(html_file);
  ReportBuffer whole;
  ASSERT_TRUE(BuildHtmlReport(f_.db(), whole, 57));
  std::string joined;
  size_t pieces = 0;
  for (size_t start = 0, crlf; start < file.size(); start = crlf + 2, ++pieces) {
    crlf = file.find("\r\n", start);
    ASSERT_NE(crlf, std::string::npos);
    joined += file.substr(start, crlf - start);
  }
  EXPECT_EQ(joined, whole.text);
  EXPECT_GE(pieces, 5u);
  EXPECT_EQ(shell_.opened, (std::vector<std::pair<std::string, std::string>>{
                               {"/usr/bin/browser", PathToUrl(html_file)}}));
  EXPECT_TRUE(shell_.printed.empty());
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(view_.shown, 0);
}

// Without a browser the text report is shown (tests/ui); printing with a
// browser that neither prints nor opens sends the text report to the
// printer through the print dialog.
TEST_F(ReportTest, PrintingWithABrowserThatFailsPrintsTheTextReport) {
  f_.OneFinding();
  settings_.report_choice = 3;
  shell_.print_succeeds = shell_.open_succeeds = false;
  settings_.print_requested = true;
  prompts_.answers = {Answer::kOk};
  Window().FormatReport(kReportHtml);
  EXPECT_EQ(shell_.printed.size(), 1u);
  EXPECT_EQ(prompts_.messages.back().text,
            "Your default browser could not be opened: \r\n/usr/bin/browser\r\n\r\n"
            "Would you like to print a text report?");
  EXPECT_EQ(settings_.report_choice, 1);
  EXPECT_EQ(dialog_.seen_min, 1);
  EXPECT_EQ(printer_.jobs_ended, 1);
  EXPECT_EQ(view_.shown, 0);
}

TEST_F(ReportTest, PrintTextReportPrintsTheChosenRangeAndCopies) {
  f_.File("/in/a.txt");
  f_.Record(3, "RCW", "123456789");
  for (int i = 1; i <= 20; ++i) f_.Error(3, "Ref", "[x]", "Message " + std::to_string(i));
  ReportWindow& w = Window();
  dialog_.page_range = std::make_pair(2, 2);
  dialog_.copies = 2;
  w.PrintTextReport();
  EXPECT_EQ(
      std::vector<int>({dialog_.seen_min, dialog_.seen_max, dialog_.seen_from, dialog_.seen_to}),
      std::vector<int>({1, 3, 1, 3}));
  EXPECT_EQ(dialog_.seen_flags, 0x100004);
  ASSERT_EQ(printer_.finished_jobs.size(), 2u);
  for (const auto& job : printer_.finished_jobs) {
    ASSERT_EQ(job.size(), 1u);
    EXPECT_EQ(job[0].texts.back().text, "Page: 2");
  }
  dialog_.page_range.reset();  // every page, up to the count plus ten
  dialog_.copies = 1;
  w.PrintTextReport();
  EXPECT_EQ(w.print.first_page, 1);
  EXPECT_EQ(w.print.last_page, 13);
  EXPECT_EQ(printer_.finished_jobs.back().size(), 3u);
  dialog_.confirm = false;  // cancelled: nothing printed
  w.PrintTextReport();
  EXPECT_EQ(printer_.finished_jobs.size(), 3u);
}

TEST(PrintDialog, PageSettersKeepTheRangeConsistent) {
  PrintDialog d;
  auto range = [&] { return std::vector<int>{d.Min(), d.FromPage(), d.ToPage(), d.Max()}; };
  d.SetMin(1);
  EXPECT_EQ(range(), (std::vector<int>{1, 1, 1, 1}));
  d.SetMax(9);
  d.SetFromPage(4);
  d.SetToPage(6);
  EXPECT_EQ(range(), (std::vector<int>{1, 4, 6, 9}));
  d.SetMin(3);
  d.SetToPage(2);  // below Min: lowers Min and FromPage
  EXPECT_EQ(range(), (std::vector<int>{2, 2, 2, 9}));
  d.SetFromPage(12);  // above ToPage and Max: raises both
  EXPECT_EQ(range(), (std::vector<int>{2, 12, 12, 12}));
  d.SetMax(1);  // below everything: lowers everything
  EXPECT_EQ(range(), (std::vector<int>{1, 1, 1, 1}));
  d.SetMin(-5);  // negative values become 0
  d.SetToPage(-1);
  EXPECT_EQ(range(), (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(ReportTest, FontCommandKeepsTheSizeWithinEightToTwenty) {
  ReportWindow& w = Window();
  w.SetReportFont("", 12.4);
  EXPECT_EQ(w.report_font_name, "Courier");
  EXPECT_EQ(w.report_font_size, 12);
  w.SetReportFont("DejaVu Sans Mono", 7);
  EXPECT_EQ(w.report_font_name, "DejaVu Sans Mono");
  EXPECT_EQ(w.report_font_size, 8);
  w.SetReportFont("", 19.6);
  EXPECT_EQ(w.report_font_size, 20);
  w.SetReportFont("", 26);
  EXPECT_EQ(w.report_font_size, 20);
}

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

TEST_F(ReportTest, RequestWithNothingToReportOrCancelledAsksOrDoesNothing) {
  f_.File("/in/a.txt");
  f_.Record(1, "RCA", "123456789");
  FakeRequestHost host(context_);
  settings_.print_requested = true;
  RunReportRequest(f_.db(), settings_, prompts_, host);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(Describe(prompts_.messages[0]),
            "Results | information ok | No errors found in the submission!");
  EXPECT_TRUE(host.asked_with.empty());

  // A cancelled format keeps the choice and drops the print request.
  f_.Error(1, "r", "[u]", "m");
  settings_.report_choice = 3;
  RunReportRequest(f_.db(), settings_, prompts_, host);
  EXPECT_EQ(host.asked_with, std::vector<int>{3});
  EXPECT_EQ(settings_.report_choice, 3);
  EXPECT_FALSE(settings_.print_requested);
  EXPECT_FALSE(settings_.report_cancelled);
  EXPECT_EQ(host.created, 0);
  EXPECT_TRUE(host.enabled.empty());
}

TEST_F(ReportTest, EachRequestedChoiceReachesItsOutput) {
  f_.OneFinding();
  FakeRequestHost host(context_);
  host.answer = 1;  // text, viewed
  RunReportRequest(f_.db(), settings_, prompts_, host);
  EXPECT_EQ(view_.previews.size(), 1u);
  EXPECT_EQ(view_.shown, 1);
  EXPECT_EQ(host.enabled, (std::vector<bool>{false, true}));
  host.answer = 3;  // HTML, viewed
  RunReportRequest(f_.db(), settings_, prompts_, host);
  EXPECT_EQ(settings_.report_choice, 3);
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(host.asked_with.back(), 1);
  host.answer = 1;  // text, printed
  settings_.print_requested = true;
  RunReportRequest(f_.db(), settings_, prompts_, host);
  EXPECT_EQ(printer_.jobs_ended, 1);
  EXPECT_FALSE(settings_.print_requested);
  EXPECT_EQ(view_.shown, 1);
  host.answer = 3;  // HTML, printed by the browser
  settings_.print_requested = true;
  RunReportRequest(f_.db(), settings_, prompts_, host);
  EXPECT_EQ(shell_.printed.size(), 1u);
  EXPECT_EQ(host.created, 4);
}

}  // namespace
}  // namespace lintaro::testing
