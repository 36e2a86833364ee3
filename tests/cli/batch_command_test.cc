// lintaro-cli batch stopped by a signal; what it prints otherwise is in
// tests/cli/sessions/batch.session.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <regex>

#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

TEST(BatchTest, ASignalStopsTheRunningCheckAndTheRestAreNamed) {
  TempDir big, root;
  const std::string records = JoinRecords(CleanSubmission(60000));
  big.Write("first.txt", records);
  big.Write("second.txt", records);
  const std::string results = root.str() + "/results";
  RunningCli running = StartCli({"batch", "-j", "1", "--results", results, big.str()});
  const auto first_db = std::filesystem::path(results) / "first.txt" / "ERRLOG2C.MDB";
  ASSERT_TRUE(WaitForFileSize(first_db.string(), 1u << 20));
  kill(running.pid, SIGTERM);
  CliResult r = FinishCli(running);
  EXPECT_EQ(r.status, 143) << r.out;
  EXPECT_TRUE(std::regex_match(
      r.out, std::regex("first\\.txt: [^\n]*, aborted\n"
                        "second\\.txt: 0 records, 0 errors, aborted\n"
                        "2 submission\\(s\\): 0 clean, 0 with findings, 0 not tested, "
                        "2 interrupted[^\n]*\n")))
      << r.out;
  EXPECT_EQ(ResultsDb::Open(first_db.string(), true)->ReadLastError()->reference, "Test Aborted");
}

}  // namespace
}  // namespace lintaro
