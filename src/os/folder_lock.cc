#include "os/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "os/path.h"
#include "os/program_folder.h"

namespace lintaro {
namespace {

using Clock = std::chrono::steady_clock;
using State = FolderLock::State;

// How often a lock file removed or replaced under a run is opened again.
constexpr int kOpenAttempts = 5;

std::string LockPath(const std::string& folder) { return JoinPath(folder, kFolderLockFileName); }

// The mode of a new lock file: the group's too when the folder is shared with it.
mode_t NewLockFileMode(const std::string& folder) { return GroupMayWriteIn(folder) ? 0660 : 0600; }

// The lock file opened for writing (created when create is set), never
// through a symbolic link; -1 with errno set when it cannot be.
int OpenLockFile(const std::string& folder, bool create) {
  const std::string path = LockPath(folder);
  const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW;
  if (create) {
    const mode_t mode = NewLockFileMode(folder);
    const int fd = TEMP_FAILURE_RETRY(::open(path.c_str(), flags | O_CREAT | O_EXCL, mode));
    if (fd >= 0) {
      // The umask would take the group's bits away; a mode that cannot be set
      // leaves only the group out.
      if (mode != 0600) GiveFolderGroup(fd, folder);
      (void)::fchmod(fd, mode);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return TEMP_FAILURE_RETRY(::open(path.c_str(), flags));
}

// For a reader, who may not be allowed to write the file: flock needs no
// more than reading.
int OpenLockFileToRead(const std::string& folder, bool create) {
  int fd = create ? OpenLockFile(folder, /*create=*/true) : -1;
  if (fd < 0) fd = OpenLockFile(folder, /*create=*/false);
  if (fd < 0)
    fd = TEMP_FAILURE_RETRY(::open(LockPath(folder).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  return fd;
}

int FlockRetrying(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

// Whether the lock file's name still names the open file: a lock on a file
// that was removed or replaced after it was opened excludes nobody.
bool StillNamed(int fd, const std::string& path) {
  struct stat open_file {};
  struct stat named {};
  return ::fstat(fd, &open_file) == 0 && ::lstat(path.c_str(), &named) == 0 &&
         open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

// A run's exclusive lock on fd, waiting for readers until deadline: kHeld,
// kRunning, kBeingRead, or kUnlockable with errno set.
State LockExclusive(int fd, Clock::time_point deadline) {
  for (;;) {
    if (FlockRetrying(fd, LOCK_EX | LOCK_NB) == 0) return State::kHeld;
    if (errno != EWOULDBLOCK) return State::kUnlockable;
    // Someone holds the file. A shared lock is refused only by another run's
    // exclusive one; granted, the holders are readers, who are done soon.
    if (FlockRetrying(fd, LOCK_SH | LOCK_NB) != 0)
      return errno == EWOULDBLOCK ? State::kRunning : State::kUnlockable;
    FlockRetrying(fd, LOCK_UN);
    if (Clock::now() >= deadline) return State::kBeingRead;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// A reader's shared lock on fd: kHeld, kRunning, or kUnlockable with errno set.
State LockShared(int fd) {
  if (FlockRetrying(fd, LOCK_SH | LOCK_NB) == 0) return State::kHeld;
  return errno == EWOULDBLOCK ? State::kRunning : State::kUnlockable;
}

}  // namespace

FolderLock FolderLock::Unlockable(const std::string& folder, int err) {
  return FolderLock(-1, State::kUnlockable,
                    LockPath(folder) + ": " + std::generic_category().message(err));
}

FolderLock FolderLock::Take(const std::string& folder, const std::function<int()>& open_file,
                            const std::function<State(int)>& lock) {
  for (int attempt = 1;; ++attempt) {
    const int fd = open_file();
    // A file removed between two opens is created (or looked for) again.
    if (fd < 0 && errno == ENOENT && attempt < kOpenAttempts) continue;
    if (fd < 0) return Unlockable(folder, errno);
    const State state = lock(fd);
    if (state == State::kHeld && StillNamed(fd, LockPath(folder))) return FolderLock(fd, state);
    const int err = errno;
    ::close(fd);
    if (state == State::kUnlockable) return Unlockable(folder, err);
    if (state != State::kHeld) return FolderLock(-1, state);
    if (attempt == kOpenAttempts)
      return FolderLock(-1, State::kUnlockable,
                        LockPath(folder) + ": the lock file was replaced while it was locked");
  }
}

FolderLock FolderLock::ForRun(const std::string& folder, int wait_for_readers_ms) {
  if (OthersMayWriteIn(folder)) return FolderLock(-1, State::kOpenToOthers);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(wait_for_readers_ms);
  return Take(
      folder, [&] { return OpenLockFile(folder, /*create=*/true); },
      [&](int fd) { return LockExclusive(fd, deadline); });
}

FolderLock FolderLock::ForReading(const std::string& folder, bool create) {
  if (OthersMayWriteIn(folder)) return FolderLock(-1, State::kOpenToOthers);
  return Take(
      folder, [&] { return OpenLockFileToRead(folder, create); }, LockShared);
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : fd_(other.fd_), state_(other.state_), problem_(std::move(other.problem_)) {
  other.fd_ = -1;
  other.state_ = State::kUnlockable;
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    state_ = other.state_;
    problem_ = std::move(other.problem_);
    other.fd_ = -1;
    other.state_ = State::kUnlockable;
  }
  return *this;
}

FolderLock::~FolderLock() { Release(); }

void FolderLock::Release() {
  // Closing the only descriptor of the open file releases its lock.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string FolderInUseMessage(FolderLock::State state, std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (state == FolderLock::State::kOpenToOthers)
    return "The program folder " + folder +
           " may be written by others; choose a folder only you may write in.";
  if (state == FolderLock::State::kBeingRead)
    return "The results in the program folder " + folder +
           " are being read by another program. Try again in a moment.";
  return "Another test run is using the program folder " + folder +
         ". Try again when it has finished.";
}

const char* FolderRefusalTitle(FolderLock::State state) {
  return state == FolderLock::State::kOpenToOthers ? "Program Folder Error" : kFolderInUseTitle;
}

std::string FolderUnlockableMessage(const FolderLock& lock, std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return "The program folder " + folder + " cannot be locked for a test run: " + lock.problem() +
         ".";
}

}  // namespace lintaro
