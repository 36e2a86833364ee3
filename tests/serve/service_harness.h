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
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

struct Answer {
  int status = 0;
  std::string head;  // the status line and headers
  std::string body;
};

// A connection of the test's own to the service, for requests as they are
// sent, each read waiting up to three seconds.
class RawConnection {
 public:
  // receive_buffer: the socket's, when not 0.
  explicit RawConnection(int port, int receive_buffer = 0);
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool Send(const std::string& bytes);
  // The next answer, its body as long as its Content-Length says (none for
  // the answer to a HEAD; to the end of the connection, unchunked, for one
  // without a length); nothing when the connection ends before it.
  std::optional<Answer> ReadAnswer(bool to_head = false);
  // Whatever else comes, and how the connection then is: "ended" (the
  // service closed it), "reset" or "still open" (nothing more for three
  // seconds).
  std::string Rest();

 private:
  bool Receive();

  int fd_;
  bool connected_ = false;
  std::string unread_;
  int last_errno_ = 0;
};

// A file of exchanges with the service: lines "REQUEST -> ANSWER" in
// sections headed "== NAME", notes starting "#". A request is "METHOD
// TARGET", the fields of a JSON answer to show in braces ("{state,
// summary.outcome}", each element's of an array), then " | Name: value" for
// each header and " | body TEXT" (escaped as in recipes). The answer is the
// status, the headers Allow, WWW-Authenticate, Content-Encoding,
// Content-Security-Policy, ETag (HASH for a page's) and Content-Type unless
// JSON, and a JSON body (of an event stream, its last event), any other
// written [body]. Each request goes on a connection of its own; a value the
// test named with Set stands as $NAME in requests (and answers), the ETag
// of the answer before as $etag, the check the last 202 created as $new,
// and the ids of other checks as NEW.
class Exchanges {
 public:
  explicit Exchanges(std::string path);
  void Set(const std::string& name, const std::string& value, bool in_answers = true);
  // Sends the section's requests to the service on port and writes their answers.
  void Run(const std::string& section, int port);
  // Compares the answers written with the file (LINTARO_UPDATE_GOLDEN=1 rewrites it).
  void Check() const;

 private:
  std::string path_;
  std::vector<std::string> lines_;
  struct Value {
    std::string name, value;
    bool in_answers;
  };
  std::vector<Value> values_;
  std::string written_;
};

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

// The answer's status; -1 for none.
int StatusOf(const httplib::Result& res);
// A clean submission of `records` records, generated in dir.
std::string Generated(const TempDir& dir, int records);

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
