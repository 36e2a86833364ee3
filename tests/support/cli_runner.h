// Runs lintaro-cli as a user does and collects what it wrote.
#ifndef LINTARO_TESTS_SUPPORT_CLI_RUNNER_H_
#define LINTARO_TESTS_SUPPORT_CLI_RUNNER_H_

#include <string>
#include <vector>

namespace lintaro::testing {

struct CliResult {
  int status = -1;  // exit status; -1 when killed by a signal
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs lintaro-cli with the arguments (no shell is involved) and returns
// its exit status and output. prefix, when given, is a command the checker
// runs under (for example setpriv to drop privileges).
CliResult RunCli(const std::vector<std::string>& args,
                 const std::vector<std::string>& prefix = {});

// The same with the arguments written as a shell would read them (quoted
// paths and all), for tests that build the command line as a user types it.
CliResult RunCliLine(const std::string& args);

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_CLI_RUNNER_H_
