#include "support/cli_runner.h"

#include <pty.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#ifndef LINTARO_CLI_PATH
#define LINTARO_CLI_PATH "lintaro-cli"
#endif

namespace lintaro::testing {
namespace {

std::vector<std::string> CommandLine(const std::vector<std::string>& args,
                                     const std::vector<std::string>& prefix) {
  std::vector<std::string> argv = prefix;
  argv.push_back(LINTARO_CLI_PATH);
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

// Runs argv in place of the forked child; never returns.
[[noreturn]] void Exec(std::vector<std::string> argv) {
  std::vector<char*> raw;
  for (std::string& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  execvp(raw[0], raw.data());
  _exit(127);
}

int ExitStatus(pid_t pid) {
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Everything written to fd from its start (a file in memory).
std::string Written(int fd) { return ReadWholeFile("/proc/self/fd/" + std::to_string(fd)); }

// Starts argv[0] with the arguments, its output going to files in memory.
RunningCli StartProcess(const std::vector<std::string>& argv) {
  RunningCli running{-1, memfd_create("out", MFD_CLOEXEC), memfd_create("err", MFD_CLOEXEC)};
  running.pid = fork();
  if (running.pid == 0) {
    dup2(running.out_fd, 1);
    dup2(running.err_fd, 2);
    Exec(argv);
  }
  return running;
}

}  // namespace

RunningCli StartCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  return StartProcess(CommandLine(args, prefix));
}

CliResult FinishCli(RunningCli& running) {
  CliResult result{ExitStatus(running.pid), Written(running.out_fd), Written(running.err_fd)};
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

CliResult RunCliOnTerminal(const std::vector<std::string>& args) {
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) Exec(CommandLine(args, {}));
  CliResult result;
  char buffer[65536];
  ssize_t n = 0;
  // Ends with EIO once the program has ended and closed the terminal.
  while (pid > 0 && (n = read(terminal, buffer, sizeof buffer)) > 0)
    result.out.append(buffer, static_cast<size_t>(n));
  if (pid > 0) close(terminal);
  result.status = ExitStatus(pid);
  return result;
}

std::vector<std::string> AsUnprivilegedUser(std::vector<std::string> then) {
  if (geteuid() != 0) return then;
  std::vector<std::string> prefix = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                     "--"};
  prefix.insert(prefix.end(), then.begin(), then.end());
  return prefix;
}

bool WaitForFileSize(const std::string& path, std::uintmax_t bytes) {
  for (int i = 0; i < 2000; ++i) {
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) > bytes && !ec) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lintaro::testing
