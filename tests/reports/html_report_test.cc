// The HTML report's markup is pinned by the golden cases (tests/golden,
// NAME.html); here what a run's findings cannot show: escaping of any
// character, the breaking of long entries and the report file.
#include "reports/html_report.h"

#include <gtest/gtest.h>

#include "reports/report_files.h"
#include "support/line_diff.h"
#include "support/report_fakes.h"
#include "support/results_fixture.h"

namespace lintaro::testing {
namespace {

const std::filesystem::path kTraces = LINTARO_SOURCE_DIR "/tests/reports/traces";

std::string HtmlOf(ResultsDb& db, int width = 57) {
  ReportBuffer out;
  EXPECT_TRUE(BuildHtmlReport(db, out, width));
  return out.text;
}

TEST(HtmlReport, InsertedValuesAreEscapedAndNonAsciiIsReferenced) {
  ResultsFixture f;
  f.File("/in/<r\xC3\xA9sum\xC3\xA9> & \"co\".txt", "12/06/2026");
  f.Record(1, "RCW", "12<4>&\"89");
  f.Error(1, "Name & <Address>", "[<script>alert(1)</script>]",
          "Caf\xE9 \x80 \"quoted\" a<b>c & d");
  const std::string html = HtmlOf(f.db());
  std::string tags;  // a line break after each tag
  for (char c : html) tags += c == '>' ? ">\n" : std::string(1, c);
  ExpectFileHolds(kTraces / "HtmlReport.Escaped.trace", tags);
  for (char c : html) ASSERT_LT(static_cast<unsigned char>(c), 0x80);  // plain ASCII

  std::string out;
  AppendHtmlCp1252(out, std::string("a\0b", 3));
  AppendHtmlCp1252(out, "\x9F\xFF\x81");
  AppendHtmlUtf8(out, "\xE2\x82\xAC x \xFF \xF0\x9F\x98\x80");
  EXPECT_EQ(out, "a&#65533;b&#376;&#255;&#129;&#8364; x &#65533; &#128512;");
}

// The width for a screen (halves round to even) and texts broken every
// width raw characters (the escapes do not move the break; a screen too
// narrow breaks nothing), compared with tests/reports/traces/PreText.trace.
TEST(HtmlReport, PreTextIsBrokenEveryWidthRawCharacters) {
  std::string broken;
  for (int pixels : {1024, 1025, 1015, 460})
    broken += std::to_string(pixels) + " pixels: " + std::to_string(PreTextWidth(pixels)) + "\n";
  for (auto [text, width] : std::vector<std::pair<std::string, int>>{
           {std::string(56, 'x'), 57},
           {std::string(56, 'a') + std::string(57, 'b') + "c", 57},
           {"", 57},
           {"abc", 1},
           {"abc", 0},
           {"abc", -3},
           {"<&>\"", 4},
           {"<&>", 4},
           {"\xE9\xE9\xE9\xE9", 2}})
    Note(&broken, std::to_string(width) + " [" + text + "] -> " + BreakPreText(text, width));
  ExpectFileHolds(kTraces / "PreText.trace", broken);
  // A user entry of exactly the width gets one break in the report.
  ResultsFixture f;
  f.File("a.txt");
  f.Record(1, "RCW", "1");
  f.Error(1, "r", "[" + std::string(55, '1') + "]", "m");
  EXPECT_NE(HtmlOf(f.db(), 57).find("<pre>[" + std::string(55, '1') + "</pre><pre>]</pre>"),
            std::string::npos);
}

// Each piece and what the file holds after it: a new document (longer
// than "<!DOCTYPE") replaces the file, other pieces are appended, and an
// empty one becomes the placeholder, in the caller's variable too; then
// file names as URLs (a relative or empty one has none).
TEST(HtmlReport, HtmlFilePiecesReplaceOrAppendAndHaveUrls) {
  TempDir dir;
  const std::string file = (dir.path() / "temphtm.HTM").string();
  std::string steps;
  for (std::string piece : {"<!DOCTYPE HTML one", "two", "<!DOCTYPE HTML three", "<!DOCTYPE", ""}) {
    EXPECT_EQ(WriteHtmlFile(dir.str(), piece), file);
    Note(&steps, piece + " -> " + ReadWholeFile(file));
  }
  for (const char* path :
       {"/opt/lintaro/temphtm.HTM", "/my dir/r\xC3\xA9#1%.htm", "", "relative/x.htm"})
    Note(&steps, std::string("url of ") + path + " -> " + PathToUrl(path));
  ExpectFileHolds(kTraces / "HtmlFilePieces.trace", steps);
  EXPECT_EQ(std::filesystem::status(file).permissions(), kOwnerReadWrite);

  // A link in the file's place is refused.
  TempDir other;
  const std::string target = other.Write("elsewhere.txt", "keep");
  std::filesystem::create_symlink(target, other.path() / "temphtm.HTM");
  std::string piece = "appended piece";
  EXPECT_THROW(WriteHtmlFile(other.str(), piece), ReportFileError);
  EXPECT_EQ(ReadWholeFile(target), "keep");
}

}  // namespace
}  // namespace lintaro::testing
