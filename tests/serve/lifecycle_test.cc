// What the service does over time and around its checks: the token, the
// page's files, the log, deletion after --keep-hours on the service's clock,
// a restart, the end of the service while a check runs, and the pages
// that follow checks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>

#include "serve/check_meta.h"
#include "serve/service_harness.h"
#include "store/results_db.h"
#include "support/cli_runner.h"

namespace lintaro::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using ::testing::HasSubstr;

// Without the token only the page and health answer; the token is
// compared whole (the exchanges of token.trace), and neither it nor query
// values reach the log.
TEST(ServeLifecycle, TheTokenGuardsEverythingButThePageAndHealth) {
  ServiceHarness service([](ServiceOptions& o) { o.token = "s3cret-token"; });
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/token.trace");
  trace.Set("version", LINTARO_VERSION);
  trace.Run("a service with a token", service.port);
  trace.Check();
  const std::string page = service.Client()->Get("/")->body;
  EXPECT_THAT(page, HasSubstr(R"(<script type="module" src="/page.js">)"));
  EXPECT_THAT(page, HasSubstr("/api/v1/openapi.json"));
  service.Stop();  // each line is written once its answer went out
  const std::string log = service.Log();
  EXPECT_THAT(log, ::testing::Not(HasSubstr("s3cret")));
  EXPECT_THAT(log, ::testing::Not(HasSubstr("v4lue")));
  EXPECT_TRUE(std::regex_search(
      log,
      std::regex("\n2026-11-30T[0-9:]{8}Z GET /api/v1/checks\\?secret= 200 [0-9]+ [0-9.]+ms\n")))
      << log;
  EXPECT_THAT(log, HasSubstr(" POST /api/v1/checks 401 "));
}

// A check's folder goes keep-hours after the check ended, on the
// service's clock; at start-up, folders that ended longer ago go at once,
// the others are held again.
TEST(ServeLifecycle, ChecksAreDeletedKeepHoursAfterTheyEnded) {
  TempDir keep;
  const std::string data = keep.str() + "/data";
  const auto three_hours = [](ServiceOptions& o) { o.keep_seconds = 3 * 3600; };
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/keep_hours.trace");
  std::string kept;
  {
    ServiceHarness service(three_hours, data);
    const std::string expired = service.Submit({kSamples + "clean.txt"});
    service.WaitFor(expired);
    service.clock.Set(kTestEpoch + 3600);
    kept = service.Submit({kSamples + "mistakes.txt"});
    service.WaitFor(kept);
    trace.Set("expired", expired);
    trace.Set("kept", kept);
    service.clock.Set(kTestEpoch + 3 * 3600 - 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    trace.Run("a second before the first check's hours are up", service.port);
    service.clock.Set(kTestEpoch + 3 * 3600);
    service.WaitFor(expired, [&](const json& s) {
      return s.contains("error") && !fs::exists(data + "/" + expired);  // the folder goes last
    });
    EXPECT_TRUE(fs::exists(data + "/" + kept + "/ERRLOG2C.MDB"));
  }
  {
    ServiceHarness again(three_hours, data, kTestEpoch + 3 * 3600 + 60);
    trace.Run("started again a minute after", again.port);
  }
  // Gone as the service starts (its first sweep would delete it a moment
  // later).
  ServiceHarness later(three_hours, data, kTestEpoch + 4 * 3600);
  EXPECT_FALSE(fs::exists(data + "/" + kept));
  trace.Run("started again once the second check's hours are up", later.port);
  trace.Check();
}

// A check whose folder cannot be deleted (a disk gone read-only) is never
// said to be gone: DELETE answers 500 and the check stays listed (one that
// ran, stopped, never as a verdict; an upload refused once stored, failed),
// and the sweep holds an expired one until its folder can be deleted.
TEST(ServeLifecycle, ACheckWhoseFilesStayIsStillHeld) {
  TempDir files;
  std::atomic<bool> failing{true};
  ServiceHarness service([&](ServiceOptions& o) {
    o.jobs = 1;
    o.keep_seconds = 3600;
    o.remove_folder = [&](const std::string& folder) {
      std::error_code ec = std::make_error_code(std::errc::read_only_file_system);
      if (!failing.load()) fs::remove_all(folder, ec = {});
      return ec;
    };
  });
  const std::string ended = service.Submit({kSamples + "mistakes.txt"});
  service.WaitFor(ended);
  HeldUpload upload(service, Generated(files, 3000), size_t{2} << 20);
  const std::string running = upload.RunningCheck();
  ASSERT_FALSE(running.empty()) << "no check ran while its upload arrived";
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/files_stay.trace");
  trace.Set("ended", ended);
  trace.Set("running", running);
  trace.Set("clean", ReadWholeFile(kSamples + "clean.txt"), false);
  trace.Run("while no folder can be deleted", service.port);
  std::string refused;
  const json listed = service.Get("/api/v1/checks");
  for (const json& c : listed["checks"])
    if (c["files"] == json::array({"refused.txt"})) refused = c["id"].get<std::string>();
  ASSERT_FALSE(refused.empty()) << "a refused upload left on the disk is not listed";
  trace.Set("refused", refused);
  // A page that follows it is never told it was deleted.
  std::string events;
  std::promise<void> following;
  std::thread follower([&] {
    bool first = true;
    service.Client()->Get("/api/v1/checks/" + running + "/events",
                          [&](const char* data, size_t length) {
                            events.append(data, length);
                            if (std::exchange(first, false)) following.set_value();
                            return true;
                          });
  });
  ASSERT_EQ(following.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);
  trace.Run("the running check deleted while its page follows it", service.port);
  EXPECT_NE(upload.Finish(), 202);
  follower.join();
  EXPECT_THAT(events, ::testing::Not(HasSubstr("event: deleted")));
  EXPECT_EQ(json::parse(events.substr(events.rfind("data: ") + 6))["outcome"], "aborted");
  service.clock.Set(kTestEpoch + 3600);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // sweeps every 20 ms
  trace.Run("the hour kept is up", service.port);
  trace.Check();
  failing = false;
  for (const std::string& id : {ended, running, refused}) {
    service.WaitFor(id, [&](const json& s) {
      return s.contains("error") && !fs::exists(service.data + "/" + id);
    });
  }
}

// The service ends while a check runs and another waits: the running one
// is stopped and recorded as interrupted, never as a verdict; the waiting
// A service killed while it deletes a check (its user's DELETE, or the
// hours kept running out) leaves part of the check's folder: the next
// service never holds that check again, and deletes what is left of it.
TEST(ServeLifecycle, ACheckKilledWhileItIsDeletedStaysDeleted) {
  TempDir files;
  const std::string at_kill = files.str() + "/at-kill";
  ServiceHarness service([&](ServiceOptions& o) {
    // Removes the results first, then the disk is as the kill leaves it.
    o.remove_folder = [&](const std::string& folder) {
      std::error_code ec;
      fs::remove(folder + "/" + kResultsFileName, ec);
      fs::copy(service.data, at_kill, fs::copy_options::recursive, ec);
      fs::remove_all(folder, ec);
      return ec;
    };
  });
  const std::string id = service.Submit({kSamples + "mistakes.txt"});
  service.WaitFor(id);
  ASSERT_EQ(service.Client()->Delete("/api/v1/checks/" + id)->status, 204);
  service.Stop();
  ServiceHarness again({}, at_kill);
  EXPECT_EQ(again.Get("/api/v1/checks")["checks"], json::array());
  for (const auto& e : fs::directory_iterator(at_kill)) ADD_FAILURE() << e.path();
}

// one is deleted with its upload.
TEST(ServeLifecycle, EndingTheServiceInterruptsItsChecks) {
  TempDir files;
  // Big enough to be still running when the service ends, on a loaded
  // machine too.
  const std::string big = Generated(files, 150000);
  const std::string small = Generated(files, 3000);
  const std::string data = files.str() + "/data";
  std::string running, queued;
  {
    ServiceHarness service([](ServiceOptions& o) { o.jobs = 1; }, data);
    // The big check waits, whole, behind one that reads its upload as it
    // comes, so that it runs from a whole upload once that one ended.
    HeldUpload first(service, small, size_t{2} << 20);
    first.RunningCheck();
    running = service.Submit({big});
    queued = service.Submit({kSamples + "mistakes.txt"});
    // The held upload outlasts the others' (it may pause a minute): the big
    // check still waits.
    ASSERT_EQ(service.Get("/api/v1/checks/" + running)["state"], "queued");
    first.Finish();
    service.WaitFor(running, [](const json& s) { return s["records_tested"] > 100; });
    service.Stop(0);
  }
  EXPECT_FALSE(fs::exists(data + "/" + queued));
  ServiceHarness again({}, data);
  const json stopped = again.Get("/api/v1/checks/" + running);
  EXPECT_EQ(stopped["state"], "failed");
  EXPECT_EQ(stopped["outcome"], "aborted");
  EXPECT_EQ(stopped["summary"]["outcome"], "aborted");
  EXPECT_GT(stopped["records_tested"], 100);
  EXPECT_EQ(stopped["records_tested"], stopped["summary"]["records_tested"]);
  httplib::Result report = again.Client()->Get(("/api/v1/checks/" + running + "/report").c_str());
  ASSERT_EQ(StatusOf(report), 200);
  EXPECT_THAT(report->body, HasSubstr("Testing did not finish"));
}

// Results that cannot all be written (past the file size limit, as on a
// full disk) fail the check, which counts the records they hold, not those
// it started, as its summary and report do; after a restart too.
// Runs what with no file written past limit bytes, as on a full disk.
void WithFileSizeLimit(size_t limit, const std::function<void()>& what) {
  rlimit unlimited{};
  getrlimit(RLIMIT_FSIZE, &unlimited);
  const auto before = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit small{limit, unlimited.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  what();
  setrlimit(RLIMIT_FSIZE, &unlimited);
  std::signal(SIGXFSZ, before);
}

TEST(ServeLifecycle, ACheckWhoseResultsCannotAllBeWrittenCountsWhatTheyHold) {
  TempDir files;
  const std::string submission = Generated(files, 10000);
  const std::string data = files.str() + "/data";
  std::string id;
  {
    ServiceHarness service({}, data);
    json failed;
    // The upload fits, its results do not.
    WithFileSizeLimit(fs::file_size(submission) + (size_t{64} << 10), [&] {
      id = service.Submit({submission});
      failed = service.WaitFor(id);
    });
    EXPECT_EQ(failed["outcome"], "failed");
    EXPECT_LT(failed["summary"]["records_tested"], 10000);
    EXPECT_EQ(failed["records_tested"], failed["summary"]["records_tested"]);
  }
  ServiceHarness again({}, data);
  const json held = again.Get("/api/v1/checks/" + id);
  EXPECT_EQ(held["records_tested"], held["summary"]["records_tested"]);
  // In the second file of a submission the check's problem is the failure,
  // not the run's asking for that file on the way.
  const std::string whole = ReadWholeFile(submission);
  const std::string first = files.Write("first.txt", whole.substr(0, 3 * 1026));
  const std::string second = files.Write("second.txt", whole.substr(3 * 1026));
  json in_second;
  WithFileSizeLimit(fs::file_size(second) + (size_t{64} << 10), [&] {
    in_second = again.WaitFor(again.Submit({first, second}));
  });
  EXPECT_EQ(in_second["outcome"], "failed");
  EXPECT_THAT(in_second["problem"].get<std::string>(),
              ::testing::StartsWith("Submission File Error"));
}

// Results of which not even a first page could be written are none: the
// check says why it failed, not that its results were changed since, and
// its reads say it left none.
TEST(ServeLifecycle, ACheckThatCouldWriteNoResultsSaysWhyItFailed) {
  TempDir files;
  const std::string submission = Generated(files, 5);
  ServiceHarness service;
  std::string id;
  json failed;
  WithFileSizeLimit(8192, [&] {
    id = service.Submit({submission});
    failed = service.WaitFor(id);
  });
  EXPECT_EQ(failed["outcome"], "failed");
  // The store's words, naming the results it could not write.
  EXPECT_THAT(failed["problem"].get<std::string>(), HasSubstr(kResultsFileName));
  httplib::Result report = service.Client()->Get(("/api/v1/checks/" + id + "/report").c_str());
  EXPECT_EQ(StatusOf(report), 409);
}

// A check's record that cannot be written whole (a full disk, a kill) leaves
// the one before, never a part that reads back as no check at all.
TEST(ServeLifecycle, ACheckRecordThatCannotBeWrittenWholeLeavesTheOneBefore) {
  TempDir folder;
  CheckJob job;
  job.id = "before";
  job.folder = folder.str();
  job.state = CheckState::kDone;
  job.outcome = "findings";
  job.summary = std::string(4096, ' ');
  ASSERT_TRUE(WriteCheckMeta(job));
  job.id = "after";
  bool written = true;
  WithFileSizeLimit(1024, [&] { written = WriteCheckMeta(job); });
  EXPECT_FALSE(written);
  CheckJob read;
  ASSERT_TRUE(ReadCheckMeta(folder.str(), read));
  EXPECT_EQ(read.id, "before");
  EXPECT_EQ(read.outcome, "findings");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.str()), fs::directory_iterator()), 1);
}

// A check's record that cannot be written as the check ends (a full disk)
// is written by a later sweep: a service restarted after that holds the
// check as it ended, not as one it never finished.
TEST(ServeLifecycle, ACheckRecordNotWrittenAsTheCheckEndsIsWrittenLater) {
  TempDir keep;
  const std::string data = keep.str() + "/data";
  std::atomic<bool> disk_full{true};
  std::string id;
  json ended;
  {
    ServiceHarness service(
        [&](ServiceOptions& o) {
          o.sweep_interval_ms = 20;
          o.write_record = [&](const CheckJob& job) {
            return !disk_full.load() && WriteCheckMeta(job);
          };
        },
        data);
    id = service.Submit({kSamples + "mistakes.txt"});
    ended = service.WaitFor(id);
    ASSERT_EQ(ended["state"], "done");
    disk_full = false;
    bool written = false;
    for (int i = 0; i < 500 && !written; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      CheckJob read;
      written = ReadCheckMeta(data + "/" + id, read) && read.state == CheckState::kDone;
    }
    EXPECT_TRUE(written) << "no sweep wrote the check's record";
  }
  ServiceHarness again({}, data);
  const json held = again.Get("/api/v1/checks/" + id);
  EXPECT_EQ(held["state"], "done");
  EXPECT_EQ(held["outcome"], "findings");
  EXPECT_EQ(held["summary"], ended["summary"]);
}

// A service killed during a check leaves its folder without the check's
// record: the next service holds it as incomplete, never as a verdict, with
// the results it reached and their count, and without its upload, its
// files listed by name as the service listed them.
TEST(ServeLifecycle, ACheckLeftByAKilledServiceIsHeldAsIncomplete) {
  TempDir files;
  const std::string data = files.str() + "/data";
  std::string uploading;  // killed with SIGKILL before the rest of its second file came
  {
    RunningCli killed = StartCli({"serve", "--listen", "127.0.0.1:0", "--data", data, "-q"});
    const int port = ServingPort(killed);
    ASSERT_NE(port, 0) << ErrSoFar(killed);
    std::string body;
    for (const char* name : {"mistakes.txt", "clean.txt"})
      body += std::string("--b0undary\r\nContent-Disposition: form-data; name=\"file\"; ") +
              "filename=\"" + (name[0] == 'm' ? "b.txt" : "a.txt") + "\"\r\n\r\n" +
              ReadWholeFile(kSamples + name) + "\r\n";
    body += "--b0undary--\r\n";
    const std::string head =
        "POST /api/v1/checks HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; "
        "boundary=b0undary\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n\r\n";
    RawConnection connection(port);
    ASSERT_TRUE(connection.Send(head + body.substr(0, body.size() - 200)));
    httplib::Client client("127.0.0.1", port);
    for (int i = 0; i < 1000 && uploading.empty(); ++i) {
      httplib::Result list = client.Get("/api/v1/checks");
      for (const json& c : json::parse(list ? list->body : "{}").value("checks", json::array()))
        if (c["state"] == "running") uploading = c["id"];
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(uploading.empty()) << "no check ran while its upload arrived";
    for (int i = 0; i < 1000 && !fs::exists(data + "/" + uploading + "/files/a.txt"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(killed.pid, SIGKILL);
    FinishCli(killed);
  }
  std::string id;
  std::string unread;  // killed before its check wrote anything
  std::string gap;
  {
    ServiceHarness service({}, data);
    id = service.Submit({kSamples + "mistakes.txt"});
    unread = service.Submit({kSamples + "clean.txt"});
    gap = service.Submit({kSamples + "mistakes.txt"});
    for (const std::string& check : {id, unread, gap}) service.WaitFor(check);
  }
  ASSERT_TRUE(fs::remove(data + "/" + id + "/check.json"));
  ASSERT_TRUE(fs::remove(data + "/" + unread + "/check.json"));
  ASSERT_TRUE(fs::remove(data + "/" + unread + "/ERRLOG2C.MDB"));
  // How far it got is the last record's number, even where a record before
  // it (14, without findings) is not there.
  ASSERT_TRUE(fs::remove(data + "/" + gap + "/check.json"));
  ASSERT_EQ(sqlite3_exec(ResultsDb::Open(data + "/" + gap + "/ERRLOG2C.MDB", false)->handle(),
                         "DELETE FROM RECORDS WHERE Rec_Num = 14", nullptr, nullptr, nullptr),
            SQLITE_OK);
  ServiceHarness again({}, data);
  Exchanges trace(LINTARO_SOURCE_DIR "/tests/serve/killed_service.trace");
  for (const auto& [name, check] : {std::pair{"id", id}, std::pair{"unread", unread},
                                    std::pair{"gap", gap}, std::pair{"uploading", uploading}})
    trace.Set(name, check);
  trace.Run("started again on its folder", again.port);
  trace.Check();
  const json listed = again.Get("/api/v1/checks");
  for (const json& c : listed["checks"])
    EXPECT_EQ(c["files"], again.Get("/api/v1/checks/" + c["id"].get<std::string>())["files"]);
  EXPECT_FALSE(fs::exists(data + "/" + uploading + "/files"));
  EXPECT_FALSE(fs::exists(data + "/" + id + "/files"));
}

// The rest of an upload that arrives once the service ends is refused (one
// whose check was deleted: ServeErrors): the client gets no check, nothing
// of it stays, and the service's end does not wait for the client to send
// it all.
TEST(ServeLifecycle, AnUploadStopsWithItsCheckAndWithTheService) {
  TempDir files;
  ServiceHarness service;
  HeldUpload upload(service, Generated(files, 3000), size_t{2} << 20);
  ASSERT_FALSE(upload.RunningCheck().empty()) << "no check ran while its upload arrived";
  std::thread stop([&service] { service.Stop(0); });
  for (int i = 0; i < 500 && StatusOf(service.Client()->Get("/api/v1/health")) == 200; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(upload.Finish(), 202);
  stop.join();
  for (const auto& e : fs::recursive_directory_iterator(service.data)) ADD_FAILURE() << e.path();
}

// Each page that follows a check holds a connection, and so one of the
// service's threads, for as long as the check runs: an office's worth of
// them, opened in one burst, are each taken at once (not after the second
// a client waits to try a dropped connection again) and still leave the
// service answering everyone else.
TEST(ServeLifecycle, ManyPagesFollowingARunningCheckLeaveRoomForOtherRequests) {
  TempDir files;
  ServiceHarness service;
  HeldUpload upload(service, Generated(files, 3000), size_t{2} << 20);
  const std::string id = upload.RunningCheck();
  ASSERT_FALSE(id.empty()) << "no check ran while its upload arrived";
  std::vector<int> followers;
  for (int i = 0; i < 100; ++i) {
    const auto start = std::chrono::steady_clock::now();
    followers.push_back(ConnectToLoopback(service.port, 10));
    ASSERT_GE(followers.back(), 0);
    ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900))
        << "connection " << i << " was not taken at once";
    const std::string request =
        "GET /api/v1/checks/" + id + "/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_EQ(send(followers.back(), request.data(), request.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(request.size()));
  }
  // Every follower is answered, not queued behind the others.
  for (const int fd : followers) {
    char head[12] = {};
    ASSERT_EQ(recv(fd, head, sizeof head, MSG_WAITALL), static_cast<ssize_t>(sizeof head));
    ASSERT_EQ(std::string(head, sizeof head), "HTTP/1.1 200");
  }
  std::unique_ptr<httplib::Client> client = service.Client();
  client->set_read_timeout(10, 0);
  EXPECT_EQ(StatusOf(client->Get("/api/v1/health")), 200);
  for (const int fd : followers) close(fd);
  EXPECT_EQ(upload.Finish(), 202);
}

}  // namespace
}  // namespace lintaro::testing
