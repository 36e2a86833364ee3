#include "core/platform.h"

#include <cstdio>
#include <ctime>

namespace lintaro {

Date SystemClock::Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string FormatDate(const Date& date) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", date.month % 100, date.day % 100,
                date.year % 10000);
  return buf;
}

}  // namespace lintaro
