// Start Testing on a program folder that another test run holds: the
// window says so in a message box and stays usable. The message and that the
// last results are kept are the run's (tests/core/folder_lock_test.cc).
#include "core/folder_lock.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

TEST_F(WindowTest, StartTestingOnAFolderInUseShowsWhyAndStaysUsable) {
  Open();
  const std::string file = Submission("clean.txt", CleanRecords(2));
  {
    FolderLock other = FolderLock::ForRun(home.str());
    Run({file});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Program Folder In Use");
    EXPECT_TRUE(Button("cmdStart")->isEnabled());
    EXPECT_TRUE(Action("mnuTStart")->isEnabled());
  }
  prompts.messages.clear();
  Run({file});
  ASSERT_FALSE(prompts.messages.empty());
  EXPECT_EQ(prompts.messages[0].title, "Results");
}

}  // namespace
}  // namespace lintaro::testing
