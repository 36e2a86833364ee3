// The service's connections as a client sees them on the socket: an answer
// that leaves the request's body unread ends the connection, and nothing
// sent after the refused request's head is taken as a request of its own;
// ordinary answers keep the connection for the next request.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "serve/service_harness.h"

namespace lintaro::testing {
namespace {

struct Answer {
  int status = 0;
  std::string head;  // the status line and headers
  std::string body;
};

// A connection of the test's own to the service, each read waiting up to
// three seconds.
class RawConnection {
 public:
  // receive_buffer: the socket's, when not 0.
  explicit RawConnection(int port, int receive_buffer = 0)
      : fd_(ConnectToLoopback(port, 3, receive_buffer)), connected_(fd_ >= 0) {}
  ~RawConnection() {
    if (connected_) close(fd_);
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool Send(const std::string& bytes) {
    return connected_ && send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                             static_cast<ssize_t>(bytes.size());
  }

  // The next answer, its body as long as its Content-Length says (none for
  // the answer to a HEAD); nothing when the connection ends before it.
  std::optional<Answer> ReadAnswer(bool to_head = false) {
    size_t end;
    while ((end = unread_.find("\r\n\r\n")) == std::string::npos)
      if (!Receive()) return std::nullopt;
    Answer answer;
    answer.head = unread_.substr(0, end + 2);
    unread_.erase(0, end + 4);
    std::smatch m;
    if (!std::regex_search(answer.head, m, std::regex("^HTTP/1\\.1 ([0-9]{3}) ")))
      return std::nullopt;
    answer.status = std::stoi(m[1]);
    size_t length = 0;
    if (!to_head &&
        std::regex_search(answer.head, m, std::regex("\r\nContent-Length: ([0-9]+)\r\n")))
      length = std::stoul(m[1]);
    while (unread_.size() < length)
      if (!Receive()) return std::nullopt;
    answer.body = unread_.substr(0, length);
    unread_.erase(0, length);
    return answer;
  }

  // Whatever else comes, and how the connection then is: "ended" (the
  // service closed it), "reset" or "still open" (nothing more for three
  // seconds).
  std::string Rest() {
    while (Receive()) {
    }
    std::string rest = unread_;
    unread_.clear();
    if (!rest.empty()) rest += " ... ";
    return rest + (last_errno_ == 0            ? "ended"
                   : last_errno_ == ECONNRESET ? "reset"
                   : last_errno_ == EAGAIN     ? "still open"
                                               : "failed");
  }

 private:
  bool Receive() {
    char buffer[4096];
    const ssize_t n = connected_ ? recv(fd_, buffer, sizeof buffer, 0) : -1;
    last_errno_ = n < 0 ? (connected_ ? errno : ENOTCONN) : 0;
    if (n <= 0) return false;
    unread_.append(buffer, static_cast<size_t>(n));
    return true;
  }

  int fd_;
  bool connected_ = false;
  std::string unread_;
  int last_errno_ = 0;
};

size_t LogLines(const ServiceHarness& service) {
  const std::string log = service.Log();
  return static_cast<size_t>(std::count(log.begin(), log.end(), '\n'));
}

// The lines logged once there are at least n (none: once no more come for
// 100 ms). A request's line is written just after its answer, which the
// client may have read already.
size_t LogLinesOnceAtLeast(const ServiceHarness& service, std::optional<size_t> n = {}) {
  size_t lines = LogLines(service);
  for (int i = 0; i < 200; ++i) {
    if (n && lines >= *n) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(n ? 5 : 100));
    const size_t now = LogLines(service);
    if (!n && now == lines) break;
    lines = now;
  }
  return lines;
}

std::string LastLogLine(const ServiceHarness& service) {
  std::string log = service.Log();
  if (!log.empty()) log.pop_back();
  return log.substr(log.rfind('\n') + 1);
}

// A request refused before its body is read, the body being another
// request: a DELETE of a check, which must never be answered.
struct Refusal {
  const char* what;
  bool token;        // to the service with a token
  std::string head;  // LENGTH stands for the length of the body
  int status;
  const char* code;  // of the error object; "" for the answer to a HEAD, which has no body
};

TEST(ServeConnections, NothingAfterARefusedRequestsHeadIsTakenAsARequest) {
  // A check in each service; one service takes no more checks, and holds
  // its check from an earlier one on its folder.
  TempDir folder;
  const std::string data = folder.str() + "/data";
  std::string check;
  {
    ServiceHarness earlier({}, data);
    check = earlier.Submit({kSamples + "clean.txt"});
    earlier.WaitFor(check);
  }
  ServiceHarness open(
      [](ServiceOptions& o) {
        o.max_waiting = 0;
        o.max_upload_bytes = 8 * 1024;
      },
      data);
  ServiceHarness guarded([](ServiceOptions& o) { o.token = "s3cret-token"; });
  const std::string guarded_check = guarded.Submit({kSamples + "clean.txt"});
  guarded.WaitFor(guarded_check);

  const std::string upload =
      "POST /api/v1/checks HTTP/1.1\r\nHost: localhost\r\n"
      "Content-Type: application/octet-stream\r\n";
  const std::string length = "Content-Length: LENGTH\r\n\r\n";
  const Refusal refusals[] = {
      {"a page of another site", false,
       "POST /api/v1/checks HTTP/1.1\r\nHost: localhost\r\nOrigin: http://other.example\r\n"
       "Content-Type: text/plain\r\n" +
           length,
       403, "forbidden"},
      {"another host name", false,
       "POST /api/v1/checks HTTP/1.1\r\nHost: rebound.example\r\nContent-Type: text/plain\r\n" +
           length,
       403, "forbidden"},
      {"no token", true, upload + length, 401, "unauthorized"},
      {"GET with a body", false, "GET /api/v1/health HTTP/1.1\r\nHost: localhost\r\n" + length, 400,
       "bad_request"},
      {"HEAD with a body", false, "HEAD /api/v1/health HTTP/1.1\r\nHost: localhost\r\n" + length,
       400, ""},
      {"DELETE with a body", false,
       "DELETE /api/v1/checks/" + check + " HTTP/1.1\r\nHost: localhost\r\n" + length, 400,
       "bad_request"},
      {"POST where no body is taken", false,
       "POST /api/v1/health HTTP/1.1\r\nHost: localhost\r\nContent-Type: text/plain\r\n" + length,
       405, "method_not_allowed"},
      {"an upload of another type", false,
       "POST /api/v1/checks HTTP/1.1\r\nHost: localhost\r\nContent-Type: text/plain\r\n" + length,
       415, "unsupported_media_type"},
      {"an upload without its length", false, upload + "\r\n", 411, "length_required"},
      {"an upload over the bound", false, upload + "Content-Length: 900000\r\n\r\n", 413,
       "too_large"},
      {"a wrong max_errors", false,
       "POST /api/v1/checks?max_errors=0 HTTP/1.1\r\nHost: localhost\r\n"
       "Content-Type: application/octet-stream\r\n" +
           length,
       400, "bad_parameter"},
      {"an upload to a full queue", false, upload + length, 429, "queue_full"},
      {"a method the library does not know", false,
       "PROPFIND /api/v1/health HTTP/1.1\r\nHost: localhost\r\n" + length, 400, "bad_request"},
  };
  std::map<const ServiceHarness*, size_t> logged = {{&open, LogLinesOnceAtLeast(open)},
                                                    {&guarded, LogLinesOnceAtLeast(guarded)}};
  for (const Refusal& r : refusals) {
    const ServiceHarness& service = r.token ? guarded : open;
    const std::string id = r.token ? guarded_check : check;
    const std::string smuggled = "DELETE /api/v1/checks/" + id +
                                 " HTTP/1.1\r\nHost: localhost\r\n" +
                                 (r.token ? "Authorization: Bearer s3cret-token\r\n" : "") + "\r\n";
    const std::string head =
        std::regex_replace(r.head, std::regex("LENGTH"), std::to_string(smuggled.size()));
    // The body comes with the head, or once the refusal came.
    for (const bool at_once : {true, false}) {
      SCOPED_TRACE(std::string(r.what) + (at_once ? ", sent at once" : ", sent after the answer"));
      const size_t before = LogLinesOnceAtLeast(service, logged[&service]);
      RawConnection connection(service.port);
      ASSERT_TRUE(connection.Send(at_once ? head + smuggled : head));
      const std::optional<Answer> answer = connection.ReadAnswer(r.head.rfind("HEAD", 0) == 0);
      ASSERT_TRUE(answer);
      EXPECT_EQ(answer->status, r.status);
      EXPECT_NE(answer->head.find("\r\nConnection: close\r\n"), std::string::npos) << answer->head;
      if (*r.code != '\0') {
        const nlohmann::json error = nlohmann::json::parse(answer->body, nullptr, false);
        EXPECT_EQ(error.is_object() ? error["error"]["code"] : nullptr, r.code) << answer->body;
      }
      if (!at_once) connection.Send(smuggled);
      EXPECT_EQ(connection.Rest(), "ended");
      EXPECT_EQ(LogLines(service), before + 1) << service.Log();
      EXPECT_NE(LastLogLine(service).find(" " + std::to_string(r.status) + " "), std::string::npos)
          << LastLogLine(service);
      ASSERT_EQ(service.Client()->Get(("/api/v1/checks/" + id).c_str())->status, 200);
      logged[&service] = before + 2;
    }
  }
}

// The page reads records one after another on one connection: ordinary
// answers keep it open, whether the next request waits for the answer or
// was sent right behind the first.
TEST(ServeConnections, OrdinaryRequestsShareAConnection) {
  ServiceHarness service;
  const std::string health = "GET /api/v1/health HTTP/1.1\r\nHost: localhost\r\n\r\n";
  RawConnection connection(service.port);
  ASSERT_TRUE(connection.Send(health));
  std::optional<Answer> first = connection.ReadAnswer();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->status, 200);
  EXPECT_EQ(first->head.find("Connection: close"), std::string::npos) << first->head;
  ASSERT_TRUE(connection.Send(health));
  std::optional<Answer> second = connection.ReadAnswer();
  ASSERT_TRUE(second);
  EXPECT_EQ(second->status, 200);
  EXPECT_EQ(second->body, first->body);
  ASSERT_TRUE(connection.Send(health + health));
  for (int i = 0; i < 2; ++i) {
    std::optional<Answer> behind = connection.ReadAnswer();
    ASSERT_TRUE(behind) << "answer " << i + 1 << " to the two sent at once";
    EXPECT_EQ(behind->status, 200);
  }
}

// A refusal whose request's body is still coming is not lost to a reset:
// the connection ends as the client has read the answers, the page asked
// before and the refusal. Here the client's window is small, so that the
// answers are still on their way when the service is done with them.
TEST(ServeConnections, ARefusalBeforeItsBodyArrivesWhole) {
  ServiceHarness service;
  const std::string page = service.Client()->Get("/page.js")->body;
  const std::string body(size_t{32} << 10, 'x');
  RawConnection connection(service.port, 4096);
  ASSERT_TRUE(connection.Send(
      "GET /page.js HTTP/1.1\r\nHost: localhost\r\n\r\n"
      "POST /api/v1/checks HTTP/1.1\r\nHost: localhost\r\nOrigin: http://other.example\r\n"
      "Content-Type: text/plain\r\nContent-Length: " +
      std::to_string(body.size() * 2) + "\r\n\r\n" + body));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::optional<Answer> first = connection.ReadAnswer();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->status, 200);
  EXPECT_EQ(first->body, page);
  const std::optional<Answer> refusal = connection.ReadAnswer();
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->status, 403);
  EXPECT_EQ(nlohmann::json::parse(refusal->body, nullptr, false)["error"]["code"], "forbidden");
  EXPECT_EQ(connection.Rest(), "ended");
}

}  // namespace
}  // namespace lintaro::testing
