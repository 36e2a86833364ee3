#include "reports/report_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

namespace lintaro {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw ReportFileError(what + " " + path + ": " + std::generic_category().message(errno));
}

}  // namespace

void AppendToFile(const std::string& path, std::string_view bytes) {
  int fd = TEMP_FAILURE_RETRY(
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd < 0) Fail("Cannot open", path);
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      errno = saved;
      Fail("Cannot write", path);
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::close(fd) != 0) Fail("Cannot write", path);
}

SavedTextFile::SavedTextFile(std::string name) : name_(std::move(name)), file_(name_) {
  if (!file_.ok()) Fail("Cannot open");
}

void SavedTextFile::Fail(const char* what) const {
  throw ReportFileError(std::string(what) + " " + name_ + ": " + file_.problem());
}

void SavedTextFile::Write(std::string_view text) {
  if (!file_.Write(text) || !file_.Write("\r\n")) Fail("Cannot write");
}

void SavedTextFile::Commit() {
  if (!file_.Commit()) Fail("Cannot write");
}

void WriteTextFile(const std::string& name, std::string_view text, bool append) {
  if (name.empty()) return;
  if (!append) {
    SavedTextFile file(name);
    file.Write(text);
    file.Commit();
    return;
  }
  std::string piece;
  piece.reserve(text.size() + 2);
  piece.append(text);
  piece.append("\r\n");
  AppendToFile(name, piece);
}

}  // namespace lintaro
