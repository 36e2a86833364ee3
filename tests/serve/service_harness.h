// A running service for the API tests: HttpService on a loopback port
// chosen by the system, over a data folder of its own, with a clock the
// test sets, and an HTTP client for it.
#ifndef LINTARO_TESTS_SERVE_SERVICE_HARNESS_H_
#define LINTARO_TESTS_SERVE_SERVICE_HARNESS_H_

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "serve/http_service.h"
#include "support/fakes.h"

namespace lintaro::testing {

inline constexpr int64_t kTestEpoch = 1796000000;  // 2026-11-30
// The example submissions: clean.txt and mistakes.txt.
inline const std::string kSamples = LINTARO_SOURCE_DIR "/samples/";

// A TCP connection of the test's own to port on 127.0.0.1, each read on it
// waiting up to wait_seconds (receive_buffer: the socket's, when not 0);
// -1 when it cannot be made.
int ConnectToLoopback(int port, int wait_seconds, int receive_buffer = 0);

class ServiceHarness {
 public:
  // Starts the service; change options through adjust before it starts.
  // data_folder: the service's (default: a new one); now: its clock at start.
  explicit ServiceHarness(const std::function<void(ServiceOptions&)>& adjust = {},
                          std::string data_folder = "", int64_t now = kTestEpoch);
  ~ServiceHarness();

  std::unique_ptr<httplib::Client> Client() const;
  // POSTs each file as a `file` part, in order; the answer.
  httplib::Result Upload(const std::vector<std::string>& files,
                         const std::string& query = "") const;
  // The id of a check uploaded and accepted.
  std::string Submit(const std::vector<std::string>& files, const std::string& query = "") const;
  // The check's status once it satisfies until (by default: it ended), or
  // a failure after timeout.
  nlohmann::json WaitFor(const std::string& id,
                         const std::function<bool(const nlohmann::json&)>& until = {},
                         std::chrono::seconds timeout = std::chrono::seconds(60)) const;
  nlohmann::json Get(const std::string& path) const;
  // Everything logged so far.
  std::string Log() const;
  void Stop(int grace_ms = 0);

  TempDir dir;
  std::string data;
  SetServiceClock clock{kTestEpoch};
  std::string log_path;
  std::FILE* log = nullptr;
  ServiceOptions options;
  std::unique_ptr<HttpService> service;
  int port = 0;
};

// An upload sent in two steps: the first `first_bytes` of file at once,
// the rest when Finish is called (or nothing more, the request cut, when
// Cut is). A check starts with the first part and is running until then.
class HeldUpload {
 public:
  HeldUpload(const ServiceHarness& service, const std::string& file, size_t first_bytes);
  ~HeldUpload();
  // The id of the check that runs on the first part, once it tested a
  // record; empty after a timeout.
  std::string RunningCheck(std::chrono::seconds timeout = std::chrono::seconds(30)) const;
  // Sends the rest (cut: closes the connection instead); the answer's
  // status, or -1 when the connection ended without one.
  int Finish(bool cut = false);

 private:
  const ServiceHarness& service_;
  std::string bytes_;
  size_t first_bytes_;
  bool cut_ = false;
  std::promise<void> rest_;
  int status_ = -1;
  std::thread client_;
};

// The id of the check whose upload res accepted (202); else a failure
// naming what, and "".
std::string AcceptedId(const httplib::Result& res, const std::string& what);

struct RunningCli;
// What a lintaro-cli started in the background wrote on standard error so far.
std::string ErrSoFar(const RunningCli& running);
// The port of its "lintaro-cli: serving on http://127.0.0.1:PORT/", once
// written; 0 when it did not come within five seconds.
int ServingPort(const RunningCli& running);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SERVE_SERVICE_HARNESS_H_
