// Every refusal of the API: its status and error object, written into
// errors.trace beside this file (LINTARO_UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "serve/service_harness.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"

namespace lintaro::testing {
namespace {

// "METHOD PATH -> STATUS BODY", with the ids of checks written ID.
std::string Line(const std::string& what, const httplib::Result& res) {
  std::string line = what + " -> ";
  if (!res) return line + "no answer: " + httplib::to_string(res.error()) + "\n";
  line += std::to_string(res->status);
  if (res->has_header("Allow")) line += " Allow: " + res->get_header_value("Allow");
  if (res->has_header("WWW-Authenticate"))
    line += " WWW-Authenticate: " + res->get_header_value("WWW-Authenticate");
  line += " " + res->body + "\n";
  line = std::regex_replace(line, std::regex("\"id\":\"[A-Za-z0-9_-]{22}\""), "\"id\":\"NEW\"");
  line = std::regex_replace(line, std::regex("check [A-Za-z0-9_-]{22}"), "check ID");
  return std::regex_replace(line, std::regex("checks/[A-Za-z0-9_-]{22}"), "checks/NEW");
}

// The same for a request sent as it is, on a connection of its own: a
// request the client library cannot send.
std::string RawLine(const std::string& what, int port, const std::string& request) {
  const int fd = ConnectToLoopback(port, 5);
  std::string answer;
  if (fd >= 0 && send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                     static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, n);
  }
  if (fd >= 0) close(fd);
  const size_t space = answer.find(' ');
  const size_t body = answer.find("\r\n\r\n");
  if (space == std::string::npos || body == std::string::npos) return what + " -> no answer\n";
  return what + " -> " + answer.substr(space + 1, 3) + " " + answer.substr(body + 4) + "\n";
}

std::string Part(const std::string& boundary, const std::string& name, const std::string& file,
                 const std::string& bytes) {
  return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"" +
         (file.empty() ? "" : "; filename=\"" + file + "\"") + "\r\n\r\n" + bytes + "\r\n";
}

// The requests that any service refuses.
std::string BadRequests(const ServiceHarness& service, const std::string& done_id) {
  auto c = service.Client();
  const std::string b = "xyzzy";
  const std::string form = "multipart/form-data; boundary=" + b;
  const std::string sample = ReadWholeFile(kSamples + "clean.txt");
  const std::string check = "/api/v1/checks/" + done_id;
  std::string trace;
  trace +=
      Line("GET /api/v1/health with a body", c->Get("/api/v1/health", {{"Content-Length", "3"}}));
  trace += Line("GET /api/v1/checks/AAAAAAAAAAAAAAAAAAAAAA",
                c->Get("/api/v1/checks/AAAAAAAAAAAAAAAAAAAAAA"));
  trace += Line("GET /api/v1/checks/..", c->Get("/api/v1/checks/%2E%2E/report"));
  trace += Line("DELETE /api/v1/checks/AAAAAAAAAAAAAAAAAAAAAA",
                c->Delete("/api/v1/checks/AAAAAAAAAAAAAAAAAAAAAA"));
  trace += Line("GET /api/v2", c->Get("/api/v2"));
  trace += Line("PUT /api/v1/checks", c->Put("/api/v1/checks", sample, "application/octet-stream"));
  trace += Line("POST /api/v1/health", c->Post("/api/v1/health", "x", "text/plain"));
  trace += Line("DELETE /api/v1/checks", c->Delete("/api/v1/checks"));
  trace += Line("POST /api/v1/checks text/plain", c->Post("/api/v1/checks", sample, "text/plain"));
  trace += Line("POST /api/v1/checks?max_errors=0",
                c->Post("/api/v1/checks?max_errors=0", sample, "application/octet-stream"));
  // A body without its length ends where the connection does: one cut short
  // would look whole.
  trace += RawLine("POST /api/v1/checks without a length", service.port,
                   "POST /api/v1/checks HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                   "Content-Type: application/octet-stream\r\nConnection: close\r\n\r\n");
  const struct {
    const char* what;
    std::string parts;
    bool whole;  // with the closing boundary
  } forms[] = {{"max_errors=25001",
                Part(b, "max_errors", "", "25001") + Part(b, "file", "a.txt", sample), true},
               {"max_errors after the file",
                Part(b, "file", "a.txt", sample) + Part(b, "max_errors", "", "3"), true},
               {"without a file", Part(b, "note", "", "hello"), true},
               {"cut short", Part(b, "file", "a.txt", sample), false}};
  for (const auto& f : forms)
    trace += Line(std::string("POST form ") + f.what,
                  c->Post("/api/v1/checks", f.parts + (f.whole ? "--" + b + "--\r\n" : ""), form));
  // Without a token: another host name (a name rebound to loopback) and
  // other sites' pages are refused; this machine's own names and pages not.
  const std::string port = ":" + std::to_string(service.port);
  const std::string none = "/api/v1/checks/AAAAAAAAAAAAAAAAAAAAAA";
  for (const std::string host : {"rebound.example", "127.0.0.1.example", "localhost", "[::1]"})
    trace += Line("GET " + none + " Host: " + host, c->Get(none.c_str(), {{"Host", host + port}}));
  trace += Line("GET /api/v1/checks/x Host: 127.0.0.1 without a port",
                c->Get("/api/v1/checks/x", {{"Host", "127.0.0.1"}}));
  const std::string upload = Part(b, "file", "a.txt", sample) + "--" + b + "--\r\n";
  for (const char* origin : {"http://other.example", "null"})
    trace += Line(std::string("POST form Origin: ") + origin,
                  c->Post("/api/v1/checks", {{"Origin", origin}}, upload, form));
  trace += Line("POST an empty form Origin: the service's own",
                c->Post("/api/v1/checks", {{"Origin", "http://127.0.0.1" + port}},
                        "--" + b + "--\r\n", form));
  trace += Line("DELETE " + none + " Origin: http://localhost:1",
                c->Delete(none.c_str(), {{"Origin", "http://localhost:1"}}));
  // Queries of the finished check that are refused.
  for (const char* query :
       {"report?format=pdf", "report?employer=12", "report?employer=99-9999999", "records?limit=0",
        "records?with_errors=2", "records?offset=-1", "records/0", "records/99999"})
    trace += Line(std::string("GET ") + query, c->Get((check + "/" + query).c_str()));
  return trace;
}

// Refusals that need a check running: a report or records too early, a
// full queue; and the ones of a small upload bound.
TEST(ServeErrors, EveryRefusalHasItsStatusAndMessage) {
  TempDir files;
  const std::string big = files.str() + "/big.txt";
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --records 3000 " + big).status, 0);
  ServiceHarness service([](ServiceOptions& o) {
    o.jobs = 1;
    o.max_waiting = 1;
    o.max_upload_bytes = 1024 * 1024 * 150;
  });
  const std::string done = service.Submit({kSamples + "clean.txt"});
  service.WaitFor(done);
  std::string trace = BadRequests(service, done);

  // Running until the rest of its upload comes, which it never does.
  HeldUpload held(service, big, size_t{2} << 20);
  const std::string running = held.RunningCheck();
  const std::string queued = service.Submit({kSamples + "mistakes.txt"});
  auto c = service.Client();
  const nlohmann::json waiting = service.Get("/api/v1/checks/" + queued);
  trace += "queued: state " + waiting["state"].dump() + ", position " +
           waiting["queue_position"].dump() + "\n";
  trace += Line("GET report of a queued check",
                c->Get(("/api/v1/checks/" + queued + "/report").c_str()));
  trace += Line("GET records of a running check",
                c->Get(("/api/v1/checks/" + running + "/records").c_str()));
  trace += Line("POST with one check waiting", service.Upload({kSamples + "clean.txt"}));
  trace += Line("DELETE the running check", c->Delete(("/api/v1/checks/" + running).c_str()));
  trace += Line("GET the deleted check", c->Get(("/api/v1/checks/" + running).c_str()));
  held.Finish(/*cut=*/true);
  const nlohmann::json after = service.WaitFor(queued);
  trace += "the queued check then: " + after["state"].dump() + " " + after["outcome"].dump() + "\n";
  // Its results changed behind the service, after they were read whole: a
  // finding of a record they do not hold would be left out of the list, so
  // neither a report nor the grids are given.
  EXPECT_EQ(c->Get(("/api/v1/checks/" + queued + "/records").c_str())->status, 200);
  ASSERT_EQ(RunShell("sqlite3 '" + service.data + "/" + queued +
                     "/ERRLOG2C.MDB' 'UPDATE ERRORS SET Rec_Num = 99 WHERE Err_Num = 2'")
                .status,
            0);
  for (const char* read :
       {"report?format=csv", "records", "records/3", "records/3/findings", "employers"})
    trace += Line(std::string("GET ") + read + " of damaged results",
                  c->Get(("/api/v1/checks/" + queued + "/" + read).c_str()));
  // Nor does the verdict the check gave stand any longer, for results
  // damaged or deleted since.
  std::filesystem::remove(service.data + "/" + done + "/ERRLOG2C.MDB");
  for (const auto& [what, id] : {std::pair{"damaged", queued}, std::pair{"deleted", done}}) {
    const nlohmann::json now = service.Get("/api/v1/checks/" + id);
    trace += std::string("the check of ") + what + " results: " + now["state"].dump() + " " +
             now["outcome"].dump() + " " + now["problem"].dump() + " summary " +
             now["summary"].dump() + "\n";
    const nlohmann::json list = service.Get("/api/v1/checks");
    for (const nlohmann::json& listed : list["checks"])
      if (listed["id"] == id) trace += std::string("  listed: ") + listed["outcome"].dump() + "\n";
    auto events = c->Get(("/api/v1/checks/" + id + "/events").c_str());
    trace += std::string("  its events say: ") +
             (events && events->body.find("\"outcome\":\"unreadable\"") != std::string::npos
                  ? "unreadable"
                  : "something else") +
             "\n";
  }
  service.Stop();
  EXPECT_FALSE(std::filesystem::exists(service.data + "/" + running));
  ExpectFileHolds(LINTARO_SOURCE_DIR "/tests/serve/errors.trace", trace);
}

// An upload over the bound is refused before it is stored whole, with a
// length given or streamed in chunks without one, and nothing of it stays:
// each answer is in too_large.trace beside this file.
TEST(ServeErrors, AnUploadOverTheBoundGets413) {
  ServiceHarness service([](ServiceOptions& o) { o.max_upload_bytes = 8 * 1024; });
  auto c = service.Client();
  const std::string sample = ReadWholeFile(kSamples + "mistakes.txt");
  ASSERT_GT(sample.size(), 8u * 1024);
  std::string trace;
  trace += Line("POST 16 KB with its length",
                c->Post("/api/v1/checks", sample, "application/octet-stream"));
  size_t sent = 0;
  auto chunks = [&](size_t, httplib::DataSink& sink) {
    const size_t n = std::min<size_t>(1024, sample.size() - sent);
    sink.write(sample.data() + sent, n);
    sent += n;
    if (sent == sample.size()) sink.done();
    return true;
  };
  trace +=
      Line("POST 16 KB in chunks", c->Post("/api/v1/checks", chunks, "application/octet-stream"));
  httplib::MultipartFormDataItems items = {{"file", sample, "m.txt", "application/octet-stream"}};
  trace += Line("POST 16 KB as a form", c->Post("/api/v1/checks", items));
  ExpectFileHolds(LINTARO_SOURCE_DIR "/tests/serve/too_large.trace", trace);
  EXPECT_TRUE(std::filesystem::is_empty(service.data));
  EXPECT_EQ(service.Get("/api/v1/checks")["checks"].size(), 0u);
}

// Every operation of the OpenAPI document declares the answers it gives: as
// asked, without the token, addressed to another name, about a check that
// is not there, a GET with a body, and over results that cannot be read.
TEST(ServeErrors, EveryAnswerIsOneTheOpenApiDocumentDeclares) {
  ServiceHarness service;
  ServiceHarness guarded([](ServiceOptions& o) { o.token = "s3cret-token"; });
  const nlohmann::json paths = service.Get("/api/v1/openapi.json")["paths"];
  const std::string done = service.Submit({kSamples + "mistakes.txt"});
  service.WaitFor(done);
  const std::string damaged = service.Submit({kSamples + "mistakes.txt"});
  service.WaitFor(damaged);
  ASSERT_EQ(RunShell("sqlite3 '" + service.data + "/" + damaged +
                     "/ERRLOG2C.MDB' 'UPDATE ERRORS SET Rec_Num = 99 WHERE Err_Num = 2'")
                .status,
            0);
  auto c = service.Client();
  httplib::Client anonymous("127.0.0.1", guarded.port);
  const std::string sample = ReadWholeFile(kSamples + "clean.txt");
  const httplib::Headers rebound = {{"Host", "rebound.example:" + std::to_string(service.port)}};
  for (const auto& [templ, operations] : paths.items()) {
    for (const auto& [method, operation] : operations.items()) {
      if (method == "parameters") continue;
      auto path_of = [&](const std::string& id) {
        std::string path = std::regex_replace(templ, std::regex("\\{id\\}"), id);
        return std::regex_replace(path, std::regex("\\{number\\}"), "3");
      };
      auto send = [&](httplib::Client& client, const std::string& path,
                      const httplib::Headers& headers, bool with_body = false) {
        if (method == "post") return client.Post(path, headers, sample, "application/octet-stream");
        if (method == "delete") return client.Delete(path, headers);
        if (with_body) return client.Get(path, {{"Content-Length", "3"}});
        return client.Get(path, headers);
      };
      std::vector<std::pair<std::string, httplib::Result>> answers;
      if (method != "delete") answers.emplace_back("as asked", send(*c, path_of(done), {}));
      answers.emplace_back("addressed to another name", send(*c, path_of(done), rebound));
      answers.emplace_back("without the token", send(anonymous, path_of(done), {}));
      if (templ.find("{id}") != std::string::npos) {
        answers.emplace_back("of no check", send(*c, path_of("AAAAAAAAAAAAAAAAAAAAAA"), {}));
        if (method == "get")
          answers.emplace_back("of damaged results", send(*c, path_of(damaged), {}));
      }
      if (method == "get") answers.emplace_back("with a body", send(*c, path_of(done), {}, true));
      for (const auto& [what, res] : answers) {
        ASSERT_TRUE(res) << method << " " << templ << " " << what;
        const std::string status = std::to_string(res->status);
        EXPECT_TRUE(operation["responses"].contains(status))
            << method << " " << templ << " " << what << ": " << status << " " << res->body;
      }
    }
  }
}

}  // namespace
}  // namespace lintaro::testing
