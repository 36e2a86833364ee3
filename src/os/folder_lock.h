// One test run per program folder.
//
// A test run holds an exclusive advisory lock (flock) on the lock file
// lintaro.lock in the folder where it writes its results; the command-line
// report and record display hold a shared lock on it while they read. The
// kernel releases a lock when its holder ends, however it ends, so a killed
// run never leaves a stale lock behind. The lock file itself stays in the
// folder; it holds nothing. It is created for its owner only (0600), or for
// the owner's group too (0660) when the folder is group-writable, so that
// every member of a group sharing a program folder can lock it. A run that
// cannot take the lock, for whatever reason, does not start.
#ifndef LINTARO_OS_FOLDER_LOCK_H_
#define LINTARO_OS_FOLDER_LOCK_H_

#include <functional>
#include <string>

namespace lintaro {

inline constexpr const char* kFolderLockFileName = "lintaro.lock";
// The title of the refusal's message box while the folder is used.
inline constexpr const char* kFolderInUseTitle = "Program Folder In Use";

class FolderLock {
 public:
  enum class State {
    kHeld,          // this object holds the lock
    kRunning,       // another test run holds the folder
    kBeingRead,     // readers hold the folder (only a run is refused for this)
    kUnlockable,    // the lock file cannot be opened or locked: nothing was taken
    kOpenToOthers,  // others may write in the folder: never run or read there
  };

  // The exclusive lock of a test run, taken without waiting for another run.
  // Readers are waited for up to wait_for_readers_ms, since they finish
  // quickly. kUnlockable, with the reason in problem(), when the lock file
  // cannot be created, opened for writing or locked (a folder that cannot be
  // written, a lock file of another user, a folder named lintaro.lock).
  static FolderLock ForRun(const std::string& folder, int wait_for_readers_ms = 2000);
  // The shared lock of a reader, taken without waiting. The lock file is
  // created when create is set (a folder that holds results, so that a run
  // starting while they are read waits); otherwise only an existing one is
  // locked. kUnlockable (with problem()) when there is no lock file to lock.
  static FolderLock ForReading(const std::string& folder, bool create = true);

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // Releases the lock.
  ~FolderLock();

  State state() const { return state_; }
  bool held() const { return state_ == State::kHeld; }
  // True when another program holds the folder (kRunning or kBeingRead),
  // or others may write in it (kOpenToOthers): another user could replace
  // the results, or put a journal beside them that rewrites them when read.
  bool refused() const { return state_ != State::kHeld && state_ != State::kUnlockable; }
  // Why a kUnlockable lock was not taken: the lock file's name and the
  // system's reason ("/r/lintaro.lock: Permission denied"); empty otherwise.
  const std::string& problem() const { return problem_; }

 private:
  FolderLock(int fd, State state, std::string problem = {})
      : fd_(fd), state_(state), problem_(std::move(problem)) {}
  static FolderLock Unlockable(const std::string& folder, int err);
  // Opens the lock file with open_file (-1 and errno when it cannot) and
  // locks it with lock; opens it again while the name no longer gives the
  // file locked (removed or replaced meanwhile), a few times at most.
  static FolderLock Take(const std::string& folder, const std::function<int()>& open_file,
                         const std::function<State(int)>& lock);
  void Release();

  int fd_ = -1;
  State state_ = State::kUnlockable;
  std::string problem_;
};

// The refusal of a run or reader, naming the folder, for a message box or
// standard error, and its box's title. state is one that refused() is true of.
std::string FolderInUseMessage(FolderLock::State state, std::string folder);
const char* FolderRefusalTitle(FolderLock::State state);

// Why a run did not start in a folder it could not lock, naming the folder
// and the lock's problem(), for a message box or standard error.
std::string FolderUnlockableMessage(const FolderLock& lock, std::string folder);

}  // namespace lintaro

#endif  // LINTARO_OS_FOLDER_LOCK_H_
