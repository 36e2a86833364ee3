// One test run per program folder: runs exclude runs and readers, readers
// exclude runs and a dead holder leaves no lock. What a refused run shows is
// in tests/run/check_run.trace.
#include "os/folder_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
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

// The lock file is its owner's, or its owner's group's too in a folder the
// group may write (whatever the umask); a lock that cannot be taken says why.
TEST(FolderLock, NewLockFilesKeepToTheFolderAndARefusalSaysWhy) {
  const mode_t umask_before = ::umask(022);
  for (const auto& [folder_mode, lock_mode] : {std::pair{0700, 0600}, std::pair{0770, 0660}}) {
    TempDir folder;
    chmod(folder.str().c_str(), static_cast<mode_t>(folder_mode));
    ASSERT_TRUE(FolderLock::ForRun(folder.str()).held());
    struct stat info {};
    ASSERT_EQ(stat((folder.str() + "/lintaro.lock").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, static_cast<mode_t>(lock_mode)) << folder_mode;
  }
  ::umask(umask_before);

  TempDir folder;
  ASSERT_EQ(mkdir((folder.str() + "/lintaro.lock").c_str(), 0700), 0);
  const FolderLock lock = FolderLock::ForRun(folder.str() + "/");
  EXPECT_EQ(lock.state(), State::kUnlockable);
  EXPECT_EQ(FolderUnlockableMessage(lock, folder.str() + "/"),
            "The program folder " + folder.str() + " cannot be locked for a test run: " +
                folder.str() + "/lintaro.lock: Is a directory.");
}

}  // namespace
}  // namespace lintaro
