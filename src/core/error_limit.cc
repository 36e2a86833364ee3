#include "core/error_limit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/whole_number.h"
#include "os/path.h"
#include "os/program_folder.h"
#include "os/replacing_file.h"

namespace lintaro {
namespace {

constexpr const char* kLinePrefix = "[Maximum Error Count]:";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The first line of the regular file at path, or nothing; kept is set when
// the file is there but may not be read (another user's): it is not ours
// to replace. A named pipe or a device of that name is never waited on
// (the window reads the setting).
std::optional<std::string> ReadFirstLine(const std::string& path, bool& kept) {
  const int fd = TEMP_FAILURE_RETRY(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  kept = fd < 0 && errno == EACCES;
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::string text;
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    char buffer[256];
    ssize_t n = 0;
    while (text.find('\n') == std::string::npos && text.size() < 4096 &&
           ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
      if (n > 0) text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (text.empty()) return std::nullopt;
  return text.substr(0, text.find('\n'));
}

}  // namespace

std::optional<int> ParseErrorLimitEntry(std::string_view entry) {
  return ParseWholeNumber(Trim(entry), 1, kMaxErrorLimit);
}

int LoadErrorLimit(const std::string& folder) {
  bool kept = false;
  if (auto line = ReadFirstLine(JoinPath(folder, kErrorLimitFileName), kept)) {
    const size_t colon = line->find(':');
    if (colon != std::string::npos) {
      if (auto limit = ParseErrorLimitEntry(std::string_view(*line).substr(colon + 1)))
        return *limit;
    }
  }
  // Missing or unusable: the default, written back when we can. Another
  // user's setting that we may not read stays as it is.
  if (!kept) SaveErrorLimit(folder, kDefaultErrorLimit);
  return kDefaultErrorLimit;
}

bool SaveErrorLimit(const std::string& folder, int limit) {
  // Never written in place: a half-written setting, or one written through
  // a symbolic link into another file, is never left. It holds nothing
  // private: the members of a group sharing the folder read it too.
  ReplacingFile out(JoinPath(folder, kErrorLimitFileName), GroupMayWriteIn(folder) ? 0640 : 0600);
  out.Write(kLinePrefix + std::to_string(limit) + "\r\n");
  return out.Commit();
}

std::string ErrorLimitReference(int limit) {
  return std::to_string(limit) + " or more Errors in submission";
}

std::string ErrorLimitUserEntry(int limit) { return std::to_string(limit) + " Errors"; }

std::string ErrorLimitMessage(int limit) {
  return std::to_string(limit) +
         " or more errors were encountered. Please correct the errors "
         "identified in the submission and rerun Lintaro. Please note that the number of errors "
         "allowed before Lintaro stops testing can be set by the user to a number between 1 and "
         "25,000. For information on how to set the error limitation, please look in the Help "
         "section located on the Lintaro Welcome Screen.";
}

}  // namespace lintaro
