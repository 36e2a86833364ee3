#include "os/replacing_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "os/program_folder.h"

namespace lintaro {
namespace {

// The folder part of path, with its "/" ("" for a name without folder).
std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A hidden name in path's folder, so that the rename stays on one file
// system: ".NAME.XXXXXX", the X's for mkostemp to fill.
std::string HiddenTemplate(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return FolderPart(path) + "." + name + ".XXXXXX";
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path, mode_t mode) : path_(std::move(path)) {
  // Unnamed, in the file's folder, for its owner only; it is named only
  // through /proc/self/fd, so only where that can be read.
  const std::string folder = FolderPart(path_);
  if (::access("/proc/self/fd", X_OK) == 0) {
    fd_ = TEMP_FAILURE_RETRY(
        ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    unnamed_ = fd_ >= 0;
  }
  if (!unnamed_) {
    // No such files here (some network file systems): a named one, which
    // mkostemp creates with O_EXCL and mode 0600.
    temporary_ = HiddenTemplate(path_);
    fd_ = TEMP_FAILURE_RETRY(::mkostemp(temporary_.data(), O_CLOEXEC));
    if (fd_ < 0) {
      Fail(errno);
      temporary_.clear();
      return;
    }
  }
  // A wider mode is the folder's group's, set past the umask, which would
  // take the group's bits away.
  if (mode == 0600) return;
  GiveFolderGroup(fd_, folder.empty() ? "." : folder);
  if (::fchmod(fd_, mode) != 0) Fail(errno);
}

bool ReplacingFile::NameTemporary() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    // The name is taken by the link alone: nothing is made under it first
    // that a failure could leave behind.
    std::string name = HiddenTemplate(path_);
    unsigned char random[6];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
      if (errno == EINTR) continue;
      Fail(errno);
      return false;
    }
    for (size_t i = 0; i < sizeof random; ++i)
      name[name.size() - sizeof random + i] = kLetters[random[i] % (sizeof kLetters - 1)];
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temporary_ = std::move(name);
      return true;
    }
    if (errno != EEXIST && errno != EINTR) {
      Fail(errno);
      return false;
    }
  }
  Fail(EEXIST);
  return false;
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Fail(int err) {
  if (problem_.empty()) problem_ = std::generic_category().message(err);
}

void ReplacingFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

bool ReplacingFile::Write(std::string_view bytes) {
  while (ok() && !bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Fail(n < 0 ? errno : ENOSPC);
      break;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return ok();
}

bool ReplacingFile::Commit() {
  // On the disk before its name: a power cut after the rename must not
  // leave an empty file where a whole one was.
  if (ok() && ::fdatasync(fd_) != 0) Fail(errno);
  if (ok() && unnamed_) NameTemporary();
  if (ok()) {
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0) Fail(errno);
  }
  if (ok() && ::rename(temporary_.c_str(), path_.c_str()) != 0) Fail(errno);
  if (ok()) temporary_.clear();  // it is the file now
  Discard();
  return ok();
}

}  // namespace lintaro
