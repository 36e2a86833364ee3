// A cheap, frequent hand-over to the window's event processing.
//
// The checks yield once per character they examine; a real event pump is
// called only every `every` yields, and with no pump (the command line) a
// yield is a single test.
#ifndef LINTARO_PLATFORM_YIELDER_H_
#define LINTARO_PLATFORM_YIELDER_H_

#include "platform/platform.h"

namespace lintaro {

class Yielder {
 public:
  explicit Yielder(EventPump* pump = nullptr, unsigned every = 4096)
      : pump_(pump), every_(every == 0 ? 1 : every) {}

  // Counts `characters` characters examined (one by default).
  void Yield(unsigned characters = 1) {
    if (pump_ != nullptr && (count_ += characters) >= every_) {
      count_ = 0;
      pump_->ProcessEvents();
    }
  }
  // Processes events now (once per record).
  void YieldNow() {
    if (pump_ != nullptr) {
      count_ = 0;
      pump_->ProcessEvents();
    }
  }

 private:
  EventPump* pump_;
  unsigned every_;
  unsigned count_ = 0;
};

}  // namespace lintaro

#endif  // LINTARO_PLATFORM_YIELDER_H_
