// Handing the HTML report to the browser: each scenario's shell calls and
// message boxes, what OpenInBrowser returned and what the report file and
// the caller's text hold are compared with tests/reports/traces.
#include "reports/browser.h"

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/report_fakes.h"

namespace lintaro::testing {
namespace {

class BrowserTest : public ::testing::Test {
 protected:
  // Hands html to the browser from folder (else dir_) and traces the outcome.
  BrowserTest() { prompts_.trace = shell_.trace = &trace_; }
  void Open(std::string html, bool print = false, std::string folder = "") {
    if (folder.empty()) folder = dir_.str();
    BrowserRequest request{folder, "https://agency.test/welcome", print};
    const bool shown = OpenInBrowser(prompts_, shell_, request, html);
    const std::string file = folder + "/temphtm.HTM";
    Note(&trace_,
         std::string(shown ? "shown" : "not shown") + "; html [" + html + "]; file " +
             (std::filesystem::is_regular_file(file) ? "[" + ReadWholeFile(file) + "]" : "none"));
  }
  void TearDown() override {
    ExpectTraceHeld(trace_, dir_.str(), LINTARO_SOURCE_DIR "/tests/reports/traces");
  }

  TempDir dir_;
  std::string trace_;
  TracedPrompts prompts_;
  FakeShell shell_;
};

// No browser: a text report is offered (Cancel keeps HTML); for the empty
// report, the online services page, a notice.
TEST_F(BrowserTest, NoBrowserAsksForATextReportOrGivesANotice) {
  shell_.browser.reset();
  prompts_.answers = {Answer::kCancel, Answer::kOk};
  Open("<!DOCTYPE HTML report", true);
  Open("<!DOCTYPE HTML report", true);
  Open("");
}

// A print the shell cannot hand over opens the browser; the empty report
// opens the online services page; a browser that does not start and a file
// that cannot be written (a folder in its place) are reported.
TEST_F(BrowserTest, EmptyTextOpensTheOnlineServicesPageAndFailuresAreReported) {
  shell_.print_succeeds = false;
  Open("<!DOCTYPE HTML report", true);
  Open("");
  shell_.open_succeeds = false;
  Open("");
  prompts_.answers = {Answer::kOk, Answer::kOk};
  Open("<!DOCTYPE HTML report");
  std::filesystem::create_directory(dir_.path() / "sub");
  std::filesystem::create_directory(dir_.path() / "sub" / "temphtm.HTM");
  Open("<!DOCTYPE HTML report", false, dir_.str() + "/sub");
}

}  // namespace
}  // namespace lintaro::testing
