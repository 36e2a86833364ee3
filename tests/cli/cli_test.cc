// The command-line checker as a user runs it: exit codes, summary and
// messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/clean_records.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunCli(const std::string& args, const testing::TempDir& scratch) {
  const std::string out = scratch.str() + "/out.txt";
  const std::string err = scratch.str() + "/err.txt";
  std::string command = std::string(LINTARO_CLI_PATH) + " " + args + " >" + out + " 2>" + err;
  int raw = std::system(command.c_str());
  auto slurp = [](const std::string& p) {
    std::string text;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
      std::array<char, 4096> buf;
      size_t n;
      while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0) text.append(buf.data(), n);
      std::fclose(f);
    }
    return text;
  };
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

class CliTest : public ::testing::Test {
 protected:
  std::string Home() const { return "--home '" + home.str() + "' "; }
  testing::TempDir home, files, scratch;
};

TEST_F(CliTest, CleanSubmissionExitsZeroWithASummary) {
  std::string f = files.Write("clean file.txt", testing::JoinRecords(testing::CleanSubmission(2)));
  Result r = RunCli("check " + Home() + "'" + f + "'", scratch);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Records tested: 6\nRecords with errors: 0\nErrors found: 0\n");
  EXPECT_EQ(r.err, "Results: Testing Completed.\nThere were no errors found.\n");
}

TEST_F(CliTest, FindingsExitOneAndNameTheCriticalStop) {
  auto records = testing::CleanSubmission(1);
  records.insert(records.begin() + 2, testing::MakeRecord("RCT"));
  std::string f = files.Write("s.txt", testing::JoinRecords(records));
  Result r = RunCli("check " + Home() + f, scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Errors found: 1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Execution of Testing was terminated due to the Critical Error in Record "
                       "Number 3:\nRCW record must follow RCE record.\n"),
            std::string::npos)
      << r.out;
}

TEST_F(CliTest, SeveralFilesAreOneSubmission) {
  auto records = testing::CleanSubmission(1);
  std::string a = files.Write("a.txt", testing::JoinRecords({records[0], records[1], records[2]}));
  std::string b = files.Write("b.txt", testing::JoinRecords({records[3], records[4]}));
  Result r = RunCli("check " + Home() + a + " " + b, scratch);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Missing Final Record: RCF record was not found."), std::string::npos);
  // Without the second file the submission ends without its final record.
  r = RunCli("check " + Home() + a, scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Submission must not end with RCW record."), std::string::npos) << r.out;
}

TEST_F(CliTest, NothingTestedExitsTwo) {
  EXPECT_EQ(RunCli("", scratch).status, 2);
  EXPECT_EQ(RunCli("check " + Home(), scratch).status, 2);
  EXPECT_EQ(RunCli("frobnicate", scratch).status, 2);
  EXPECT_EQ(RunCli("check --max-errors 0 " + Home() + "x", scratch).status, 2);
  EXPECT_EQ(RunCli("check --max-errors 25001 " + Home() + "x", scratch).status, 2);
  EXPECT_EQ(RunCli("check --home /nonexistent/folder x", scratch).status, 2);

  Result missing = RunCli("check " + Home() + files.str() + "/missing.txt", scratch);
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("Submission File Not Found: "), std::string::npos) << missing.err;

  Result folder = RunCli("check " + Home() + files.str(), scratch);
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.err.find("Submission File Error: Error Number: 75"), std::string::npos);

  Result empty = RunCli("check " + Home() + files.Write("e.txt", "\r\n\r\n"), scratch);
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("Warning: The file contains no valid data."), std::string::npos);
}

TEST_F(CliTest, MaxErrorsAppliesToThisRunOnlyAndBinaryFilesAreRefusedClearly) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary.push_back(static_cast<char>((i * 37) % 256));
  home.Write("ErrSetLog.ini", "[Maximum Error Count]:7\r\n");
  Result r = RunCli("check --max-errors 1 " + Home() + files.Write("b.bin", binary), scratch);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Record 1 must be RCA record."), std::string::npos) << r.out;
  // The setting file keeps its limit.
  std::FILE* f = std::fopen((home.str() + "/ErrSetLog.ini").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char line[64] = {};
  std::fgets(line, sizeof line, f);
  std::fclose(f);
  EXPECT_STREQ(line, "[Maximum Error Count]:7\r\n");
}

}  // namespace
}  // namespace lintaro
