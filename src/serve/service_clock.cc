#include "serve/service_clock.h"

#include <ctime>

namespace lintaro {

int64_t SystemServiceClock::Now() { return static_cast<int64_t>(std::time(nullptr)); }

std::string IsoTime(int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace lintaro
