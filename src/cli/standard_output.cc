#include "cli/standard_output.h"

#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "cli/cli_options.h"

namespace lintaro {
namespace {

// err 0: the stream failed earlier and the system's reason is gone.
void TellWriteError(int err) {
  if (err == 0) {
    std::fputs("lintaro-cli: write error\n", stderr);
  } else {
    std::fprintf(stderr, "lintaro-cli: write error: %s\n",
                 std::generic_category().message(err).c_str());
  }
  std::fflush(stderr);
}

}  // namespace

void HoldClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number: fd itself, as those below it are open.
    const int held = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    if (held > STDERR_FILENO) ::close(held);
  }
}

void StandardOutputFailed(int err) {
  TellWriteError(err);
  // The rest goes nowhere: the failure is not told again at the end.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::clearerr(stdout);
}

bool FlushStandardOutput() {
  const bool failed_before = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fflush(stdout) == 0 && !failed_before) return true;
  StandardOutputFailed(errno);
  return false;
}

int CloseStandardOutput(int status) {
  const bool failed_before = std::ferror(stdout) != 0;
  const bool pending = __fpending(stdout) != 0;
  errno = 0;
  const bool close_failed = std::fclose(stdout) != 0;
  const int err = close_failed ? errno : 0;
  // A closed standard output fails to close, but only what was written to
  // it is lost.
  if (!failed_before && (!close_failed || (!pending && err == EBADF))) return status;
  TellWriteError(err);
  return kExitNothingTested;
}

}  // namespace lintaro
