#include "reports/browser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "reports/html_report.h"
#include "support/fakes.h"
#include "support/report_fakes.h"

namespace lintaro::testing {
namespace {

class BrowserTest : public ::testing::Test {
 protected:
  bool Open(std::string& html, bool print = false) {
    BrowserRequest request{dir_.str(), "https://agency.test/welcome", print};
    return OpenInBrowser(prompts_, shell_, request, html);
  }
  std::string File() const { return (dir_.path() / "temphtm.HTM").string(); }
  std::string ReadHtmlFile() const {
    std::ifstream in(File(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  TempDir dir_;
  ScriptedPrompts prompts_;
  FakeShell shell_;
};

TEST_F(BrowserTest, ViewingOpensTheBrowserOnTheFileUrl) {
  std::string html = "<!DOCTYPE HTML report";
  EXPECT_TRUE(Open(html));
  EXPECT_EQ(ReadHtmlFile(), "<!DOCTYPE HTML report\r\n");
  EXPECT_EQ(shell_.looked_up, std::vector<std::string>{File()});
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0].first, "/usr/bin/browser");
  EXPECT_EQ(shell_.opened[0].second, PathToUrl(File()));
  EXPECT_TRUE(shell_.printed.empty());
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(BrowserTest, PrintingHandsTheFileToTheShellAndOpensNothingWhenThatWorks) {
  std::string html = "<!DOCTYPE HTML report";
  EXPECT_TRUE(Open(html, true));
  EXPECT_EQ(shell_.printed, std::vector<std::string>{File()});
  EXPECT_TRUE(shell_.opened.empty());

  // A print the shell cannot hand over opens the browser instead.
  shell_.print_succeeds = false;
  EXPECT_TRUE(Open(html, true));
  EXPECT_EQ(shell_.opened.size(), 1u);
  EXPECT_TRUE(prompts_.messages.empty());
}

TEST_F(BrowserTest, NoBrowserAsksForATextReportAndCancelKeepsHtml) {
  shell_.browser.reset();
  std::string html = "<!DOCTYPE HTML report";
  prompts_.answers = {Answer::kCancel, Answer::kOk};
  EXPECT_TRUE(Open(html, true));
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].title, "HTML Report");
  EXPECT_EQ(prompts_.messages[0].text,
            "Could not find a default Web Browser. \r\nWould you like to print a text report?");
  EXPECT_EQ(prompts_.messages[0].icon, Icon::kExclamation);
  EXPECT_FALSE(Open(html, true));
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(BrowserTest, EmptyTextOpensTheOnlineServicesPage) {
  std::string html;
  EXPECT_TRUE(Open(html));
  EXPECT_EQ(html, "<HTML> </HTML>");
  EXPECT_EQ(ReadHtmlFile(), "<HTML> </HTML>\r\n");
  ASSERT_EQ(shell_.opened.size(), 1u);
  EXPECT_EQ(shell_.opened[0].second, "https://agency.test/welcome");

  // Without a browser: a notice, no question.
  shell_.browser.reset();
  std::string again;
  EXPECT_TRUE(Open(again));
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].title, "Browser Not Found");
  EXPECT_EQ(prompts_.messages[0].text, "Could not find a default Web Browser. ");
  EXPECT_EQ(prompts_.messages[0].buttons, Buttons::kOk);
}

TEST_F(BrowserTest, BrowserThatDoesNotStartIsReported) {
  shell_.open_succeeds = false;
  std::string page;
  EXPECT_TRUE(Open(page));
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].title, "Connect to Fileport");
  EXPECT_EQ(prompts_.messages[0].text,
            "Your default browser could not be opened: \r\n/usr/bin/browser");

  std::string html = "<!DOCTYPE HTML report";
  prompts_.answers = {Answer::kOk};
  EXPECT_FALSE(Open(html));
  EXPECT_EQ(prompts_.messages[1].title, "HTML Report");
  EXPECT_EQ(prompts_.messages[1].text,
            "Your default browser could not be opened: \r\n/usr/bin/browser\r\n\r\n"
            "Would you like to view a text report?");
}

TEST_F(BrowserTest, ReportThatCannotBeWrittenIsNotHandedToTheBrowser) {
  // A folder in the file's place cannot be replaced.
  std::filesystem::create_directory(File());
  std::string html = "<!DOCTYPE HTML report";
  prompts_.answers = {Answer::kOk};
  EXPECT_FALSE(Open(html));
  EXPECT_TRUE(shell_.opened.empty());
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_NE(prompts_.messages[0].text.find("Would you like to view a text report?"),
            std::string::npos);
}

}  // namespace
}  // namespace lintaro::testing
