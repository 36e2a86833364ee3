#include "cli/standard_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace lintaro {
namespace {

std::string Reason(int err) { return std::generic_category().message(err); }

// A file of no name in folder, or -1 (errno set). Where the file system has
// no O_TMPFILE, a named one is made and its name removed at once.
int UnnamedFile(const std::string& folder) {
  int fd = TEMP_FAILURE_RETRY(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR)) return fd;
  std::string name = folder + "/.lintaro-stdin-XXXXXX";
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  fd = TEMP_FAILURE_RETRY(::mkostemp(buffer.data(), O_CLOEXEC));
  if (fd >= 0) ::unlink(buffer.data());
  return fd;
}

// Copies from into to; 0, or the errno of the failure: positive when
// reading failed, negative when writing did.
int CopyAll(int from, int to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return -errno;
      done += put;
    }
  }
}

}  // namespace

StandardInputCopy::~StandardInputCopy() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::string> StandardInputCopy::Take(const std::string& folder) {
  struct stat info {};
  if (::fstat(STDIN_FILENO, &info) != 0) return "standard input: cannot be read: " + Reason(errno);
  // A file is read in place when it is given from its beginning; one that
  // was partly read before (a header taken off by the caller) is copied
  // from where it stands, as a pipe is: its bytes before were not given.
  if (S_ISREG(info.st_mode) && ::lseek(STDIN_FILENO, 0, SEEK_CUR) == 0) {
    path_ = "/proc/self/fd/" + std::to_string(STDIN_FILENO);
    return std::nullopt;
  }
  if (S_ISDIR(info.st_mode)) return "standard input: is a folder, not a submission file";
  fd_ = UnnamedFile(folder);
  if (fd_ < 0) return folder + ": cannot keep standard input: " + Reason(errno);
  if (const int err = CopyAll(STDIN_FILENO, fd_); err != 0) {
    ::close(fd_);
    fd_ = -1;
    if (err < 0) return folder + ": cannot keep standard input: " + Reason(-err);
    return "standard input: cannot be read: " + Reason(err);
  }
  path_ = "/proc/self/fd/" + std::to_string(fd_);
  return std::nullopt;
}

}  // namespace lintaro
