#include "os/replacing_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace lintaro {
namespace {

// The folder part of path, with its "/" ("" for a name without folder).
std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
  // A hidden name in the same folder, so that the rename stays on one file
  // system; mkostemp creates it with O_EXCL and mode 0600.
  const size_t slash = path_.rfind('/');
  const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
  temporary_ = FolderPart(path_) + "." + name + ".XXXXXX";
  fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    Fail(errno);
    temporary_.clear();
  }
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
