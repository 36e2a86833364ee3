// The golden cases: every recipe under tests/golden (NAME.recipe, see
// support/recipe.h) is made into submission files and tested by a whole test
// run in a temporary program folder. What the run stored and showed is
// written as a transcript and compared with NAME.expected beside the recipe.
// When NAME.report exists, the text error report is compared with it too, when
// NAME.html exists the HTML report (a line break added after each ">"), when
// NAME.printed exists what the printed report draws on a printer of fixed
// metrics (support/report_fakes.h), and when NAME.viewer exists every stored
// record as the record viewer shows it.
// LINTARO_UPDATE_GOLDEN=1 rewrites those files instead of comparing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "core/error_limit.h"
#include "reports/html_report.h"
#include "reports/printed_report.h"
#include "reports/text_report.h"
#include "support/cli_runner.h"
#include "support/recipe.h"
#include "support/report_fakes.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;
namespace fs = std::filesystem;

const char* kLegend =
    "# Written by the golden test from the recipe beside it (LINTARO_UPDATE_GOLDEN=1).\n"
    "# record NUMBER ID, then what is stored with it: ref (RecReference), employer (RCE_Indx),\n"
    "# errors (its count), marks (the viewer's fields in error), stored (positions stored\n"
    "# otherwise than submitted); then its findings: NUMBER, type, reference, user entry and\n"
    "# message, tab-separated; last the message boxes shown: box, title, icon and buttons, text.\n";

std::vector<fs::path> Recipes() {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(LINTARO_SOURCE_DIR) /
                                                            "tests" / "golden"))
    if (entry.path().extension() == ".recipe") found.push_back(entry.path());
  std::sort(found.begin(), found.end());
  return found;
}

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

std::string FindingLine(const ErrorRow& e) {
  return std::to_string(e.rec_num) + "\t" + e.type + "\t" + Escape(e.reference) + "\t" +
         Escape(e.user_entry) + "\t" + Escape(e.error) + "\n";
}

std::string BoxLine(const ShownMessage& m) {
  static const char* const kIcons[] = {"none", "information", "exclamation", "critical",
                                       "question"};
  static const char* const kButtons[] = {"ok", "yes-no", "ok-cancel"};
  return "box\t" + m.title + "\t" + kIcons[static_cast<int>(m.icon)] + " " +
         kButtons[static_cast<int>(m.buttons)] + "\t" + Escape(m.text) + "\n";
}

// Every page the printed report draws: its texts (x and y in inches, the
// point size, "b" for bold) and boxes, in drawing order.
std::string PrintedPages(ResultsDb& db) {
  FakePrinter printer;
  PrintState state;
  state.first_page = 1;
  state.last_page = 1000;
  PrintedReport(printer, "Courier", 10, state).Print(db);
  std::string out;
  char place[64];
  for (size_t i = 0; i < printer.pages.size(); ++i) {
    out += "page " + std::to_string(i + 1) + "\n";
    for (const FakePrinter::Text& t : printer.pages[i].texts) {
      std::snprintf(place, sizeof place, "%.4f %.4f %d%s\t", t.x, t.y, t.size, t.bold ? "b" : "");
      out += place + t.text + "\n";
    }
    for (const FakePrinter::Rect& r : printer.pages[i].rects) {
      std::snprintf(place, sizeof place, "box %.4f %.4f %.4f %.4f\n", r.left, r.top, r.right,
                    r.bottom);
      out += place;
    }
  }
  return out;
}

// A report's text with LF for each CR LF, and any other CR or LF written as
// \r or \n, so that a line break of the wrong kind shows.
std::string LineBreaks(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 2) == "\r\n") {
      out += '\n';
      ++i;
    } else if (text[i] == '\r' || text[i] == '\n') {
      out += text[i] == '\r' ? "\\r" : "\\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

struct Outcome {
  std::string transcript;
  // The text and HTML reports with their line breaks as LineBreaks writes
  // them; the HTML one broken after each ">".
  std::string report, html;
  std::string printed;  // as PrintedPages writes it
  std::string viewer;  // each stored record as the viewer shows it
};

// The caption and the rows of a record the viewer has shown.
std::string ViewerText(const RecordViewer& viewer) {
  std::string text = viewer.caption() + "\n";
  for (size_t i = 0; i < viewer.rows().size(); ++i)
    text += ViewerRowLine(static_cast<int>(i), viewer.rows()[i]) + "\n";
  return text;
}

Outcome RunSubmission(const Submission& s) {
  TempDir home;
  ScriptedPrompts prompts;
  for (size_t i = 0; i < s.files.size(); ++i) {
    const std::string name =
        s.files.size() == 1 ? "submission.txt" : "part" + std::to_string(i + 1) + ".txt";
    prompts.files.push_back(home.Write(name, s.files[i]));
  }
  FixedClock clock(s.today);
  RecordingView view;
  RunState state;
  TestRunOptions options;
  options.program_folder = home.str();
  options.max_errors = s.max_errors;
  TestRun(state, prompts, clock, view, options).ReadFile();

  Outcome out;
  auto db = ResultsDb::Open(JoinPath(home.str(), kResultsFileName), false);
  // The reports name the files in FOLDER, whatever the temporary folder is.
  const std::string rename =
      "UPDATE MISC SET Path = 'FOLDER' || substr(Path, " + std::to_string(home.str().size() + 1) +
      ")";
  EXPECT_EQ(sqlite3_exec(db->handle(), rename.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  RunOutput stored;
  ReadBack(*db, stored);
  RecordViewer viewer(*db);
  for (const RecordRow& r : stored.records) {
    std::vector<int> marks;
    if (viewer.ViewFile(r.rec_num) == ViewResult::kShown) {
      marks = viewer.MarkedRows();
      out.viewer += ViewerText(viewer);
    }
    const size_t index = static_cast<size_t>(r.rec_num - 1);
    out.transcript += RecordLine(r, marks, index < s.records.size() ? &s.records[index] : nullptr);
    for (const ErrorRow& e : stored.errors)
      if (e.rec_num == r.rec_num) out.transcript += FindingLine(e);
  }
  for (const ShownMessage& m : prompts.messages) out.transcript += BoxLine(m);

  ReportBuffer text, html;
  BuildTextReport(*db, text);
  BuildHtmlReport(*db, html, 57);
  out.report = LineBreaks(text.text);
  out.printed = PrintedPages(*db);
  for (const char c : LineBreaks(html.text)) out.html += c == '>' ? ">\n" : std::string(1, c);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

// The changed lines, "-" expected and "+" actual, with two lines of
// context around each change.
std::string Diff(const std::string& expected, const std::string& actual) {
  const std::vector<std::string> a = Lines(expected), b = Lines(actual);
  // common[i][j]: the longest common run of lines of a[i..] and b[j..].
  std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1));
  for (size_t i = a.size(); i-- > 0;)
    for (size_t j = b.size(); j-- > 0;)
      common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1
                                  : std::max(common[i + 1][j], common[i][j + 1]);
  std::vector<std::pair<char, std::string>> ops;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      ops.push_back({' ', a[i++]});
      ++j;
    } else if (i < a.size() && (j == b.size() || common[i + 1][j] >= common[i][j + 1])) {
      ops.push_back({'-', a[i++]});
    } else {
      ops.push_back({'+', b[j++]});
    }
  }
  std::string out;
  for (size_t k = 0; k < ops.size(); ++k) {
    bool near = false;
    for (size_t d = k >= 2 ? k - 2 : 0; d <= k + 2 && d < ops.size(); ++d) near |= ops[d].first != ' ';
    if (near) out += std::string(1, ops[k].first) + " " + ops[k].second + "\n";
    else if (!out.ends_with("...\n")) out += "...\n";
  }
  return out;
}

void Compare(const fs::path& file, const std::string& actual) {
  const char* update = std::getenv("LINTARO_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(file, std::ios::binary) << actual;
    std::cout << "rewrote " << file.string() << "\n";
    return;
  }
  if (!fs::exists(file)) {
    ADD_FAILURE() << file.string() << " is missing; LINTARO_UPDATE_GOLDEN=1 writes it";
    return;
  }
  const std::string expected = ReadWholeFile(file.string());
  if (expected != actual) {
    ADD_FAILURE() << file.string() << " differs (- expected, + actual; after checking the "
                  << "change, LINTARO_UPDATE_GOLDEN=1 rewrites it):\n"
                  << Diff(expected, actual);
  }
}

// One golden case: a recipe and the files expected of it.
class GoldenCase : public ::testing::Test {
 public:
  explicit GoldenCase(fs::path recipe) : recipe_(std::move(recipe)) {}

  void TestBody() override {
    std::vector<Submission> submissions;
    try {
      submissions = ReadRecipe(ReadWholeFile(recipe_.string()));
    } catch (const std::invalid_argument& e) {
      FAIL() << recipe_.string() << ": " << e.what();
    }
    Outcome all{kLegend, "", "", "", ""};
    for (const Submission& s : submissions) {
      const std::string title = s.title.empty() ? "" : "== " + s.title + "\n";
      const Outcome outcome = RunSubmission(s);
      all.transcript += title + outcome.transcript;
      all.report += title + outcome.report;
      all.html += title + outcome.html;
      all.printed += title + outcome.printed;
      all.viewer += title + outcome.viewer;
    }
    fs::path file = recipe_;
    Compare(file.replace_extension(".expected"), all.transcript);
    if (fs::exists(file.replace_extension(".report"))) Compare(file, all.report);
    if (fs::exists(file.replace_extension(".html"))) Compare(file, all.html);
    if (fs::exists(file.replace_extension(".printed"))) Compare(file, all.printed);
    if (fs::exists(file.replace_extension(".viewer"))) Compare(file, all.viewer);
  }

 private:
  fs::path recipe_;
};

// "folder_name" for the recipe folder/name.recipe.
std::string CaseName(const fs::path& recipe) {
  std::string name = fs::relative(recipe, fs::path(LINTARO_SOURCE_DIR) / "tests" / "golden")
                         .replace_extension()
                         .string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

// Each recipe is a test of its own, Golden.folder_name.
const bool kRegistered = [] {
  for (const fs::path& recipe : Recipes()) {
    ::testing::RegisterTest("Golden", CaseName(recipe).c_str(), nullptr, nullptr, __FILE__,
                            __LINE__, [recipe]() -> ::testing::Test* {
                              return new GoldenCase(recipe);
                            });
  }
  return true;
}();

// Expected files hold texts in the escaped notation: every byte must come
// back, and a recipe's mistake must name its line.
TEST(RecipeNotation, EscapesRoundTripAndMistakesNameTheirLine) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& text : {all, std::string(9, ' ') + "a  b " + std::string(7, ' ')})
    EXPECT_EQ(Unescape(Escape(text)), text);
  EXPECT_EQ(Escape("[AB\tC" + std::string(8, ' ') + "D \\ ]"), "[AB\\tC\\s{8}D \\\\ ]");
  try {
    ReadRecipe("RCA\nRCE 4=2006\nRCW 2000=X\n");
    ADD_FAILURE() << "a position outside the record was accepted";
  } catch (const std::invalid_argument& e) {
    EXPECT_EQ(std::string(e.what()), "line 3: outside the record: 2000=X");
  }
}

}  // namespace
}  // namespace lintaro
