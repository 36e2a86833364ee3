// The command line's side of the platform: message boxes on standard error,
// the submission's files taken from the argument list, a progress line, and
// SIGINT, SIGTERM and SIGHUP turned into the Exit command.
#ifndef LINTARO_CLI_CLI_PLATFORM_H_
#define LINTARO_CLI_CLI_PLATFORM_H_

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "run/check_run.h"

namespace lintaro {

// One line on standard error, rewritten in place, shown only when wanted and
// standard error is a terminal that can rewrite a line (TERM set, and not
// "dumb"). Whoever writes anything else erases it first.
class ProgressLine {
 public:
  explicit ProgressLine(std::FILE* err, bool wanted = true);
  // Replaces the line with text.
  void Show(const std::string& text);
  // Removes the line, leaving the cursor at the start of an empty line.
  void Erase();
  bool terminal() const { return terminal_; }

 private:
  std::FILE* err_;
  bool terminal_;
  bool shown_ = false;
};

class CliPrompts : public Prompts {
 public:
  // files: the successive files of one submission, in order. Messages go to
  // err as "lintaro-cli: ..." lines worded for a terminal (TerminalWording),
  // after the progress line (when given) is erased; when quiet, only those
  // that tell a problem.
  CliPrompts(std::vector<std::string> files, std::FILE* err, ProgressLine* progress = nullptr,
             bool quiet = false)
      : files_(std::move(files)), err_(err), progress_(progress), quiet_(quiet) {}

  // Writes the message's terminal line and answers as UnattendedAnswer.
  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  // Hands out the next file of the list, as a full name (standard input as
  // kStandardInputName); none left counts as cancelled.
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;

  // How many files of the list have been handed out.
  size_t files_opened() const { return next_; }

 private:
  std::vector<std::string> files_;
  size_t next_ = 0;
  std::FILE* err_;
  ProgressLine* progress_;
  bool quiet_;
};

// Shows "Processing Record Number: n (p%)" on the progress line a few
// times a second at most, and 100% when the submission was read to its end.
class CliRunView : public RunView {
 public:
  explicit CliRunView(ProgressLine& line) : line_(line) {}
  void RecordStarted(int32_t rec_ctr, double fraction) override;
  void CompletionStarted() override;
  void RunEnded() override;

 private:
  void Draw(int32_t rec_ctr, double fraction);

  ProgressLine& line_;
  int32_t last_record_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_draw_;
};

// Makes SIGINT, SIGTERM and SIGHUP request the end of every run in progress;
// a second one of them ends the program at once. Call before the runs start.
void InstallInterruptHandlers();
// The signal that arrived (SIGINT, SIGTERM or SIGHUP), or 0.
int InterruptSignal();
// 128 + the signal: 130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP.
int InterruptedExitStatus();

// Turns a signal into the Exit command of its run: the run records "Test
// Aborted" and ends at the next record.
class CliEventPump : public EventPump {
 public:
  void set_run(CheckRun* run) { run_ = run; }
  void ProcessEvents() override;

 private:
  CheckRun* run_ = nullptr;
};

}  // namespace lintaro

#endif  // LINTARO_CLI_CLI_PLATFORM_H_
