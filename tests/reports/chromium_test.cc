// Renders an HTML report in headless Chromium and checks what a user sees.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "reports/html_report.h"
#include "reports/report_fixture.h"

namespace lintaro::testing {
namespace {

constexpr const char* kChromium = "/usr/bin/chromium";

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

// The document as the browser holds it after loading (scripts run).
std::string DumpDom(const std::string& url, const TempDir& profile) {
  const std::string command =
      std::string("timeout 120 ") + kChromium +
      " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
      " --disable-background-networking --disable-component-update --disable-sync"
      " --user-data-dir='" +
      (profile.path() / "profile").string() + "' --dump-dom '" + url + "' 2>/dev/null";
  std::string out;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

TEST(BrowserRendering, ReportShowsTitleCountsRowsAndTheSubmissionsCharacters) {
  if (!std::filesystem::exists(kChromium))
    GTEST_SKIP() << "Chromium is not installed at " << kChromium
                 << " (Debian package chromium); the rendering test needs it";
  ResultsFixture f;
  const TempDir& dir = f.dir;
  f.File((dir.path() / "caf\xC3\xA9.txt").string());
  f.Record(2, "RCE", "987654321");
  f.Record(5, "RCW", "123456789");
  f.RecordsUpTo(40);
  f.Error(2, "Employer Name [Position 40 - 96]", "[CAF\xC9 & CO]",
          "Name \"quoted\" <b>not bold</b>");
  f.Error(5, "<script>document.title='pwned'</script>", "[JOS\xC9]", "Accented \xE9 here");
  f.Error(5, "Employee SSN [Position 4 - 12]", "[" + std::string(70, '7') + "]", "Too long.");

  ReportBuffer html;
  ASSERT_TRUE(BuildHtmlReport(f.db(), html, PreTextWidth(1024)));
  const std::string file = WriteHtmlFile(dir.str(), html.text);
  const std::string dom = DumpDom(PathToUrl(file), dir);
  ASSERT_FALSE(dom.empty()) << "Chromium gave no document";

  EXPECT_NE(dom.find("<title>Lintaro Error Report</title>"), std::string::npos) << dom;
  EXPECT_EQ(dom.find("<title>pwned"), std::string::npos) << "the submission's script ran";
  EXPECT_NE(dom.find("&lt;script&gt;document.title='pwned'&lt;/script&gt;"), std::string::npos);
  EXPECT_EQ(Count(dom, "<script"), 0u);
  EXPECT_NE(dom.find("<h1>LINTARO TAX YEAR 2007 ERROR REPORT</h1>"), std::string::npos);
  // The counts table.
  EXPECT_NE(dom.find(">40</td><td>Record(s) tested</td>"), std::string::npos);
  EXPECT_NE(dom.find(">2</td><td>Record(s) with Error(s)</td>"), std::string::npos);
  EXPECT_NE(dom.find(">3</td><td>Error(s) found</td>"), std::string::npos);
  // One row per error and one heading per record.
  EXPECT_EQ(Count(dom, "<td align=\"center\" valign=\"center\">"), 3u);
  EXPECT_EQ(Count(dom, "<b>Record number: "), 2u);
  // Code page 1252 characters arrive as themselves (the dump is UTF-8).
  EXPECT_NE(dom.find("[JOS\xC3\x89]"), std::string::npos);
  EXPECT_NE(dom.find("Accented \xC3\xA9 here"), std::string::npos);
  EXPECT_NE(dom.find("[CAF\xC3\x89 &amp; CO]"), std::string::npos);
  EXPECT_NE(dom.find("caf\xC3\xA9.txt"), std::string::npos);
  EXPECT_NE(dom.find("Name \"quoted\" &lt;b&gt;not bold&lt;/b&gt;"), std::string::npos);
  // The long user entry is broken into two preformatted pieces.
  EXPECT_NE(
      dom.find("<pre>[" + std::string(55, '7') + "</pre><pre>" + std::string(15, '7') + "]</pre>"),
      std::string::npos);
}

}  // namespace
}  // namespace lintaro::testing
