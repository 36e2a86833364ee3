// Every refusal of the API: the requests and their answers are the
// exchanges of errors.trace and too_large.trace beside this file
// (LINTARO_UPDATE_GOLDEN=1 rewrites the answers).
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "serve/service_harness.h"
#include "support/cli_runner.h"

namespace lintaro::testing {
namespace {

// Refusals that need a check running: a report or records too early, a
// full queue; and those of results damaged or deleted since their check.
TEST(ServeErrors, EveryRefusalHasItsStatusAndMessage) {
  TempDir files;
  ServiceHarness service([](ServiceOptions& o) {
    o.jobs = 1;
    o.max_waiting = 1;
    o.max_upload_bytes = 1024 * 1024 * 150;
  });
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/errors.trace");
  trace.Set("clean", ReadWholeFile(kSamples + "clean.txt"), false);
  trace.Set("port", std::to_string(service.port), false);
  const std::string done = service.Submit({kSamples + "clean.txt"});
  service.WaitFor(done);
  trace.Set("done", done);
  trace.Run("refused by any service", service.port);

  // Running until the rest of its upload comes, which it does only once the
  // check was deleted.
  HeldUpload held(service, Generated(files, 3000), size_t{2} << 20);
  const std::string running = held.RunningCheck();
  const std::string queued = service.Submit({kSamples + "mistakes.txt"});
  trace.Set("running", running);
  trace.Set("queued", queued);
  trace.Run("while one check runs and one waits", service.port);
  EXPECT_NE(held.Finish(), 202);  // the rest of its upload is refused
  service.WaitFor(queued);
  trace.Run("once the running check is gone", service.port);
  // Its results changed behind the service, after they were read whole: a
  // finding of a record they do not hold would be left out of the list, so
  // neither a report nor the grids are given, nor does the verdict stand.
  ASSERT_EQ(RunShell("sqlite3 '" + service.data + "/" + queued +
                     "/ERRLOG2C.MDB' 'UPDATE ERRORS SET Rec_Num = 99 WHERE Err_Num = 2'")
                .status,
            0);
  trace.Run("its results changed since", service.port);
  std::filesystem::remove(service.data + "/" + done + "/ERRLOG2C.MDB");
  trace.Run("the other's results deleted since", service.port);
  service.Stop();
  EXPECT_FALSE(std::filesystem::exists(service.data + "/" + running));
  trace.Check();
}

// An upload over the bound is refused before it is stored whole, with a
// length given or streamed in chunks without one, and nothing of it stays.
TEST(ServeErrors, AnUploadOverTheBoundGets413) {
  ServiceHarness service([](ServiceOptions& o) { o.max_upload_bytes = 8 * 1024; });
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/too_large.trace");
  trace.Set("mistakes", ReadWholeFile(kSamples + "mistakes.txt"), false);
  ASSERT_GT(std::filesystem::file_size(kSamples + "mistakes.txt"), 8u * 1024);
  trace.Run("over a bound of 8 KB", service.port);
  trace.Check();
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
