#include "support/cli_runner.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace lintaro::testing {
namespace {

// Starts argv[0] with the arguments, its output going to files in memory.
RunningCli StartProcess(std::vector<std::string> argv) {
  RunningCli running{-1, memfd_create("out", MFD_CLOEXEC), memfd_create("err", MFD_CLOEXEC)};
  running.pid = fork();
  if (running.pid == 0) {
    dup2(running.out_fd, 1);
    dup2(running.err_fd, 2);
    std::vector<char*> raw;
    for (std::string& a : argv) raw.push_back(a.data());
    raw.push_back(nullptr);
    execvp(raw[0], raw.data());
    _exit(127);
  }
  return running;
}

// Everything written to fd from its start (a file in memory).
std::string Written(int fd) { return ReadWholeFile("/proc/self/fd/" + std::to_string(fd)); }

}  // namespace

RunningCli StartCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  std::vector<std::string> argv = prefix;
  argv.push_back(LINTARO_CLI_PATH);
  argv.insert(argv.end(), args.begin(), args.end());
  return StartProcess(argv);
}

CliResult FinishCli(RunningCli& running) {
  int status = 0;
  const bool ended = running.pid > 0 && waitpid(running.pid, &status, 0) == running.pid;
  CliResult result{ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1, Written(running.out_fd),
                   Written(running.err_fd)};
  close(running.out_fd);
  close(running.err_fd);
  running = {};
  return result;
}

CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  RunningCli running = StartCli(args, prefix);
  return FinishCli(running);
}

CliResult RunShell(const std::string& line) {
  RunningCli running = StartProcess({"/bin/sh", "-c", line});
  return FinishCli(running);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();  // stops without throwing where reading fails (a folder, say)
  return out.str();
}

}  // namespace lintaro::testing
