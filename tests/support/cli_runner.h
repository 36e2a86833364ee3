// Runs lintaro-cli as a user does and collects what it wrote.
#ifndef LINTARO_TESTS_SUPPORT_CLI_RUNNER_H_
#define LINTARO_TESTS_SUPPORT_CLI_RUNNER_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace lintaro::testing {

struct CliResult {
  int status = -1;  // exit status; -1 when killed by a signal
  std::string out;  // standard output
  std::string err;  // standard error
};

// A lintaro-cli started in the background, its output going to files in
// memory.
struct RunningCli {
  pid_t pid = -1;
  int out_fd = -1;
  int err_fd = -1;
};
// Starts lintaro-cli with the arguments (no shell is involved). prefix, when
// given, is a command the checker runs under (for example setpriv to drop
// privileges, or env to set a variable).
RunningCli StartCli(const std::vector<std::string>& args,
                    const std::vector<std::string>& prefix = {});
// Waits until it ends; its exit status and everything it wrote.
CliResult FinishCli(RunningCli& running);
// Both: runs lintaro-cli and returns its exit status and output.
CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {});

// Runs a command line with /bin/sh, as a user types it.
CliResult RunShell(const std::string& line);

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_CLI_RUNNER_H_
