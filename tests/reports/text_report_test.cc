// The text report's layout is pinned by the golden cases (tests/golden,
// NAME.report); here the buffer it is built in, whose character count
// decides where a long report is cut into pieces.
#include "reports/text_report.h"

#include <gtest/gtest.h>

#include "reports/json_report.h"
#include "reports/report_content.h"
#include "support/results_fixture.h"

namespace lintaro {
namespace {

TEST(ReportBuffer, CountsCharactersNotBytes) {
  ReportBuffer b;
  b.Append("ab");
  b.Append("\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(b.chars, 4u);
  EXPECT_EQ(b.text.size(), 7u);
}

// A file name that is not UTF-8 (a name from another character set) shows
// with U+FFFD for each bad sequence, as in the HTML and JSON reports, so the
// text report stays UTF-8.
TEST(ReportHeader, AFileNameThatIsNotUtf8ShowsItsBadBytesAsReplacements) {
  testing::ResultsFixture results;
  results.File("/in/M\xFCller.txt", "12/06/2026\xFF").File("/in/b\xC3\xA9.txt");
  results.Record(1, "RCA", "1");
  results.Error(1, "r", "[u]", "m");
  const ReportHeader header = ReadReportHeader(results.db());
  EXPECT_EQ(header.paths,
            (std::vector<std::string>{"/in/M\xEF\xBF\xBDller.txt", "/in/b\xC3\xA9.txt"}));
  EXPECT_EQ(header.date, "12/06/2026\xEF\xBF\xBD");
  ReportBuffer text;
  BuildTextReport(results.db(), text);
  EXPECT_NE(text.text.find("Generated from: /in/M\xEF\xBF\xBDller.txt; /in/b\xC3\xA9.txt\r\n"),
            std::string::npos);
  EXPECT_EQ(text.text.find('\xFC'), std::string::npos);
  EXPECT_EQ(text.text.find('\xFF'), std::string::npos);
  ReportBuffer json;
  BuildJsonReport(results.db(), json);
  EXPECT_NE(json.text.find("/in/M\xEF\xBF\xBDller.txt"), std::string::npos);
}

}  // namespace
}  // namespace lintaro
