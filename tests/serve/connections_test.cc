// The service's connections as a client sees them on the socket: an answer
// that leaves the request's body unread ends the connection, and nothing
// sent after the refused request's head is taken as a request of its own;
// ordinary answers keep the connection for the next request.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "serve/service_harness.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"
#include "support/recipe.h"

namespace lintaro::testing {
namespace {

namespace fs = std::filesystem;

// The service's own ends of the connections made to port: the sockets of
// this process (the service runs in the test's) that took a connection on
// that port.
std::vector<int> AcceptedSockets(int port) {
  std::vector<int> sockets;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc/self/fd")) {
    const int fd = std::stoi(entry.path().filename().string());
    sockaddr_in local{};
    socklen_t size = sizeof local;
    int listening = 0;
    socklen_t flag_size = sizeof listening;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) == 0 &&
        local.sin_family == AF_INET && ntohs(local.sin_port) == port &&
        getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &flag_size) == 0 && !listening)
      sockets.push_back(fd);
  }
  return sockets;
}

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

// Requests refused before their body is read, the body being another
// request: a DELETE of a check, which must never be answered. Each line of
// refused_heads.trace beside this file is the service asked (open or
// guarded), the head sent and, after "->", the answer's status and error
// code (LINTARO_UPDATE_GOLDEN=1 rewrites them).
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
  const std::string path = LINTARO_SOURCE_DIR "/tests/serve/refused_heads.trace";
  std::map<const ServiceHarness*, size_t> logged = {{&open, LogLinesOnceAtLeast(open)},
                                                    {&guarded, LogLinesOnceAtLeast(guarded)}};
  std::string trace;
  std::istringstream lines(ReadWholeFile(path));
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, std::regex("(open|guarded) (.*?)( -> .*)?"))) {
      trace += line + "\n";
      continue;
    }
    const bool token = m[1] == "guarded";
    const ServiceHarness& service = token ? guarded : open;
    const std::string id = token ? guarded_check : check;
    const std::string smuggled = "DELETE /api/v1/checks/" + id +
                                 " HTTP/1.1\r\nHost: localhost\r\n" +
                                 (token ? "Authorization: Bearer s3cret-token\r\n" : "") + "\r\n";
    std::string head = std::regex_replace(Unescape(m[2].str()), std::regex("LENGTH"),
                                          std::to_string(smuggled.size()));
    head = std::regex_replace(head, std::regex("CHECK"), id);
    std::string answered;
    // The body comes with the head, or once the refusal came.
    for (const bool at_once : {true, false}) {
      SCOPED_TRACE(line + (at_once ? ", sent at once" : ", sent after the answer"));
      const size_t before = LogLinesOnceAtLeast(service, logged[&service]);
      RawConnection connection(service.port);
      ASSERT_TRUE(connection.Send(at_once ? head + smuggled : head));
      const std::optional<Answer> answer = connection.ReadAnswer(head.rfind("HEAD", 0) == 0);
      ASSERT_TRUE(answer);
      EXPECT_NE(answer->head.find("\r\nConnection: close\r\n"), std::string::npos) << answer->head;
      const nlohmann::json error = nlohmann::json::parse(answer->body, nullptr, false);
      const std::string code =
          error.is_object() ? " " + error["error"]["code"].get<std::string>() : answer->body;
      const std::string now = std::to_string(answer->status) + code;
      if (at_once) answered = now;
      EXPECT_EQ(now, answered);
      if (!at_once) connection.Send(smuggled);
      EXPECT_EQ(connection.Rest(), "ended");
      EXPECT_EQ(LogLines(service), before + 1) << service.Log();
      EXPECT_NE(LastLogLine(service).find(" " + std::to_string(answer->status) + " "),
                std::string::npos)
          << LastLogLine(service);
      ASSERT_EQ(service.Client()->Get(("/api/v1/checks/" + id).c_str())->status, 200);
      logged[&service] = before + 2;
    }
    trace += m[1].str() + " " + m[2].str() + " -> " + answered + "\n";
  }
  ExpectFileHolds(path, trace);
}

// A head that does not come whole in time is answered 408, whether its
// request line or its headers are still coming, and the connection ends:
// a client sending it a line now and then does not hold the connection.
TEST(ServeConnections, AHeadMustComeWholeInTime) {
  ServiceHarness service([](ServiceOptions& o) { o.head_timeout_ms = 200; });
  for (const bool headers_trickle : {false, true}) {
    SCOPED_TRACE(headers_trickle ? "headers sent a line at a time" : "a request line unfinished");
    const size_t before = LogLinesOnceAtLeast(service);
    RawConnection connection(service.port);
    ASSERT_TRUE(connection.Send(headers_trickle
                                    ? "GET /api/v1/health HTTP/1.1\r\nHost: localhost\r\n"
                                    : "GET /api/v1/hea"));
    for (int i = 0; headers_trickle && i < 5; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      connection.Send("X-Line-" + std::to_string(i) + ": more\r\n");
    }
    const std::optional<Answer> answer = connection.ReadAnswer();
    ASSERT_TRUE(answer) << "no answer";
    EXPECT_EQ(answer->status, 408);
    EXPECT_EQ(nlohmann::json::parse(answer->body, nullptr, false)["error"]["code"],
              "request_timeout");
    EXPECT_NE(answer->head.find("\r\nConnection: close\r\n"), std::string::npos);
    EXPECT_EQ(connection.Rest(), "ended");
    EXPECT_EQ(LogLinesOnceAtLeast(service, before + 1), before + 1) << service.Log();
    EXPECT_NE(LastLogLine(service).find(" 408 "), std::string::npos) << LastLogLine(service);
  }
}

// A line of a chunked body is bounded as a head is: the library reads it
// whole before it looks at it. One that goes on and on is refused, and the
// upload leaves nothing.
TEST(ServeConnections, AChunksLengthLineIsBounded) {
  ServiceHarness service;
  RawConnection connection(service.port);
  ASSERT_TRUE(connection.Send(
      "POST /api/v1/checks?name=a.txt HTTP/1.1\r\nHost: localhost\r\n"
      "Content-Type: application/octet-stream\r\nTransfer-Encoding: chunked\r\n\r\n" +
      std::string(size_t{100} << 10, '0')));
  const std::optional<Answer> answer = connection.ReadAnswer();
  ASSERT_TRUE(answer) << "no answer";
  EXPECT_EQ(answer->status, 400);
  EXPECT_EQ(connection.Rest(), "ended");
  for (const auto& e : fs::recursive_directory_iterator(service.data)) ADD_FAILURE() << e.path();
}

// The page reads records one after another on one connection: ordinary
// answers keep it open, whether the next request waits for the answer or
// was sent right behind the first, and each goes whole at once (an answer's
// head and body are written apart: without TCP_NODELAY the body waited for
// the client to acknowledge the head, up to 40 ms for a client that delays
// it).
TEST(ServeConnections, OrdinaryRequestsShareAConnection) {
  ServiceHarness service;
  const std::string health = "GET /api/v1/health HTTP/1.1\r\nHost: localhost\r\n\r\n";
  RawConnection connection(service.port);
  ASSERT_TRUE(connection.Send(health));
  std::optional<Answer> first = connection.ReadAnswer();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->status, 200);
  EXPECT_EQ(first->head.find("Connection: close"), std::string::npos) << first->head;
  const std::vector<int> accepted = AcceptedSockets(service.port);
  ASSERT_EQ(accepted.size(), 1u);
  int no_delay = 0;
  socklen_t size = sizeof no_delay;
  ASSERT_EQ(getsockopt(accepted[0], IPPROTO_TCP, TCP_NODELAY, &no_delay, &size), 0);
  EXPECT_NE(no_delay, 0);
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
