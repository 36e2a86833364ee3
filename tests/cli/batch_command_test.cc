// lintaro-cli batch: many submissions, each into its own folder, one bad
// file never stopping the others.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/json_reader.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class BatchTest : public ::testing::Test {
 protected:
  BatchTest() {
    std::filesystem::create_directory(in());
    auto mistakes = CleanSubmission(2);
    mistakes[3] = Patch(mistakes[3], {{188, "ZZ"}});
    auto stop = CleanSubmission(1);
    stop.insert(stop.begin() + 2, MakeRecord("RCT"));
    Write("clean.txt", CleanSubmission(2));
    Write("mistakes.txt", mistakes);
    Write("stop.txt", stop);
    root.Write("in/empty.txt", "");
  }
  std::string in() const { return root.str() + "/in"; }
  std::string results() const { return root.str() + "/results"; }
  void Write(const std::string& name, const std::vector<std::string>& records) const {
    root.Write("in/" + name, JoinRecords(records));
  }
  CliResult Batch(const std::vector<std::string>& more) const {
    std::vector<std::string> args = {"batch", "--results", results()};
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(args);
  }
  bool HasReports(const std::string& name) const {
    const auto folder = std::filesystem::path(results()) / name;
    return std::filesystem::exists(folder / "report.txt") &&
           std::filesystem::exists(folder / "report.json");
  }
  TempDir root;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(BatchTest, EverySubmissionGetsItsFolderItsLineAndTheSummaryCountsThem) {
  const std::string missing = root.str() + "/missing.txt";
  CliResult r = Batch({"-j", "2", in(), missing});
  EXPECT_EQ(r.status, 2) << r.err;
  std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 6u) << r.out;
  // Lines come as the checks finish; the summary comes last.
  EXPECT_EQ(lines.back(),
            "5 submission(s): 1 clean, 2 with findings, 2 not tested; results in " + results());
  lines.pop_back();
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "clean.txt: 6 records, 0 errors, clean",
                       "empty.txt: not tested: Results: Warning: The file contains no valid data.",
                       "missing.txt: not tested: " + missing + " does not exist",
                       "mistakes.txt: 6 records, 1 errors, findings",
                       "stop.txt: 3 records, 1 errors, critical_stop"}));
  EXPECT_TRUE(HasReports("mistakes.txt"));
  EXPECT_TRUE(HasReports("stop.txt"));
  EXPECT_FALSE(HasReports("clean.txt"));
  EXPECT_EQ(ResultsDb::Open(results() + "/mistakes.txt/ERRLOG2C.MDB", true)->CountErrors(), 1);
  EXPECT_EQ(ResultsDb::Open(results() + "/clean.txt/ERRLOG2C.MDB", true)->CountRecords(), 6);

  // Checked again once corrected, a submission keeps no report of before;
  // findings without a file that failed give status 1.
  Write("mistakes.txt", CleanSubmission(2));
  EXPECT_EQ(Batch({in() + "/mistakes.txt", in() + "/clean.txt"}).status, 0);
  EXPECT_FALSE(HasReports("mistakes.txt"));
  EXPECT_EQ(Batch({in() + "/clean.txt", in() + "/stop.txt"}).status, 1);
}

TEST_F(BatchTest, JsonLinesAndNamesMadeUnique) {
  TempDir other;
  other.Write("clean.txt", JoinRecords(CleanSubmission(1)));
  CliResult r = Batch({"--format", "json", "--max-errors=1", in(), other.str()});
  EXPECT_EQ(r.status, 2);
  std::map<std::string, std::string> outcome_of;  // submission -> outcome
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 6u) << r.out;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_TRUE(IsStrictJson(lines[i])) << lines[i];
    const std::string name = JsonAt(lines[i], "$.submission");
    outcome_of[name] = JsonAt(lines[i], "$.outcome");
    EXPECT_EQ(JsonAt(lines[i], "$.results"), results() + "/" + name);
  }
  EXPECT_EQ(outcome_of, (std::map<std::string, std::string>{{"clean.txt", "clean"},
                                                            {"clean.txt-2", "clean"},
                                                            {"empty.txt", "no_valid_data"},
                                                            {"mistakes.txt", "error_limit"},
                                                            {"stop.txt", "critical_stop"}}));
  EXPECT_EQ(JsonAt(lines.back(), "$.summary.submissions"), "5");
  EXPECT_EQ(JsonAt(lines.back(), "$.summary.findings"), "2");
  EXPECT_EQ(JsonAt(lines.back(), "$.summary.not_tested"), "1");
  EXPECT_EQ(JsonAt(lines.back(), "$.summary.results"), results());
}

TEST_F(BatchTest, ASignalStopsTheRunningCheckAndTheRestAreNamed) {
  TempDir big;
  const std::string records = JoinRecords(CleanSubmission(60000));
  big.Write("first.txt", records);
  big.Write("second.txt", records);
  RunningCli running = StartCli({"batch", "-j", "1", "--results", results(), big.str()});
  const auto first_db = std::filesystem::path(results()) / "first.txt" / "ERRLOG2C.MDB";
  for (int i = 0; i < 2000; ++i) {
    std::error_code ec;
    if (std::filesystem::file_size(first_db, ec) > (1u << 20) && !ec) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(running.pid, SIGTERM);
  CliResult r = FinishCli(running);
  EXPECT_EQ(r.status, 143) << r.out;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_TRUE(lines[0].starts_with("first.txt: ") && lines[0].ends_with(", aborted")) << lines[0];
  EXPECT_EQ(lines[1], "second.txt: 0 records, 0 errors, aborted");
  EXPECT_TRUE(
      lines[2].starts_with("2 submission(s): 0 clean, 0 with findings, 0 not tested, 2 "
                           "interrupted"))
      << lines[2];
  EXPECT_EQ(ResultsDb::Open(first_db.string(), true)->ReadLastError()->reference, "Test Aborted");
}

}  // namespace
}  // namespace lintaro
