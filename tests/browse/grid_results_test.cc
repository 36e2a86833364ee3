// What the grid view reads besides the record grids' rows. Its texts in the
// window are the window tests'; here the results it is given: none, a file
// that is no results database, and findings with bytes beyond ASCII.
#include "browse/grid_results.h"

#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "store/results_db.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::TempDir;

TEST(GridResults, NoFileIsNotBoundAndAForeignFileHasNoRows) {
  TempDir dir;
  const std::string path = JoinPath(dir.str(), kResultsFileName);
  EXPECT_EQ(GridResults::Open(path), nullptr);

  dir.Write(kResultsFileName, "not a database, but a file the grids may open");
  std::unique_ptr<GridResults> results = GridResults::Open(path);
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->CountErrors(), 0);
  EXPECT_EQ(results->CountTested(), 0);
  EXPECT_EQ(results->LastTestedPath(), "");
  EXPECT_EQ(results->CritErrorText(), "");
  EXPECT_TRUE(results->FindingsOf(1).empty());
}

TEST(GridResults, FindingsAndTheStoppingSentenceAreGivenAsUtf8InTheirOrder) {
  TempDir dir;
  const std::string path = JoinPath(dir.str(), kResultsFileName);
  {
    auto db = ResultsDb::Create(path);
    db->InsertMisc("/data/first.txt", "02/14/2008");
    db->InsertMisc("/data/zw\xC3\xB6lf.txt", "02/14/2008");  // file names are UTF-8
    for (int64_t n : {1, 2, 3}) db->InsertRecord(RecordRow{n, "RCW", 0, 0, "RCW", ""});
    // Findings text is code page 1252: 0xF6 is o with diaeresis.
    db->InsertError(ErrorRow{0, "", 2, "Name [Position 1 - 3]", "[J\xF6rg]", "Second."});
    db->InsertError(ErrorRow{0, "", 1, "Other", "[x]", "Of another record."});
    db->InsertError(ErrorRow{0, "", 2, "Name [Position 1 - 3]", "[J\xF6rg]", "Third."});
    db->InsertError(ErrorRow{0, "C", 3, "Sequence", "[RCW]", "Stopped at J\xF6rg."});
  }
  std::unique_ptr<GridResults> results = GridResults::Open(path);
  ASSERT_NE(results, nullptr);
  EXPECT_EQ(results->CountErrors(), 4);
  EXPECT_EQ(results->CountTested(), 3);
  EXPECT_EQ(results->LastTestedPath(), "/data/zw\xC3\xB6lf.txt");
  EXPECT_EQ(results->CritErrorText(),
            "Execution of Testing was terminated due to the Critical Error in Record 3:  "
            "Stopped at J\xC3\xB6rg.");
  EXPECT_EQ(results->FindingsOf(2),
            (std::vector<FindingCells>{{"Name [Position 1 - 3]", "[J\xC3\xB6rg]", "Second."},
                                       {"Name [Position 1 - 3]", "[J\xC3\xB6rg]", "Third."}}));
  EXPECT_TRUE(results->FindingsOf(4).empty());
}

}  // namespace
}  // namespace lintaro
