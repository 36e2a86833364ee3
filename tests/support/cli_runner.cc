#include "support/cli_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef LINTARO_CLI_PATH
#define LINTARO_CLI_PATH "lintaro-cli"
#endif

namespace lintaro::testing {
namespace {

std::vector<char*> Argv(std::vector<std::string>& argv) {
  std::vector<char*> raw;
  for (std::string& a : argv) raw.push_back(a.data());
  raw.push_back(nullptr);
  return raw;
}

std::vector<std::string> CommandLine(const std::vector<std::string>& args,
                                     const std::vector<std::string>& prefix) {
  std::vector<std::string> argv = prefix;
  argv.push_back(LINTARO_CLI_PATH);
  argv.insert(argv.end(), args.begin(), args.end());
  return argv;
}

int ExitStatus(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts argv[0] with the arguments, its output going to pipes.
RunningCli StartProcess(std::vector<std::string> argv) {
  int out_pipe[2], err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    std::vector<char*> raw = Argv(argv);
    execvp(raw[0], raw.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  return RunningCli{pid, out_pipe[0], err_pipe[0]};
}

}  // namespace

RunningCli StartCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  return StartProcess(CommandLine(args, prefix));
}

CliResult FinishCli(RunningCli& running) {
  CliResult result;
  pollfd fds[2] = {{running.out_fd, POLLIN, 0}, {running.err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_fds = 2;
  char buffer[65536];
  while (open_fds > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(n));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_fds;
      }
    }
  }
  result.status = ExitStatus(running.pid);
  running = {};
  return result;
}

CliResult RunCli(const std::vector<std::string>& args, const std::vector<std::string>& prefix) {
  RunningCli running = StartCli(args, prefix);
  if (running.pid < 0) return {};
  return FinishCli(running);
}

CliResult RunShell(const std::string& line) {
  RunningCli running = StartProcess({"/bin/sh", "-c", line});
  if (running.pid < 0) return {};
  return FinishCli(running);
}

std::string CliFolder() {
  const std::string cli = LINTARO_CLI_PATH;
  return cli.substr(0, cli.find_last_of('/') + 1);
}

CliResult RunCliOnTerminal(const std::vector<std::string>& args) {
  std::vector<std::string> argv = CommandLine(args, {});
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid < 0) return {};
  if (pid == 0) {
    std::vector<char*> raw = Argv(argv);
    execvp(raw[0], raw.data());
    _exit(127);
  }
  CliResult result;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(terminal, buffer, sizeof buffer);
    if (n <= 0) break;  // EIO once the program has ended and closed the terminal
    result.out.append(buffer, static_cast<size_t>(n));
  }
  close(terminal);
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
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace lintaro::testing
