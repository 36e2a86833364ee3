// lintaro-cli serve as a process: a port or data folder in use, and SIGTERM
// while a check runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "serve/service_harness.h"
#include "support/cli_runner.h"

namespace lintaro::testing {
namespace {

using ::testing::HasSubstr;

// A port in use and a data folder in use are refused (the refusals of the options:
// tests/cli/sessions/usage.session). SIGTERM: no new connection is taken,
// the running check ends, exit 0.
TEST(ServeCommand, RefusesAPortInUseAndSigtermLetsTheRunningCheckFinish) {
  TempDir dir;
  const std::string data = dir.str() + "/data";
  {
    ServiceHarness taken;
    // A service that took the port all the same would serve until timeout ends it.
    CliResult in_use = RunCli(
        {"serve", "--listen", "127.0.0.1:" + std::to_string(taken.port), "--data", dir.str()},
        {"timeout", "5"});
    EXPECT_EQ(in_use.status, 2);
    EXPECT_EQ(in_use.err, "lintaro-cli: cannot listen on 127.0.0.1:" + std::to_string(taken.port) +
                              ": the address is already in use\n");
    // A second service on the same data folder would take the running
    // checks of the first for ones a killed service left, and delete their uploads.
    CliResult shared =
        RunCli({"serve", "--listen", "127.0.0.1:0", "--data", taken.data}, {"timeout", "5"});
    EXPECT_EQ(shared.status, 2);
    EXPECT_EQ(shared.err, "lintaro-cli: " + taken.data +
                              ": the data folder is in use by another lintaro-cli serve\n");
  }
  const std::string big = dir.str() + "/big.txt";
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --records 60000 " + big).status, 0);
  RunningCli running = StartCli({"serve", "--listen", "127.0.0.1:0", "--data", data, "-j", "1"});
  const int port = ServingPort(running);
  ASSERT_NE(port, 0) << ErrSoFar(running);
  httplib::Client client("127.0.0.1", port);
  const std::string id = AcceptedId(
      client.Post("/api/v1/checks?name=big.txt", ReadWholeFile(big), "application/octet-stream"),
      "big.txt");
  ASSERT_FALSE(id.empty());
  kill(running.pid, SIGTERM);
  const CliResult ended = FinishCli(running);
  EXPECT_EQ(ended.status, 0) << ended.err;
  EXPECT_THAT(ended.err,
              HasSubstr("lintaro-cli: stopping; running checks get up to 10 s to finish\n"));
  EXPECT_FALSE(httplib::Client("127.0.0.1", port).Get("/api/v1/health"));
  const std::string meta = ReadWholeFile(data + "/" + id + "/check.json");
  EXPECT_THAT(meta, HasSubstr("\"outcome\":\"clean\""));
  EXPECT_EQ(std::filesystem::status(data).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
}

// The default data folder is in the per-user data folder, which the
// command line's and the desktop program's results share: the folders the
// service makes on the way are its user's alone, whatever the umask.
TEST(ServeCommand, TheFoldersItMakesForItsDataAreItsUsersAlone) {
  TempDir dir;
  const std::string xdg = dir.str() + "/xdg";
  RunningCli running =
      StartCli({"serve", "--listen", "127.0.0.1:0"},
               {"sh", "-c", "umask 000; exec \"$@\"", "sh", "env", "XDG_DATA_HOME=" + xdg});
  ASSERT_NE(ServingPort(running), 0) << ErrSoFar(running);
  kill(running.pid, SIGTERM);
  const CliResult ended = FinishCli(running);
  EXPECT_EQ(ended.status, 0) << ended.err;
  for (const std::string& folder : {xdg, xdg + "/Lintaro", xdg + "/Lintaro/serve"}) {
    EXPECT_EQ(static_cast<int>(std::filesystem::status(folder).permissions() &
                               std::filesystem::perms::all),
              0700)
        << folder;
  }
}

}  // namespace
}  // namespace lintaro::testing
