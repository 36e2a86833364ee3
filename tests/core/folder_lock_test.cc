// One test run per program folder: runs exclude runs and readers, readers
// exclude runs and a dead holder leaves no lock. What a refused run shows is
// in tests/run/check_run.trace.
#include "core/folder_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::TempDir;
using State = FolderLock::State;

TEST(FolderLock, RunsExcludeRunsAndReadersUntilReleasedOrKilled) {
  TempDir folder;
  {
    FolderLock run = FolderLock::ForRun(folder.str());
    ASSERT_TRUE(run.held());
    EXPECT_EQ(FolderLock::ForRun(folder.str()).state(), State::kRunning);
    EXPECT_EQ(FolderLock::ForReading(folder.str()).state(), State::kRunning);
    // Moving the lock keeps it held.
    FolderLock moved = std::move(run);
    EXPECT_FALSE(run.held());
    EXPECT_EQ(FolderLock::ForRun(folder.str(), 0).state(), State::kRunning);
  }
  // Readers share the folder; a run waits for them a little, then gives up.
  FolderLock reader = FolderLock::ForReading(folder.str());
  ASSERT_TRUE(reader.held());
  EXPECT_TRUE(FolderLock::ForReading(folder.str()).held());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FolderLock::ForRun(folder.str(), 150).state(), State::kBeingRead);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
  std::thread done_reading([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    reader = FolderLock::ForReading("/nonexistent/folder");  // releases the lock
  });
  EXPECT_TRUE(FolderLock::ForRun(folder.str(), 5000).held());
  done_reading.join();
  EXPECT_EQ(FolderLock::ForRun("/nonexistent/folder").state(), State::kUnlockable);
  EXPECT_EQ(FolderInUseMessage(State::kRunning, "/r/"),
            "Another test run is using the program folder /r. Try again when it has finished.");

  // The kernel releases the lock of a killed holder.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    FolderLock lock = FolderLock::ForRun(folder.str());
    const char held = lock.held() ? 'y' : 'n';
    (void)!write(ready[1], &held, 1);
    pause();
    _exit(0);
  }
  char held = 0;
  ASSERT_EQ(read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, 'y');
  EXPECT_EQ(FolderLock::ForRun(folder.str(), 0).state(), State::kRunning);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(FolderLock::ForRun(folder.str(), 0).held());
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
}  // namespace lintaro
