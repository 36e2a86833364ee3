// A guard for tests that hand a named pipe to code that must never wait on
// it: should that code wait anyway, the guard, after ten seconds, opens the
// pipe's two ends again and again until it is dismissed, so that a waiting
// open, read or write ends (a write fails: SIGPIPE is ignored) and the test
// fails on what was done instead of hanging.
#ifndef LINTARO_TESTS_SUPPORT_PIPE_RELEASE_H_
#define LINTARO_TESTS_SUPPORT_PIPE_RELEASE_H_

#include <future>
#include <string>
#include <thread>

namespace lintaro::testing {

class PipeRelease {
 public:
  explicit PipeRelease(std::string pipe);
  // Dismisses the guard (joins its thread).
  ~PipeRelease();
  PipeRelease(const PipeRelease&) = delete;
  PipeRelease& operator=(const PipeRelease&) = delete;

 private:
  std::string pipe_;
  std::promise<void> done_;
  std::thread thread_;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_PIPE_RELEASE_H_
