// Start Testing on a program folder that another test run holds: the
// window says so in a message box, keeps the last results and stays usable.
#include "core/folder_lock.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

TEST_F(WindowTest, StartTestingOnAFolderInUseShowsWhyAndStaysUsable) {
  Open();
  const std::string file = Submission("clean.txt", CleanRecords(2));
  Run({file});
  const std::string before = ReadWholeFile(ResultsPath());
  {
    FolderLock other = FolderLock::ForRun(home.str());
    prompts.messages.clear();
    Run({file});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(Describe(prompts.messages[0]),
              "Program Folder In Use | critical ok | Another test run is using the program "
              "folder " +
                  home.str() + ". Try again when it has finished.");
    EXPECT_TRUE(Button("cmdStart")->isEnabled());
    EXPECT_TRUE(Action("mnuTStart")->isEnabled());
  }
  EXPECT_EQ(ReadWholeFile(ResultsPath()), before);
  prompts.messages.clear();
  Run({file});
  ASSERT_FALSE(prompts.messages.empty());
  EXPECT_EQ(prompts.messages[0].title, "Results");
}

}  // namespace
}  // namespace lintaro::testing
