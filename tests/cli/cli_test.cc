// The command-line checker as a user runs it: exit codes, summary and
// messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::CliResult;

class CliTest : public ::testing::Test {
 protected:
  // lintaro-cli check --home HOME args...
  CliResult Check(std::vector<std::string> args) {
    args.insert(args.begin(), {"check", "--home", home.str()});
    return testing::RunCli(args);
  }
  testing::TempDir home, files;
};

TEST_F(CliTest, CleanSubmissionExitsZeroWithASummary) {
  std::string f = files.Write("clean file.txt", testing::JoinRecords(testing::CleanSubmission(2)));
  CliResult r = Check({f});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Records tested: 6\nRecords with errors: 0\nErrors found: 0\n");
  EXPECT_EQ(r.err, "Results: Testing Completed.\nThere were no errors found.\n");
}

TEST_F(CliTest, FindingsExitOneAndNameTheCriticalStop) {
  auto records = testing::CleanSubmission(1);
  records.insert(records.begin() + 2, testing::MakeRecord("RCT"));
  std::string f = files.Write("s.txt", testing::JoinRecords(records));
  CliResult r = Check({f});
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
  CliResult r = Check({a, b});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Missing Final Record: RCF record was not found."), std::string::npos);
  // Without the second file the submission ends without its final record.
  r = Check({a});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Submission must not end with RCW record."), std::string::npos) << r.out;
}

TEST_F(CliTest, NothingTestedExitsTwo) {
  EXPECT_EQ(testing::RunCli({}).status, 2);
  EXPECT_EQ(Check({}).status, 2);
  EXPECT_EQ(testing::RunCli({"frobnicate"}).status, 2);
  EXPECT_EQ(Check({"--max-errors", "0", "x"}).status, 2);
  EXPECT_EQ(Check({"--max-errors", "25001", "x"}).status, 2);
  EXPECT_EQ(testing::RunCli({"check", "--home", "/nonexistent/folder", "x"}).status, 2);

  CliResult missing = Check({files.str() + "/missing.txt"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("Submission File Not Found: "), std::string::npos) << missing.err;

  CliResult folder = Check({files.str()});
  EXPECT_EQ(folder.status, 2);
  EXPECT_NE(folder.err.find("Submission File Error: Error Number: 75"), std::string::npos);

  CliResult empty = Check({files.Write("e.txt", "\r\n\r\n")});
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("Warning: The file contains no valid data."), std::string::npos);
}

TEST_F(CliTest, MaxErrorsAppliesToThisRunOnlyAndBinaryFilesAreRefusedClearly) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary.push_back(static_cast<char>((i * 37) % 256));
  home.Write("ErrSetLog.ini", "[Maximum Error Count]:7\r\n");
  CliResult r = Check({"--max-errors", "1", files.Write("b.bin", binary)});
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
