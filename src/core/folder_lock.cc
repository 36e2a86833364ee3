#include "core/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "core/error_limit.h"

namespace lintaro {
namespace {

int OpenLockFile(const std::string& folder, bool create) {
  const std::string path = JoinPath(folder, kFolderLockFileName);
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
  // A reader may not be allowed to write the file; flock needs no more than reading.
  if (fd < 0 && !create) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd;
}

int FlockRetrying(int fd, int operation) {
  int rc;
  do {
    rc = ::flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

FolderLock FolderLock::ForRun(const std::string& folder, int wait_for_readers_ms) {
  const int fd = OpenLockFile(folder, /*create=*/true);
  if (fd < 0) return FolderLock(-1, State::kUnlockable);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_for_readers_ms);
  for (;;) {
    if (FlockRetrying(fd, LOCK_EX | LOCK_NB) == 0) return FolderLock(fd, State::kHeld);
    if (errno != EWOULDBLOCK) {
      ::close(fd);
      return FolderLock(-1, State::kUnlockable);
    }
    // Someone holds the file. A shared lock is refused only by another run's
    // exclusive one; granted, the holders are readers, who are done soon.
    if (FlockRetrying(fd, LOCK_SH | LOCK_NB) != 0) {
      ::close(fd);
      return FolderLock(-1, State::kRunning);
    }
    FlockRetrying(fd, LOCK_UN);
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return FolderLock(-1, State::kBeingRead);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

FolderLock FolderLock::ForReading(const std::string& folder, bool create) {
  int fd = create ? OpenLockFile(folder, /*create=*/true) : -1;
  if (fd < 0) fd = OpenLockFile(folder, /*create=*/false);
  if (fd < 0) return FolderLock(-1, State::kUnlockable);
  if (FlockRetrying(fd, LOCK_SH | LOCK_NB) == 0) return FolderLock(fd, State::kHeld);
  const bool busy = errno == EWOULDBLOCK;
  ::close(fd);
  return FolderLock(-1, busy ? State::kRunning : State::kUnlockable);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(other.fd_), state_(other.state_) {
  other.fd_ = -1;
  other.state_ = State::kUnlockable;
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    state_ = other.state_;
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
  if (state == FolderLock::State::kBeingRead)
    return "The results in the program folder " + folder +
           " are being read by another program. Try again in a moment.";
  return "Another test run is using the program folder " + folder +
         ". Try again when it has finished.";
}

}  // namespace lintaro
