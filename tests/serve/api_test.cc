// The service's API against a running service on a loopback port, with a
// real HTTP client: what a check gives over HTTP is what lintaro-cli gives
// for the same folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>

#include "reports/report_format.h"
#include "serve/check_id.h"
#include "serve/service_harness.h"
#include "support/cli_runner.h"
#include "support/recipe.h"

namespace lintaro::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The recipe's only submission, written as NAME-1.txt, NAME-2.txt, ... in dir.
std::vector<std::string> WriteRecipe(const TempDir& dir, const std::string& name) {
  const std::vector<Submission> subs =
      ReadRecipe(ReadWholeFile(LINTARO_SOURCE_DIR "/tests/cli/sessions/" + name + ".recipe"));
  std::vector<std::string> files;
  for (size_t i = 0; i < subs.at(0).files.size(); ++i)
    files.push_back(dir.Write(name + "-" + std::to_string(i + 1) + ".txt", subs[0].files[i]));
  return files;
}

// A check's report over HTTP is byte for byte `lintaro-cli report` on its
// folder, in every form and for one employer; its summary is byte for byte
// `lintaro-cli check --format json` of the stored files into that folder;
// what the page reads of its records agrees with the JSON report, and its
// viewer with `lintaro-cli show`; the rest of what it reads is in reads.trace.
TEST(ServeApi, ACheckGivesWhatTheCommandLineGives) {
  ServiceHarness service;
  const std::string id = service.Submit({kSamples + "mistakes.txt"});
  EXPECT_TRUE(IsCheckId(id)) << id;
  // Followed to its end, the last event is the check's status.
  httplib::Result stream = service.Client()->Get(("/api/v1/checks/" + id + "/events").c_str());
  ASSERT_EQ(StatusOf(stream), 200);
  ASSERT_THAT(stream->body, ::testing::StartsWith("data: {"));
  const json status = service.Get("/api/v1/checks/" + id);
  EXPECT_EQ(json::parse(stream->body.substr(stream->body.rfind("data: ") + 6)), status);
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/reads.trace");
  trace.Set("id", id);
  trace.Run("a check of mistakes.txt", service.port);
  trace.Check();
  const std::string folder = service.data + "/" + id;
  EXPECT_TRUE(fs::exists(folder + "/report.txt"));
  EXPECT_TRUE(fs::exists(folder + "/report.json"));
  EXPECT_EQ(fs::status(folder + "/files/mistakes.txt").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  for (const std::string& held : {folder, folder + "/files"})
    EXPECT_EQ(fs::status(held).permissions() & fs::perms::all, fs::perms::owner_all) << held;

  auto client = service.Client();
  const std::string ein = "310000001";
  // Every format of the table, each as the OpenAPI document describes it.
  const json report_api =
      service.Get("/api/v1/openapi.json")["paths"]["/api/v1/checks/{id}/report"];
  for (const ReportFormat& report_format : ReportFormats()) {
    const std::string format(report_format.name);
    EXPECT_THAT(report_api["parameters"][1]["schema"]["enum"], ::testing::Contains(format));
    for (const std::string& employer : {std::string(), ein}) {
      SCOPED_TRACE(format + " " + employer);
      std::string query = "?format=" + format + (employer.empty() ? "" : "&employer=" + employer);
      httplib::Result res = client->Get(("/api/v1/checks/" + id + "/report" + query).c_str());
      ASSERT_TRUE(res);
      EXPECT_EQ(res->status, 200);
      std::vector<std::string> args = {"report", "--home", folder, "--format", format};
      if (!employer.empty()) args.insert(args.end(), {"--employer", employer});
      const CliResult cli = RunCli(args);
      EXPECT_EQ(cli.status, 0) << cli.err;
      EXPECT_EQ(res->body, cli.out);
      EXPECT_EQ(res->get_header_value("Cache-Control"), "no-store");
      EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff");
      EXPECT_EQ(
          res->get_header_value("Content-Disposition"),
          "attachment; filename=\"mistakes-errors." + std::string(report_format.extension) + "\"");
      const std::string type = res->get_header_value("Content-Type");
      EXPECT_TRUE(
          report_api["get"]["responses"]["200"]["content"].contains(type.substr(0, type.find(';'))))
          << type;
    }
  }
  const CliResult check =
      RunCli({"check", "--format", "json", "--home", folder, folder + "/files/mistakes.txt"});
  EXPECT_EQ(check.status, 1) << check.err;
  EXPECT_EQ(status["summary"].dump(), json::parse(check.out).dump());
  httplib::Result raw = client->Get(("/api/v1/checks/" + id).c_str());
  // A clean check's text and HTML reports are the one sentence report prints.
  const std::string clean = service.Submit({kSamples + "clean.txt"});
  service.WaitFor(clean);
  for (const char* format : {"text", "html"}) {
    httplib::Result res =
        client->Get(("/api/v1/checks/" + clean + "/report?format=" + std::string(format)).c_str());
    const CliResult cli =
        RunCli({"report", "--home", service.data + "/" + clean, "--format", format});
    EXPECT_EQ(res->body, cli.out) << format;
  }
  EXPECT_THAT(raw->body, ::testing::EndsWith(
                             ",\"summary\":" + check.out.substr(0, check.out.size() - 1) + "}"));

  // What the web page reads beside the grids: each record's type and SSN or
  // EIN in the grids, its findings and the employers a report can be limited
  // to, in the words and figures of the JSON report; the viewer's positions.
  const json report = json::parse(RunCli({"report", "--home", folder, "--format", "json"}).out);
  std::map<int64_t, json> expected;  // record number: its findings as the JSON report gives them
  for (json e : report["errors"]) {
    const int64_t n = e["record_number"];
    if (!expected.count(n))
      expected[n] = {{"record_number", n},
                     {"record_id", e["record_id"]},
                     {"reference", e.contains("ssn") ? e["ssn"] : e.value("ein", json())},
                     {"findings", json::array()}};
    for (const char* key : {"record_number", "record_id", "ssn", "ein", "employer_ein"})
      e.erase(key);
    expected[n]["findings"].push_back(e);
  }
  const std::string api = "/api/v1/checks/" + id;
  const json rows = service.Get(api + "/records?with_errors=1&limit=1000");
  ASSERT_EQ(rows["records"].size(), expected.size());
  for (const json& row : rows["records"]) {
    const json& want = expected.at(row["record_number"]);
    EXPECT_EQ(row["record_id"], want["record_id"]);
    EXPECT_EQ(row["reference"], want["reference"]);
    EXPECT_EQ(row["errors"], want["findings"].size());
    const json findings =
        service.Get(api + "/records/" + row["record_number"].dump() + "/findings");
    EXPECT_EQ(findings, json({{"record_number", want["record_number"]},
                              {"record_id", want["record_id"]},
                              {"findings", want["findings"]}}));
  }

  const json employers = service.Get(api + "/employers")["employers"];
  ASSERT_EQ(employers.size(), 2u);
  for (const json& e : employers) {
    const std::string own_ein = e["ein"];
    const json own = json::parse(
        RunCli({"report", "--home", folder, "--format", "json", "--employer", own_ein}).out);
    EXPECT_EQ(e["records"], own["records_tested"]) << own_ein;
    const json rce = service.Get(api + "/records/" + e["record_number"].dump());
    EXPECT_EQ(rce["record_id"], "RCE");
    std::string name = rce["fields"][8]["value"];
    name.erase(name.find_last_not_of(' ') + 1);
    EXPECT_EQ(e["name"], name);
    EXPECT_EQ(rce["fields"][3]["value"], own_ein);
  }
  // The viewer, as `lintaro-cli show` shows each record with findings.
  for (const json& r : rows["records"]) {
    const int64_t n = r["record_number"];
    const json record = service.Get(api + "/records/" + std::to_string(n));
    const CliResult show = RunCli({"show", "--home", folder, std::to_string(n)});
    std::string lines;
    for (const json& f : record["fields"])
      lines += std::string(f["marked"] ? "*" : " ") + " " + f["field"].dump() + " " +
               f["name"].get<std::string>() + " [" + f["value"].get<std::string>() + "]\n";
    EXPECT_EQ(lines, show.out) << n;
  }

  const json record = service.Get(api + "/records/3");
  int64_t next = 1;
  for (const json& f : record["fields"]) {
    EXPECT_EQ(f["positions"]["start"], next) << f;
    next = f["positions"]["end"].get<int64_t>() + 1;
    EXPECT_EQ(f["value"].get<std::string>().size(),
              f["positions"]["end"].get<size_t>() - f["positions"]["start"].get<size_t>() + 1);
  }
  EXPECT_EQ(next, 1025);
}

// A submission in two files, uploaded as two parts in order; and a raw body.
TEST(ServeApi, ASubmissionInTwoFilesAndARawBody) {
  ServiceHarness service;
  const std::vector<std::string> files = WriteRecipe(service.dir, "split");
  const std::string id = service.Submit(files);
  const json status = service.WaitFor(id);
  EXPECT_EQ(status["files"], json::array({"split-1.txt", "split-2.txt"}));
  const std::string folder = service.data + "/" + id;
  const CliResult check = RunCli({"check", "--format", "json", "--home", folder,
                                  folder + "/files/split-1.txt", folder + "/files/split-2.txt"});
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(status["summary"].dump(), json::parse(check.out).dump());
  EXPECT_EQ(status["summary"]["outcome"], "clean");

  // The same name twice is kept apart.
  const json twice = service.WaitFor(service.Submit({files[0], files[0]}));
  EXPECT_EQ(twice["files"], json::array({"split-1.txt", "split-1.txt-2"}));

  const std::string raw_id = AcceptedId(
      service.Client()->Post("/api/v1/checks?name=..%2Fmine.txt&max_errors=3",
                             ReadWholeFile(kSamples + "mistakes.txt"), "application/octet-stream"),
      "a raw body");
  ASSERT_FALSE(raw_id.empty());
  const json raw = service.WaitFor(raw_id);
  EXPECT_EQ(raw["files"], json::array({"mine.txt"}));
  EXPECT_EQ(raw["summary"]["outcome"], "error_limit");
}

// Forms as common clients write them are taken, each file whole under its
// name, and forms that cannot be read are refused (client_forms.trace).
TEST(ServeApi, FormsAsCommonClientsWriteThem) {
  ServiceHarness service;
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/client_forms.trace");
  trace.Set("clean", ReadWholeFile(kSamples + "clean.txt"), false);
  trace.Run("forms", service.port);
  trace.Run("forms that cannot be read", service.port);
  trace.Check();
}

// The run's alert (more all-zero correct amounts than the findings it
// keeps) is the check's message, in the desktop program's words (alert.trace),
// and stays with the check when the service starts again; a check without
// one has none (reads.trace).
TEST(ServeApi, TheRunsAlertIsTheChecksMessage) {
  TempDir keep;
  const std::string data = keep.str() + "/data";
  std::string zeros = "RCA\nRCE\n";
  for (int i = 0; i < 11; ++i) zeros += "RCW 244=$1.00 255=$0\n";
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/alert.trace");
  {
    ServiceHarness service({}, data);
    const std::string id = service.Submit(
        {service.dir.Write("zeros.txt", ReadRecipe(zeros + "RCT 11=$11.00\nRCF\n")[0].files[0])});
    service.WaitFor(id);
    trace.Set("id", id);
    trace.Run("a check of eleven amounts corrected to zero", service.port);
  }
  ServiceHarness again({}, data);
  trace.Run("the service started again", again.port);
  trace.Check();
}

// A check starts with the first megabytes of its upload and reads the rest
// as it arrives, with the command line's result; when such an upload is
// cut, its check and everything stored for it are gone.
TEST(ServeApi, ACheckReadsItsUploadAsItArrives) {
  TempDir dir;
  const std::string file = Generated(dir, 3000);
  const CliResult cli = RunCli({"check", "--format", "json", "--home", dir.str(), file});
  const json expected = json::parse(cli.out);
  ServiceHarness service;
  for (const bool cut : {false, true}) {
    HeldUpload upload(service, file, size_t{2} << 20);
    const std::string id = upload.RunningCheck();
    const int status = upload.Finish(cut);
    ASSERT_FALSE(id.empty()) << "no check ran while its upload arrived";
    if (cut) {
      EXPECT_TRUE(status == -1 || status == 400) << status;
      // The client left without waiting for the answer: give the service a moment.
      for (int i = 0; i < 500 && !(service.Get("/api/v1/checks")["checks"].empty() &&
                                   fs::is_empty(service.data));
           ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      EXPECT_EQ(service.Get("/api/v1/checks")["checks"].size(), 0u);
      for (const auto& e : fs::recursive_directory_iterator(service.data))
        ADD_FAILURE() << e.path();
      continue;
    }
    EXPECT_EQ(status, 202);
    const json summary = service.WaitFor(id)["summary"];
    for (const char* key : {"outcome", "records_tested", "records_with_errors", "errors_found"})
      EXPECT_EQ(summary[key], expected[key]) << key;
    ASSERT_EQ(service.Client()->Delete(("/api/v1/checks/" + id).c_str())->status, 204);
  }
}

}  // namespace
}  // namespace lintaro::testing
