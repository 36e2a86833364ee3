#include "support/pipe_release.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

namespace lintaro::testing {

PipeRelease::PipeRelease(std::string pipe) : pipe_(std::move(pipe)) {
  std::signal(SIGPIPE, SIG_IGN);
  thread_ = std::thread([this, finished = done_.get_future()] {
    if (finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return;
    do {
      // A reader lets a waiting writer go on, and makes room for a writer,
      // which lets a waiting reader go on; both are closed at once.
      const int reader = open(pipe_.c_str(), O_RDONLY | O_NONBLOCK);
      const int writer = open(pipe_.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) close(writer);
      if (reader >= 0) close(reader);
    } while (finished.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
  });
}

PipeRelease::~PipeRelease() {
  done_.set_value();
  thread_.join();
}

}  // namespace lintaro::testing
