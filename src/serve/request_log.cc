#include "serve/request_log.h"

#include <set>

namespace lintaro {

std::string LoggedPath(const httplib::Request& req) {
  std::string path;
  for (char c : req.path) path += (static_cast<unsigned char>(c) < 0x21 || c == 0x7f) ? '?' : c;
  std::set<std::string> names;
  for (const auto& [name, value] : req.params) names.insert(name);
  char sep = '?';
  for (const std::string& name : names) {
    for (char c : name) {
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') continue;
      return path + sep + "...";
    }
    path += sep + name + "=";
    sep = '&';
  }
  return path;
}

void RequestLog::Started(const httplib::Request& req) {
  std::lock_guard<std::mutex> lock(mutex_);
  started_[&req] = std::chrono::steady_clock::now();
}

void RequestLog::Ended(const httplib::Request& req, const httplib::Response& res) {
  std::string took = "-";
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = started_.find(&req);
    if (it != started_.end()) {
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - it->second)
              .count();
      char text[32];
      std::snprintf(text, sizeof text, "%.1fms", ms);
      took = text;
      started_.erase(it);
    }
  }
  if (out_ == nullptr) return;
  const size_t bytes = res.body.empty() ? res.content_length_ : res.body.size();
  std::string method;
  for (char c : req.method) method += std::isupper(static_cast<unsigned char>(c)) ? c : '?';
  std::fprintf(out_, "%s %s %s %d %zu %s\n", IsoTime(clock_.Now()).c_str(),
               method.empty() ? "-" : method.c_str(), LoggedPath(req).c_str(), res.status, bytes,
               took.c_str());
  std::fflush(out_);
}

}  // namespace lintaro
