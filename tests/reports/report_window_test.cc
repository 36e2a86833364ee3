// The report window's decisions and the browser hand-over over fakes: each
// scenario's prompts, shell calls, print dialog, printed jobs, view changes,
// settings and report files are compared with
// tests/reports/traces/ReportTest.TEST.trace.
#include "reports/report_window.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "reports/browser.h"
#include "reports/text_report.h"
#include "support/report_fakes.h"
#include "support/results_fixture.h"

namespace lintaro::testing {
namespace {

// The sizes of the pieces file holds, if it is whole with CR LF after each
// piece (of a CR LF that could be the text's own or the piece's, the first
// is taken as the text's).
std::string PieceSizes(const std::string& whole, const std::string& file) {
  std::string sizes = "pieces of";
  size_t w = 0, start = 0;
  for (size_t f = 0; f < file.size(); f += 2) {
    for (; f < file.size() && w < whole.size() && file[f] == whole[w]; ++w) ++f;
    if (file.compare(f, 2, "\r\n") != 0) return sizes + " then differs at " + std::to_string(w);
    sizes += " " + std::to_string(w - start);
    start = w;
  }
  return sizes + (w == whole.size() ? "" : " but ends early");
}

// The report window's context over fakes and a results database; as the
// main window's side of a report request it answers the format question
// with `answer`.
class ReportTest : public ::testing::Test, public ReportRequestHost {
 protected:
  ReportTest() {
    prompts_.trace = view_.trace = printer_.trace = dialog_.trace = shell_.trace = &trace_;
  }
  ReportWindow& Window() {
    window_ = std::make_unique<ReportWindow>(context_);
    return *window_;
  }
  const ReportFormat* AskReportFormat(const ReportFormat& current) override {
    Note(&trace_, "host: format asked, current " + std::string(current.name) + " -> " +
                      (answer ? std::string(answer->name) : "cancelled"));
    return answer;
  }
  void SetReportCommandsEnabled(bool e) override {
    Note(&trace_, e ? "host: commands on" : "host: commands off");
  }
  ReportWindow& CreateReportWindow() override {
    Note(&trace_, "host: new report window");
    return Window();
  }
  void TraceSettings() {
    Note(&trace_, "settings: choice " + std::string(settings_.report_choice->name) +
                      (settings_.print_requested ? ", print requested" : "") +
                      (settings_.report_cancelled ? ", cancelled" : ""));
  }
  // Hands html to the browser from folder (else the results' folder) and
  // traces the outcome.
  void OpenHtml(std::string html, bool print = false, std::string folder = "") {
    if (folder.empty()) folder = f_.dir.str();
    BrowserRequest request{folder, "https://agency.test/welcome", print};
    const bool shown = OpenInBrowser(prompts_, shell_, request, html);
    const std::string file = folder + "/temphtm.HTM";
    Note(&trace_,
         std::string(shown ? "shown" : "not shown") + "; html [" + html + "]; file " +
             (std::filesystem::is_regular_file(file) ? "[" + ReadWholeFile(file) + "]" : "none"));
  }
  void ExpectTrace() {
    ExpectTraceHeld(trace_, f_.dir.str(), LINTARO_SOURCE_DIR "/tests/reports/traces");
  }

  ResultsFixture f_;
  std::string trace_;
  const ReportFormat* answer = nullptr;
  ReportSettings settings_;
  TracedPrompts prompts_;
  FakeReportView view_;
  FakePrinter printer_;
  FakePrintDialogHost dialog_;
  FakeShell shell_;
  ReportContext context_{&f_.db(),  &settings_, &prompts_, &view_,
                         &printer_, &dialog_,   &shell_,   f_.dir.str()};
  std::unique_ptr<ReportWindow> window_;
};

// The text report is asked about once per report, not per block: No; Yes
// with the save cancelled; Yes with a file that cannot be written (reported,
// and the report stops as if cancelled); Yes with a file that fills the disk
// after its first piece, and Save As with it (reported, the file as it was);
// Yes with a name. The HTML report replaces a stale file with its first piece
// and appends the others.
TEST_F(ReportTest, LargeReportsAreWrittenInPieces) {
  // 1,000 findings of about 330 characters each: several pieces.
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
  const std::string saved = f_.dir.Write("saved.txt", "old contents of another report");
  prompts_.answers = {Answer::kNo,  Answer::kYes, Answer::kYes, Answer::kOk,
                      Answer::kYes, Answer::kOk,  Answer::kOk,  Answer::kYes};
  prompts_.save_names = {std::nullopt, (f_.dir.path() / "no-such-folder" / "r.txt").string(), saved,
                         saved, saved};
  auto note_saved = [&] {
    Note(&trace_, ReadWholeFile(saved) == "old contents of another report" ? "saved.txt unchanged"
                                                                           : "saved.txt written");
    for (const auto& entry : std::filesystem::directory_iterator(f_.dir.path()))
      if (entry.path().filename().string().rfind(".saved.txt", 0) == 0) Note(&trace_, "left over");
  };
  for (int round = 1; round <= 5; ++round) {
    // Round 4: writes past 100,000 bytes fail, as on a full disk.
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    if (round == 4) {
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit small{100000, unlimited.rlim_max};
      setrlimit(RLIMIT_FSIZE, &small);
    }
    Window().FormatReport(kReportText);
    note_saved();
    TraceSettings();
    if (round == 4) {
      Window().SaveReportAs(std::string(150000, 'r'));
      note_saved();
      setrlimit(RLIMIT_FSIZE, &unlimited);
    }
  }
  ReportBuffer text, html;
  BuildTextReport(f_.db(), text);
  Note(&trace_,
       "saved.txt holds the text report in " + PieceSizes(text.text, ReadWholeFile(saved)));
  EXPECT_EQ(std::filesystem::status(saved).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  f_.dir.Write("temphtm.HTM", "stale report");
  Window().FormatReport(kReportHtml);
  ASSERT_TRUE(BuildHtmlReport(f_.db(), html, 57));
  Note(&trace_, "temphtm.HTM holds the HTML report in " +
                    PieceSizes(html.text, ReadWholeFile((f_.dir.path() / "temphtm.HTM").string())));
  ExpectTrace();
}

// Pages 2 to 2 twice; every page (up to the count plus ten); cancelled.
// Then the Font command: an empty name keeps the font; the size is rounded
// into 8..20.
TEST_F(ReportTest, PrintTextReportPrintsTheChosenRangeAndCopiesAndFontsKeepTheirSize) {
  f_.File("/in/a.txt");
  f_.Record(3, "RCW", "123456789");
  for (int i = 1; i <= 20; ++i) f_.Error(3, "Ref", "[x]", "Message " + std::to_string(i));
  ReportWindow& w = Window();
  dialog_.page_range = std::make_pair(2, 2);
  dialog_.copies = 2;
  for (bool confirm : {true, true, false}) {
    dialog_.confirm = confirm;
    w.PrintTextReport();
    Note(&trace_, "window: pages " + std::to_string(w.print.first_page) + "-" +
                      std::to_string(w.print.last_page));
    dialog_.page_range.reset();
    dialog_.copies = 1;
  }
  for (auto [name, size] : {std::pair{"", 12.4}, {"DejaVu Sans Mono", 7}, {"", 19.6}, {"", 26}}) {
    w.SetReportFont(name, size);
    Note(&trace_, "font " + w.report_font_name + " " + std::to_string(w.report_font_size));
  }
  ExpectTrace();
}

// Each setter keeps Min <= FromPage <= ToPage <= Max by moving the others
// (negative values become 0): the dialog after each step, compared with
// tests/reports/traces/PrintDialog.Pages.trace.
TEST(PrintDialog, PageSettersKeepTheRangeConsistent) {
  const char* const names[] = {"Min", "Max", "FromPage", "ToPage"};
  void (PrintDialog::*const setters[])(int) = {&PrintDialog::SetMin, &PrintDialog::SetMax,
                                               &PrintDialog::SetFromPage, &PrintDialog::SetToPage};
  const int steps[][2] = {{0, 1}, {1, 9},  {2, 4}, {3, 6},  {0, 3},
                          {3, 2}, {2, 12}, {1, 1}, {0, -5}, {3, -1}};  // setter, page
  PrintDialog d;
  std::string ranges;
  for (auto [setter, page] : steps) {
    (d.*setters[setter])(page);
    Note(&ranges, names[setter] + (" " + std::to_string(page)) + ": " + DescribePrintDialog(d));
  }
  ExpectFileHolds(LINTARO_SOURCE_DIR "/tests/reports/traces/PrintDialog.Pages.trace", ranges);
}

// Nothing to report: a notice, but not for a run that did not finish, whose
// report says so. Then with a finding: text viewed; HTML
// viewed; a cancelled format (it keeps the choice and drops the print
// request); text printed; HTML printed by the browser; HTML with a browser
// that neither prints nor opens, which prints the text report instead
// (without a browser the text report is shown: tests/ui); damaged results.
TEST_F(ReportTest, EachRequestReachesItsOutput) {
  f_.File("/in/a.txt");
  f_.Record(1, "RCA", "1");
  f_.Ended(std::nullopt);
  answer = FindReportFormat("text");
  RunReportRequest(f_.db(), settings_, prompts_, *this);
  f_.Ended(RunEnding::kCompleted);
  // The format chosen (none: cancelled), 1 when printing, 1 when the browser fails.
  for (auto [format, print, browser_fails] : {std::tuple{"text", 1, 0},
                                              {"text", 0, 0},
                                              {"html", 0, 0},
                                              {"", 1, 0},
                                              {"text", 1, 0},
                                              {"html", 1, 0},
                                              {"html", 1, 1}}) {
    answer = FindReportFormat(format);
    settings_.print_requested = print;
    shell_.print_succeeds = shell_.open_succeeds = !browser_fails;
    RunReportRequest(f_.db(), settings_, prompts_, *this);
    TraceSettings();
    if (f_.db().CountErrors() == 0) f_.Error(1, "r", "[u]", "m");
  }
  // Damaged results (a finding of a record not stored) are refused before
  // the format is asked for; the host tells why.
  f_.Error(9, "r", "[u]", "m");
  EXPECT_THROW(RunReportRequest(f_.db(), settings_, prompts_, *this), StoreError);
  ExpectTrace();
}

// No browser: a text report is offered (Cancel keeps HTML); for the empty
// report, the online services page, a notice. With a browser, a print the
// shell cannot hand over opens the browser; the empty report opens the online
// services page; a browser that does not start and a file that cannot be
// written (a folder in its place) are reported.
TEST_F(ReportTest, TheBrowserShowsOrPrintsTheReportAndFailuresAreReported) {
  shell_.browser.reset();
  prompts_.answers = {Answer::kCancel, Answer::kOk, Answer::kOk, Answer::kOk, Answer::kOk};
  OpenHtml("<!DOCTYPE HTML report", true);
  OpenHtml("<!DOCTYPE HTML report", true);
  OpenHtml("");
  shell_.browser = "/usr/bin/browser";
  shell_.print_succeeds = false;
  OpenHtml("<!DOCTYPE HTML report", true);
  OpenHtml("");
  shell_.open_succeeds = false;
  OpenHtml("");
  OpenHtml("<!DOCTYPE HTML report");
  std::filesystem::create_directory(f_.dir.path() / "sub");
  std::filesystem::create_directory(f_.dir.path() / "sub" / "temphtm.HTM");
  OpenHtml("<!DOCTYPE HTML report", false, f_.dir.str() + "/sub");
  ExpectTrace();
}

}  // namespace
}  // namespace lintaro::testing
