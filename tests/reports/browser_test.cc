#include "reports/browser.h"

#include <gtest/gtest.h>

#include "reports/html_report.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/report_fakes.h"

namespace lintaro::testing {
namespace {

class BrowserTest : public ::testing::Test {
 protected:
  bool Open(std::string html, bool print = false) {
    BrowserRequest request{dir_.str(), "https://agency.test/welcome", print};
    last_html_ = html;
    return OpenInBrowser(prompts_, shell_, request, last_html_);
  }
  std::string File() const { return (dir_.path() / "temphtm.HTM").string(); }
  std::string LastMessage() const {
    return prompts_.messages.back().title + ": " + prompts_.messages.back().text;
  }

  TempDir dir_;
  ScriptedPrompts prompts_;
  FakeShell shell_;
  std::string last_html_;
};

TEST_F(BrowserTest, ViewingOpensTheFileUrlAndPrintingHandsTheFileToTheShell) {
  EXPECT_TRUE(Open("<!DOCTYPE HTML report"));
  EXPECT_EQ(ReadWholeFile(File()), "<!DOCTYPE HTML report\r\n");
  EXPECT_EQ(shell_.looked_up, std::vector<std::string>{File()});
  EXPECT_EQ(
      shell_.opened,
      (std::vector<std::pair<std::string, std::string>>{{"/usr/bin/browser", PathToUrl(File())}}));
  EXPECT_TRUE(Open("<!DOCTYPE HTML report", true));
  EXPECT_EQ(shell_.printed, std::vector<std::string>{File()});
  EXPECT_EQ(shell_.opened.size(), 1u);
  shell_.print_succeeds = false;  // a print the shell cannot hand over opens the browser
  EXPECT_TRUE(Open("<!DOCTYPE HTML report", true));
  EXPECT_EQ(shell_.opened.size(), 2u);
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(BrowserTest, NoBrowserAsksForATextReportAndCancelKeepsHtml) {
  shell_.browser.reset();
  prompts_.answers = {Answer::kCancel, Answer::kOk};
  EXPECT_TRUE(Open("<!DOCTYPE HTML report", true));
  EXPECT_EQ(LastMessage(),
            "HTML Report: Could not find a default Web Browser. \r\nWould you like to print a text "
            "report?");
  EXPECT_EQ(prompts_.messages[0].icon, Icon::kExclamation);
  EXPECT_FALSE(Open("<!DOCTYPE HTML report", true));
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(BrowserTest, EmptyTextOpensTheOnlineServicesPage) {
  EXPECT_TRUE(Open(""));
  EXPECT_EQ(last_html_, "<HTML> </HTML>");
  EXPECT_EQ(ReadWholeFile(File()), "<HTML> </HTML>\r\n");
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0].second, "https://agency.test/welcome");
  shell_.browser.reset();  // without a browser: a notice, no question
  EXPECT_TRUE(Open(""));
  EXPECT_EQ(LastMessage(), "Browser Not Found: Could not find a default Web Browser. ");
  EXPECT_EQ(prompts_.messages[0].buttons, Buttons::kOk);
}

TEST_F(BrowserTest, BrowserThatDoesNotStartOrFileThatCannotBeWrittenIsReported) {
  shell_.open_succeeds = false;
  EXPECT_TRUE(Open(""));
  EXPECT_EQ(LastMessage(),
            "Connect to Fileport: Your default browser could not be opened: \r\n/usr/bin/browser");
  prompts_.answers = {Answer::kOk};
  EXPECT_FALSE(Open("<!DOCTYPE HTML report"));
  EXPECT_EQ(LastMessage(),
            "HTML Report: Your default browser could not be opened: \r\n"
            "/usr/bin/browser\r\n\r\nWould you like to view a text report?");
  // A folder in the file's place: nothing is handed to the browser.
  TempDir other;
  std::filesystem::create_directory(other.path() / "temphtm.HTM");
  std::string html = "<!DOCTYPE HTML report";
  prompts_.answers = {Answer::kOk};
  EXPECT_FALSE(OpenInBrowser(prompts_, shell_, {other.str(), "", false}, html));
  EXPECT_EQ(shell_.opened.size(), 2u);
  EXPECT_NE(LastMessage().find("Would you like to view a text report?"), std::string::npos);
}

}  // namespace
}  // namespace lintaro::testing
