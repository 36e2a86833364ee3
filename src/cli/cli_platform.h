// The command line's side of the platform: message boxes on standard error,
// the submission's files taken from the argument list, and a progress line.
#ifndef LINTARO_CLI_CLI_PLATFORM_H_
#define LINTARO_CLI_CLI_PLATFORM_H_

#include <chrono>
#include <cstdio>
#include <deque>
#include <string>

#include "core/platform.h"
#include "core/test_run.h"

namespace lintaro {

class CliPrompts : public Prompts {
 public:
  // files: the successive files of one submission, in order.
  CliPrompts(std::deque<std::string> files, std::FILE* err) : files_(std::move(files)), err_(err) {}

  // Writes "Title: text" to standard error; questions are answered No.
  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  // Takes the next file of the list; none left counts as cancelled.
  std::optional<std::string> OpenFile(const std::string& title,
                                      const std::string& filter) override;

 private:
  std::deque<std::string> files_;
  std::FILE* err_;
};

// Shows "Processing Record Number: n" on standard error when it is a
// terminal, a few times a second at most.
class CliRunView : public RunView {
 public:
  explicit CliRunView(std::FILE* err);
  void RecordStarted(int32_t rec_ctr, double fraction) override;
  void RunEnded() override;

 private:
  std::FILE* err_;
  bool terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point last_;
};

// Turns Ctrl+C into the Exit command: the run records "Test Aborted".
class CliEventPump : public EventPump {
 public:
  CliEventPump();
  void set_run(TestRun* run) { run_ = run; }
  void ProcessEvents() override;

 private:
  TestRun* run_ = nullptr;
};

}  // namespace lintaro

#endif  // LINTARO_CLI_CLI_PLATFORM_H_
