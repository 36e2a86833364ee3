// SIGINT, SIGTERM and SIGHUP (Ctrl+C in the terminal the program was
// started from, a terminal that closed, a logout or kill) as events of the
// window. The handler only writes the signal's number into a pipe whose
// reading end the event loop watches, so a signal never cuts a write short:
// a report being saved is whole, or its temporary file removed, before the
// window hears of it. A check in progress hears of it at its next record,
// as it hears of Exit.
#ifndef LINTARO_UI_SIGNAL_STOP_H_
#define LINTARO_UI_SIGNAL_STOP_H_

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace lintaro {

class SignalStop : public QObject {
  Q_OBJECT

 public:
  // Installs the handlers of the three signals; on_signal is called from
  // the event loop with the first signal that came. A second signal ends
  // the program at once, as it ends lintaro-cli.
  explicit SignalStop(std::function<void(int signal)> on_signal, QObject* parent = nullptr);
  // Puts back the default actions.
  ~SignalStop() override;
  SignalStop(const SignalStop&) = delete;
  SignalStop& operator=(const SignalStop&) = delete;

  // The signal that came, or 0.
  int signal() const { return signal_; }
  // 128 + the signal: 130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP.
  int exit_status() const { return 128 + signal_; }

 private:
  void Read();

  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  std::function<void(int)> on_signal_;
  int signal_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_UI_SIGNAL_STOP_H_
