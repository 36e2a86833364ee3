// The service's log: one line per request on its log stream, in one fixed
// form:
//
//   2026-12-07T09:30:00Z GET /api/v1/checks/ID/report?format=&employer= 200 5120 12.3ms
//
// (time, method, path with the query's names but not its values, status,
// bytes of the answer's body, time taken). Headers, bodies and query values
// are never written, so neither a token nor anything of a submission is.
#ifndef LINTARO_SERVE_REQUEST_LOG_H_
#define LINTARO_SERVE_REQUEST_LOG_H_

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <unordered_map>

#include "serve/service_clock.h"

namespace lintaro {

class RequestLog {
 public:
  RequestLog(std::FILE* out, ServiceClock& clock) : out_(out), clock_(clock) {}
  // The request was routed: its time starts.
  void Started(const httplib::Request& req);
  // The answer was written.
  void Ended(const httplib::Request& req, const httplib::Response& res);

 private:
  std::FILE* out_;
  ServiceClock& clock_;
  std::mutex mutex_;
  std::unordered_map<const void*, std::chrono::steady_clock::time_point> started_;
};

// The path of req with its query's names and without their values.
std::string LoggedPath(const httplib::Request& req);

}  // namespace lintaro

#endif  // LINTARO_SERVE_REQUEST_LOG_H_
