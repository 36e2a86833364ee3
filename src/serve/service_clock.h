// The wall clock of the service: when checks were made and ended, and so
// when their folders are deleted. Tests set it.
#ifndef LINTARO_SERVE_SERVICE_CLOCK_H_
#define LINTARO_SERVE_SERVICE_CLOCK_H_

#include <atomic>
#include <cstdint>
#include <string>

namespace lintaro {

class ServiceClock {
 public:
  virtual ~ServiceClock() = default;
  // Seconds since 1970-01-01 UTC.
  virtual int64_t Now() = 0;
};

class SystemServiceClock : public ServiceClock {
 public:
  int64_t Now() override;
};

// A clock that stands still until it is set; safe to set from another thread.
class SetServiceClock : public ServiceClock {
 public:
  explicit SetServiceClock(int64_t now) : now_(now) {}
  int64_t Now() override { return now_.load(); }
  void Set(int64_t now) { now_.store(now); }

 private:
  std::atomic<int64_t> now_;
};

// "2026-12-07T09:30:00Z".
std::string IsoTime(int64_t seconds);

}  // namespace lintaro

#endif  // LINTARO_SERVE_SERVICE_CLOCK_H_
