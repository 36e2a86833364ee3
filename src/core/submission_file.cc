#include "core/submission_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <system_error>

namespace lintaro {
namespace {

constexpr int kFileNotFoundNumber = RunFailure::kFileNotFoundNumber;
constexpr int kPermissionDeniedNumber = RunFailure::kPermissionDeniedNumber;
constexpr int kPathAccessNumber = RunFailure::kPathAccessNumber;
constexpr int kDeviceIoNumber = RunFailure::kDeviceIoNumber;

RunFailure Failure(RunFailure::Kind kind, int number, const std::string& text) {
  return RunFailure{kind, number, text};
}

// A file opened for reading and what it is; fd -1 and err set when it
// cannot be opened or looked at.
struct OpenedFile {
  int fd = -1;
  int err = 0;
  struct stat info {};
};

// Opens path without waiting on it: a named pipe without a writer, or a
// device, answers at once instead of holding the caller (the window's
// thread) until something is written.
OpenedFile OpenWithoutWaiting(const std::string& path) {
  OpenedFile f;
  f.fd = TEMP_FAILURE_RETRY(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (f.fd >= 0 && ::fstat(f.fd, &f.info) != 0) {
    f.err = errno;
    ::close(f.fd);
    f.fd = -1;
  } else if (f.fd < 0) {
    f.err = errno;
  }
  return f;
}

}  // namespace

std::optional<std::string> UnreadableFileProblem(const std::string& file) {
  const OpenedFile f = OpenWithoutWaiting(file);
  if (f.fd < 0) {
    if (f.err == ENOENT || f.err == ENOTDIR) return file + ": does not exist";
    return file + ": cannot be read: " + std::generic_category().message(f.err);
  }
  ::close(f.fd);
  if (S_ISDIR(f.info.st_mode)) return file + ": is a folder, not a submission file";
  if (!S_ISREG(f.info.st_mode)) return file + ": is not a regular file";
  return std::nullopt;
}

SubmissionFile::SubmissionFile(const std::string& path) : path_(path) {
  const OpenedFile f = OpenWithoutWaiting(path);
  if (f.fd < 0) {
    const int err = f.err;
    if (err == ENOENT || err == ENOTDIR)
      throw Failure(RunFailure::kFileNotFound, kFileNotFoundNumber, "File not found");
    if (err == EACCES || err == EPERM)
      throw Failure(RunFailure::kOther, kPermissionDeniedNumber,
                    "Permission denied: " + path + " cannot be read.");
    throw Failure(RunFailure::kOther, kPathAccessNumber,
                  "Path/File access error: " + path + ": " + std::generic_category().message(err));
  }
  fd_ = f.fd;
  if (!S_ISREG(f.info.st_mode)) {
    Close();
    throw Failure(RunFailure::kOther, kPathAccessNumber,
                  S_ISDIR(f.info.st_mode)
                      ? "Path/File access error: " + path + " is a folder, not a file."
                      : "Path/File access error: " + path + " is not a regular file.");
  }
  // A regular file: reads wait for the disk as usual.
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  length_ = f.info.st_size;
}

SubmissionFile::~SubmissionFile() { Close(); }

void SubmissionFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

size_t SubmissionFile::Read(char* buffer, size_t size) {
  if (fd_ < 0) return 0;
  size_t total = 0;
  while (total < size) {
    ssize_t n = ::read(fd_, buffer + total, size - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Failure(RunFailure::kOther, kDeviceIoNumber,
                    "Device I/O error while reading " + path_ + ": " +
                        std::generic_category().message(errno));
    }
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  return total;
}

}  // namespace lintaro
