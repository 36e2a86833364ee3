// The golden cases: every recipe under tests/golden (NAME.recipe, see
// support/recipe.h) is made into submission files and tested by a whole test
// run in a temporary program folder. What the run stored and showed is
// written as a transcript and compared with NAME.expected beside the recipe.
// When NAME.report exists, the text error report is compared with it too, when
// NAME.html exists the HTML report (a line break added after each ">"), when
// NAME.printed exists what the printed report draws on a printer of fixed
// metrics (support/report_fakes.h), and when NAME.viewer exists every stored
// record as the record viewer shows it (support/golden_run.h).
// LINTARO_UPDATE_GOLDEN=1 rewrites the files that differ instead of failing.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_runner.h"
#include "support/golden_run.h"
#include "support/line_diff.h"
#include "support/recipe.h"

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
    GoldenRun all = {{".expected", kLegend}};
    for (const Submission& s : submissions) {
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
