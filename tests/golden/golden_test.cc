// The golden cases: every recipe under tests/golden (NAME.recipe, see
// support/recipe.h) is made into submission files and tested by a whole test
// run in a temporary program folder. What the run left is compared with the
// files beside the recipe:
// - NAME.expected (always): the stored records, each with its findings, and
//   the message boxes shown, as kLegend says.
// - NAME.report, NAME.html (when they exist): the text and HTML reports, CR LF
//   written as a line break and any other CR or LF as \r or \n; the HTML one
//   also broken after each ">". The files are named FOLDER/submission.txt
//   (FOLDER/part1.txt, ... for several).
// - NAME.printed: what the printed report draws on FakePrinter
//   (support/report_fakes.h): per page, each text with x and y in inches, its
//   size and "b" when bold, then the boxes.
// - NAME.viewer: each stored record: the viewer's caption, then a line per row.
// LINTARO_UPDATE_GOLDEN=1 rewrites the files that differ instead of failing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <regex>
#include <stdexcept>

#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "reports/html_report.h"
#include "reports/text_report.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"
#include "support/recipe.h"
#include "support/report_fakes.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;
namespace fs = std::filesystem;

// What a run left, by the extension of the golden file that holds it.
using GoldenRun = std::map<std::string, std::string>;

// "stored=FIRST-LAST:TEXT,..." for each run of positions whose stored
// character differs from the one submitted.
std::string StoredChanges(const std::string& submitted, const std::string& stored) {
  std::string out;
  const auto differs = [&](size_t i) { return i >= submitted.size() || submitted[i] != stored[i]; };
  for (size_t i = 0; i < stored.size(); ++i) {
    if (!differs(i)) continue;
    size_t end = i;
    while (end < stored.size() && differs(end)) ++end;
    out += (out.empty() ? " stored=" : ",") + std::to_string(i + 1) + "-" + std::to_string(end) +
           ":" + Escape(stored.substr(i, end - i));
    i = end;
  }
  return out;
}

std::string RecordLine(const RecordRow& r, const std::vector<int>& marks,
                       const RecipeRecord* submitted) {
  std::string line = "record " + std::to_string(r.rec_num) + " " + Escape(r.id);
  if (!r.rec_reference.empty()) line += " ref=" + Escape(r.rec_reference);
  if (r.rce_indx != 0) line += " employer=" + std::to_string(r.rce_indx);
  if (r.errors != 0) line += " errors=" + std::to_string(r.errors);
  for (size_t i = 0; i < marks.size(); ++i)
    line += (i == 0 ? " marks=" : ",") + std::to_string(marks[i]);
  if (submitted != nullptr) {
    line += StoredChanges(submitted->text, r.record);
    if (!submitted->comment.empty()) line += "  # " + submitted->comment;
  }
  return line + "\n";
}

// Every page the printed report draws: its texts (x and y in inches, the
// point size, "b" for bold) and boxes, in drawing order.
std::string PrintedPages(ResultsDb& db) {
  const FakePrinter printer = PrintPages(db, 1, 1000);
  std::string out;
  for (size_t i = 0; i < printer.pages.size(); ++i)
    out += "page " + std::to_string(i + 1) + "\n" + FakePrinter::Describe(printer.pages[i]);
  return out;
}

// A report's text with LF for each CR LF, and any other CR or LF written as
// \r or \n, so that a line break of the wrong kind shows.
std::string LineBreaks(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool crlf = text.substr(i, 2) == "\r\n",
               lone = !crlf && (text[i] == '\r' || text[i] == '\n');
    out += crlf ? "\n" : lone ? Escape(text.substr(i, 1)) : std::string(1, text[i]);
    i += crlf ? 1 : 0;
  }
  return out;
}

// Tests the submission in a fresh program folder, as lintaro-cli check does,
// and reads back what the run left, by the extension of the file that holds it.
GoldenRun RunGolden(const Submission& s) {
  ScriptedPrompts prompts;
  const RunOutput stored = RunFiles(s.files, s.max_errors, prompts, s.today);
  std::string transcript, shown;
  auto db = ResultsDb::Open(stored.db_path(), false);
  // The reports name the files in FOLDER, whatever the temporary folder is.
  const std::string rename = "UPDATE MISC SET Path = 'FOLDER' || substr(Path, " +
                             std::to_string(stored.dir->str().size() + 1) + ")";
  if (sqlite3_exec(db->handle(), rename.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    throw std::runtime_error("cannot rename the submission files in the results");
  RecordViewer viewer(*db);
  for (const RecordRow& r : stored.records) {
    std::vector<int> marks;
    if (viewer.ViewFile(r.rec_num) == ViewResult::kShown) {
      marks = viewer.MarkedRows();
      shown += viewer.caption() + "\n";
      for (size_t i = 0; i < viewer.rows().size(); ++i)
        shown += ViewerRowLine(static_cast<int>(i), viewer.rows()[i]) + "\n";
    }
    const size_t index = static_cast<size_t>(r.rec_num - 1);
    transcript += RecordLine(r, marks, index < s.records.size() ? &s.records[index] : nullptr);
    for (const ErrorRow& e : stored.errors) {
      if (e.rec_num != r.rec_num) continue;
      transcript += std::to_string(e.rec_num) + "\t" + e.type + "\t" + Escape(e.reference) + "\t" +
                    Escape(e.user_entry) + "\t" + Escape(e.error) + "\n";
    }
  }
  for (const ShownMessage& m : prompts.messages) transcript += "box: " + Escape(Describe(m)) + "\n";

  ReportBuffer text, html;
  BuildTextReport(*db, text);
  BuildHtmlReport(*db, html, 57);
  return {{".expected", transcript},
          {".report", LineBreaks(text.text)},
          {".html", std::regex_replace(LineBreaks(html.text), std::regex(">"), ">\n")},
          {".printed", PrintedPages(*db)},
          {".viewer", shown}};
}

const char* kLegend =
    "# Written by the golden test from the recipe beside it (LINTARO_UPDATE_GOLDEN=1).\n"
    "# record NUMBER ID, then what is stored with it: ref (RecReference), employer (RCE_Indx),\n"
    "# errors (its count), marks (the viewer's fields in error), stored (positions stored\n"
    "# otherwise than submitted); then its findings: NUMBER, type, reference, user entry and\n"
    "# message, tab-separated; last the message boxes shown: box: title | icon buttons | text.\n";

// One golden case: a recipe and the files expected of it.
class GoldenCase : public ::testing::Test {
 public:
  explicit GoldenCase(fs::path recipe) : recipe_(std::move(recipe)) {}

  void TestBody() override {
    GoldenRun all = {{".expected", kLegend}};
    // A mistake in the recipe fails the test with the line it is on.
    for (const Submission& s : ReadRecipe(ReadWholeFile(recipe_.string()))) {
      const std::string title = s.title.empty() ? "" : "== " + s.title + "\n";
      for (const auto& [extension, text] : RunGolden(s)) all[extension] += title + text;
    }
    // The transcript is always compared; the other files where they exist.
    for (const auto& [extension, text] : all) {
      const fs::path file = fs::path(recipe_).replace_extension(extension);
      if (extension == ".expected" || fs::exists(file)) ExpectFileHolds(file, text);
    }
  }

 private:
  fs::path recipe_;
};

// Each recipe is a test of its own, Golden.folder_name.
const bool kRegistered = RegisterFileTests(
    "Golden", fs::path(LINTARO_SOURCE_DIR) / "tests/golden", ".recipe",
    [](const fs::path& recipe) -> ::testing::Test* { return new GoldenCase(recipe); });

// Expected files hold texts in the escaped notation: every byte must come
// back.
TEST(RecipeNotation, EscapesRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& text : {all, std::string(9, ' ') + "a  b " + std::string(7, ' ')})
    EXPECT_EQ(Unescape(Escape(text)), text);
  EXPECT_EQ(Escape("[AB\tC" + std::string(8, ' ') + "D \\ ]"), "[AB\\tC\\s{8}D \\\\ ]");
}

}  // namespace
}  // namespace lintaro
