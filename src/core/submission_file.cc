#include "core/submission_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace lintaro {
namespace {

// Error numbers shown in the failure box, after the platform's classic ones.
constexpr int kFileNotFoundNumber = 53;
constexpr int kPermissionDeniedNumber = 70;
constexpr int kPathAccessNumber = 75;
constexpr int kDeviceIoNumber = 57;

RunFailure Failure(RunFailure::Kind kind, int number, const std::string& text) {
  return RunFailure{kind, number, text};
}

}  // namespace

SubmissionFile::SubmissionFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR)
      throw Failure(RunFailure::kFileNotFound, kFileNotFoundNumber, "File not found");
    if (err == EACCES || err == EPERM)
      throw Failure(RunFailure::kOther, kPermissionDeniedNumber,
                    "Permission denied: " + path + " cannot be read.");
    throw Failure(RunFailure::kOther, kPathAccessNumber,
                  "Path/File access error: " + path + ": " + std::generic_category().message(err));
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = S_ISDIR(info.st_mode);
    Close();
    throw Failure(RunFailure::kOther, kPathAccessNumber,
                  folder ? "Path/File access error: " + path + " is a folder, not a file."
                         : "Path/File access error: " + path + " is not a regular file.");
  }
  length_ = info.st_size;
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
