// The service under load, as a process of its own (lintaro-cli serve
// --jobs 2): 50 uploads from 10 client threads, two of them large, with bad
// requests mixed in. Every check ends with the command line's result for
// its file, and the service's peak memory stays far below the size of what
// it was sent. LINTARO_LOAD_RECORDS sets the records of each large file
// (default 200,000); bench/serve-speed times the service.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "serve/service_harness.h"
#include "support/cli_runner.h"

namespace lintaro::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// What a check of the file gives: its summary without the paths, and the
// findings of its JSON report.
json ResultOf(const json& summary, const json& report) {
  return {{"outcome", summary["outcome"]},
          {"records_tested", summary["records_tested"]},
          {"records_with_errors", summary["records_with_errors"]},
          {"errors_found", summary["errors_found"]},
          {"critical_stop", summary["critical_stop"]},
          {"errors", report["errors"]}};
}

json CliResultOf(const std::string& file, const TempDir& dir, int n) {
  const std::string home = dir.str() + "/cli" + std::to_string(n);
  fs::create_directories(home);
  const CliResult check = RunCli({"check", "--format", "json", "--home", home, file});
  const CliResult report = RunCli({"report", "--format", "json", "--home", home});
  return ResultOf(json::parse(check.out), json::parse(report.out));
}

// Bad requests while the uploads go on; returns the connections of the
// clients that stop reading, to be closed at the end.
std::vector<std::unique_ptr<RawConnection>> BadRequests(int port, const std::string& sample) {
  std::vector<std::unique_ptr<RawConnection>> held;
  httplib::Client c("127.0.0.1", port);
  for (int i = 0; i < 5; ++i) {
    // A form cut before its last boundary.
    const std::string form =
        "--b\r\nContent-Disposition: form-data; name=\"file\"; filename=\"x\"\r\n\r\n" + sample;
    httplib::Result cut = c.Post("/api/v1/checks", form, "multipart/form-data; boundary=b");
    EXPECT_TRUE(cut && cut->status == 400);
    // A body that stops half-way, its connection closed.
    EXPECT_TRUE(RawConnection(port).Send(
        "POST /api/v1/checks?name=cut.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
        "application/octet-stream\r\nContent-Length: " +
        std::to_string(sample.size()) + "\r\n\r\n" + sample.substr(0, sample.size() / 2)));
    // A client that asks and never reads its answer, its connection held open.
    held.push_back(std::make_unique<RawConnection>(port));
    EXPECT_TRUE(held.back()->Send("GET /api/v1/checks HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
    // A check that does not exist.
    httplib::Result none = c.Get("/api/v1/checks/AAAAAAAAAAAAAAAAAAAAAA/report");
    EXPECT_TRUE(none && none->status == 404);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return held;
}

// Uploads a file as a raw body streamed from disk; the new check's id.
std::string StreamUpload(int port, const std::string& file) {
  httplib::Client c("127.0.0.1", port);
  c.set_write_timeout(60, 0);
  std::ifstream in(file, std::ios::binary);
  const size_t size = fs::file_size(file);
  std::vector<char> chunk(1 << 16);
  return AcceptedId(
      c.Post(("/api/v1/checks?name=" + fs::path(file).filename().string()).c_str(), size,
             [&](size_t, size_t, httplib::DataSink& sink) {
               in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
               return sink.write(chunk.data(), static_cast<size_t>(in.gcount()));
             },
             "application/octet-stream"),
      file);
}

std::string MultipartUpload(int port, const std::string& file) {
  httplib::Client c("127.0.0.1", port);
  httplib::MultipartFormDataItems items = {
      {"file", ReadWholeFile(file), fs::path(file).filename().string(), ""}};
  return AcceptedId(c.Post("/api/v1/checks", items), file);
}

// The peak resident memory of a process, in kB.
long PeakRssKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

TEST(ServeLoad, FiftyUploadsFromTenClientsWithBadRequestsAmongThem) {
  const char* env = std::getenv("LINTARO_LOAD_RECORDS");
  const std::string records = env != nullptr ? env : "200000";
  TempDir dir;
  const std::vector<std::string> files = {
      LINTARO_SOURCE_DIR "/samples/clean.txt", LINTARO_SOURCE_DIR "/samples/mistakes.txt",
      dir.str() + "/large-clean.txt", dir.str() + "/large-mistakes.txt"};
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --records " + records + " " + files[2]).status, 0);
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --mistakes --records " + records + " " + files[3]).status,
            0);
  std::vector<json> expected;
  for (size_t i = 0; i < files.size(); ++i) expected.push_back(CliResultOf(files[i], dir, i));

  RunningCli server = StartCli({"serve", "--listen", "127.0.0.1:0", "--data", dir.str() + "/data",
                                "--jobs", "2", "--quiet"});
  const int port = ServingPort(server);
  ASSERT_NE(port, 0) << ErrSoFar(server);
  std::mutex mutex;
  std::map<std::string, size_t> checks;  // id -> the file uploaded
  std::vector<std::thread> clients;
  for (int t = 0; t < 10; ++t) {
    clients.emplace_back([&, t] {
      for (int u = 0; u < 5; ++u) {
        const int n = t * 5 + u;
        const size_t file = n == 0 ? 2 : n == 25 ? 3 : n % 2;
        const std::string id =
            file >= 2 ? StreamUpload(port, files[file]) : MultipartUpload(port, files[file]);
        std::lock_guard<std::mutex> lock(mutex);
        checks[id] = file;
      }
    });
  }
  std::vector<std::unique_ptr<RawConnection>> held = BadRequests(port, ReadWholeFile(files[1]));
  for (std::thread& t : clients) t.join();
  ASSERT_EQ(checks.size(), 50u);

  httplib::Client c("127.0.0.1", port);
  c.set_read_timeout(60, 0);
  for (const auto& [id, file] : checks) {
    json status;
    for (int i = 0; i < 3000; ++i) {
      status = json::parse(c.Get(("/api/v1/checks/" + id).c_str())->body);
      if (status["state"] == "done" || status["state"] == "failed") break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(status["state"], "done") << status.dump();
    EXPECT_EQ(status["files"], json::array({fs::path(files[file]).filename().string()}));
    const json report =
        json::parse(c.Get(("/api/v1/checks/" + id + "/report?format=json").c_str())->body);
    EXPECT_EQ(ResultOf(status["summary"], report), expected[file]) << files[file];
  }
  held.clear();
  const long peak_kb = PeakRssKb(server.pid);
  std::printf("lintaro-cli serve: peak resident memory %ld MB for 50 checks, two of %s records\n",
              peak_kb / 1024, records.c_str());
#ifndef __SANITIZE_ADDRESS__
  // Under AddressSanitizer freed memory is held back on purpose, so the
  // bound is the built program's.
  EXPECT_LT(peak_kb, 150 * 1024) << "the service held much of what it was sent";
#endif
  kill(server.pid, SIGTERM);
  EXPECT_EQ(FinishCli(server).status, 0);
}

}  // namespace
}  // namespace lintaro::testing
