#include "platform/platform.h"

#include <cstdio>
#include <ctime>

namespace lintaro {

Date SystemClock::Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Answer UnattendedAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::kOk:
      return Answer::kOk;
    case Buttons::kYesNo:
      return Answer::kNo;
    case Buttons::kOkCancel:
      return Answer::kCancel;
  }
  return Answer::kOk;
}

std::string FormatDate(const Date& date) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", date.month % 100, date.day % 100,
                date.year % 10000);
  return buf;
}

std::string ToLineFeeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace lintaro
