#include "browse/result_grids.h"

#include <gtest/gtest.h>

#include "browse/grid_results.h"
#include "browse/record_viewer.h"
#include "browse/window_texts.h"
#include "core/error_limit.h"
#include "core/version.h"
#include "os/path.h"
#include "store/results_db.h"
#include "support/fakes.h"
#include "support/line_diff.h"
#include "support/recipe.h"
#include "support/results_fixture.h"

namespace lintaro {
namespace {

// The labels, captions and the stopping sentence the window shows are in its
// state files (tests/ui/states); here the texts they do not reach, compared
// with tests/browse/window_texts.trace: Go to Record's prompt and refusals
// (a record without errors, none of that number), fixed texts, line feeds
// for CR LF, and both views naming the tested file alike, a backslash being
// part of its name.
TEST(ResultGridTexts, CaptionsPromptsAndFixedTexts) {
  std::string texts;
  for (const std::string& text :
       {GoToRecordPrompt(282624), GoToRecordRefusal(40, 40, true), GoToRecordRefusal(0, 40, true),
        GoToRecordRefusal(41, 40, true), DisclaimerText().substr(0, 26),
        ToolTipOf(Command::cmdGrid), std::string(CommandCaption(Command::mnuVRecords)),
        AboutNameText(), ToLineFeeds("a\r\nb\rc\n"), GridViewCaption("/data/pay\\roll.txt"),
        ViewerCaption(3, 14, "/data/pay\\roll.txt")})
    texts += testing::Escape(text) + "\n";
  testing::ExpectFileHolds(LINTARO_SOURCE_DIR "/tests/browse/window_texts.trace", texts);
  // The about box shows the numbers of the one version the programs print.
  EXPECT_EQ(std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                std::to_string(kVersionRevision),
            kLintaroVersion);
  EXPECT_EQ(AboutVersionText().substr(0, 24),
            "Major version number:  " + std::to_string(kVersionMajor));
}

// What the window and the grid view read when there are no results, no
// records or a file that is no results database (what they show of real
// results is in tests/ui/states).
TEST(LastResults, NoFileNoRecordsAndAFileThatIsNoDatabase) {
  testing::TempDir dir;
  const std::string path = JoinPath(dir.str(), kResultsFileName);
  EXPECT_EQ(GridResults::Open(path), nullptr);
  {
    auto db = ResultsDb::Create(path);
    db->InsertMisc("/data/part1.txt", "12/06/2026");
    db->InsertMisc("/data/part2.txt", "12/06/2026");
  }
  LastResults r = InspectLastResults(dir.str());
  EXPECT_EQ(r.kind, LastResults::kNoRecords);
  EXPECT_EQ(r.paths, (std::vector<std::string>{"/data/part1.txt", "/data/part2.txt"}));
  std::filesystem::remove(path);
  dir.Write(kResultsFileName, "not a database at all, just text");
  r = InspectLastResults(dir.str());
  EXPECT_EQ(r.kind, LastResults::kCannotOpen);
  EXPECT_FALSE(r.problem.empty());

  std::unique_ptr<GridResults> results = GridResults::Open(path);  // the grids may open it
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->CountErrors(), 0);
  EXPECT_EQ(results->CountTested(), 0);
  EXPECT_EQ(results->LastTestedPath(), "");
  EXPECT_EQ(results->CritErrorText(), "");
  EXPECT_TRUE(results->FindingsOf(1).empty());

  // A finding of a record the results do not hold: damaged, not "errors".
  std::filesystem::remove(path);
  {
    testing::ResultsFixture damaged(dir.path());
    damaged.File("/data/part1.txt").Record(1, "RCW");
    damaged.Error(2, "r", "[u]", "m");
  }
  r = InspectLastResults(dir.str());
  EXPECT_EQ(r.kind, LastResults::kCannotOpen);
  EXPECT_NE(r.problem.find("damaged: 1 finding(s)"), std::string::npos) << r.problem;
  results = GridResults::Open(path);
  EXPECT_EQ(results->CritErrorText(), "");
  EXPECT_NE(results->problem().find("damaged"), std::string::npos);
}

}  // namespace
}  // namespace lintaro
