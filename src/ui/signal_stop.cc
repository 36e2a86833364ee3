#include "ui/signal_stop.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace lintaro {
namespace {

// The pipe's writing end, for the handler (one SignalStop at a time).
std::atomic<int> g_write_fd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free fd");

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void SetActions(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  for (int s : kStopSignals) sigaddset(&action.sa_mask, s);
  for (int s : kStopSignals) sigaction(s, &action, nullptr);
}

void OnStopSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  const int fd = g_write_fd.load();
  // A full pipe already holds a signal for the window.
  if (fd >= 0 && ::write(fd, &number, 1) < 0) errno = saved;
  // Whichever of them comes next ends the program at once (sigaction is
  // async-signal-safe).
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  for (int s : kStopSignals) sigaction(s, &fallback, nullptr);
  errno = saved;
}

}  // namespace

SignalStop::SignalStop(std::function<void(int)> on_signal, QObject* parent)
    : QObject(parent), on_signal_(std::move(on_signal)) {
  // Without the pipe the signals keep their default actions.
  if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalStop::Read);
  g_write_fd.store(fds_[1]);
  SetActions(OnStopSignal);
}

SignalStop::~SignalStop() {
  SetActions(SIG_DFL);
  g_write_fd.store(-1);
  delete notifier_;
  for (int fd : fds_)
    if (fd >= 0) ::close(fd);
}

void SignalStop::Read() {
  unsigned char number = 0;
  ssize_t n;
  while ((n = ::read(fds_[0], &number, 1)) < 0 && errno == EINTR) {
  }
  if (n != 1 || signal_ != 0) return;
  signal_ = number;
  if (on_signal_) on_signal_(signal_);
}

}  // namespace lintaro
