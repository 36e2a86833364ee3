// What the grid view reads besides the record grids' rows. What it shows
// of real results is in the window's state files (tests/ui/states); here
// the results it is given when there are none or the file is no results
// database.
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

}  // namespace
}  // namespace lintaro
