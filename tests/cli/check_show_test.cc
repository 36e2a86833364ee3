// lintaro-cli check and show as a user runs them: exit codes, summary,
// messages and the stored record as the viewer shows it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class CliTest : public ::testing::Test {
 protected:
  CliResult Check(std::vector<std::string> args) {
    args.insert(args.begin(), {"check", "--home", home.str()});
    return RunCli(args);
  }
  CliResult Show(const std::string& args) {
    return RunCliLine("show --home '" + home.str() + "' " + args);
  }
  std::string File(const std::vector<std::string>& records, const std::string& name = "s.txt") {
    return files.Write(name, JoinRecords(records));
  }
  TempDir home, files;
};

TEST_F(CliTest, CheckExitsZeroOneOrTwo) {
  CliResult clean = Check({File(CleanSubmission(2), "clean file.txt")});
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_EQ(clean.out, "Records tested: 6\nRecords with errors: 0\nErrors found: 0\n");
  EXPECT_EQ(clean.err, "Results: Testing Completed.\nThere were no errors found.\n");

  auto records = CleanSubmission(1);
  records.insert(records.begin() + 2, MakeRecord("RCT"));
  CliResult stop = Check({File(records)});
  EXPECT_EQ(stop.status, 1);
  EXPECT_NE(
      stop.out.find("Errors found: 1\nExecution of Testing was terminated due to the "
                    "Critical Error in Record Number 3:\nRCW record must follow RCE record.\n"),
      std::string::npos)
      << stop.out;

  // Several files are one submission; without the second one it ends
  // without its final record.
  records = CleanSubmission(1);
  const std::string a = File({records[0], records[1], records[2]}, "a.txt");
  CliResult two = Check({a, File({records[3], records[4]}, "b.txt")});
  EXPECT_EQ(two.status, 0) << two.err;
  EXPECT_NE(two.err.find("Missing Final Record: RCF record was not found."), std::string::npos);
  CliResult one = Check({a});
  EXPECT_EQ(one.status, 1);
  EXPECT_NE(one.out.find("Submission must not end with RCW record."), std::string::npos) << one.out;

  const std::string limit = "--max-errors must be a whole number";
  for (const auto& [args, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "no submission file given"},
           {{"--max-errors", "0", "x"}, limit},
           {{"--max-errors", "25001", "x"}, limit}}) {
    CliResult r = Check(args);
    EXPECT_EQ(r.status, 2) << says;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
  }
  EXPECT_EQ(RunCli({}).status, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
  EXPECT_EQ(RunCli({"check", "--home", "/nonexistent/folder", "x"}).status, 2);
  const std::vector<std::pair<std::string, std::string>> nothing_tested = {
      {files.str() + "/missing.txt",
       "lintaro-cli: " + files.str() + "/missing.txt does not exist\n"},
      {files.str(), "lintaro-cli: " + files.str() + " is a folder, not a submission file\n"},
      {"/dev/null", "lintaro-cli: /dev/null is not a regular file\n"},
      {files.Write("e.txt", "\r\n\r\n"), "Warning: The file contains no valid data."}};
  for (const auto& [file, says] : nothing_tested) {
    CliResult r = Check({file});
    EXPECT_EQ(r.status, 2) << file;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
  }
}

TEST_F(CliTest, MaxErrorsAppliesToThisRunOnly) {
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary.push_back(static_cast<char>((i * 37) % 256));
  home.Write("ErrSetLog.ini", "[Maximum Error Count]:7\r\n");
  CliResult r = Check({"--max-errors", "1", files.Write("b.bin", binary)});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Record 1 must be RCA record."), std::string::npos) << r.out;
  EXPECT_EQ(ReadWholeFile(home.str() + "/ErrSetLog.ini"), "[Maximum Error Count]:7\r\n");
}

TEST_F(CliTest, ShowPrintsEveryRowWithTheViewersMarks) {
  // Social Security wages above the 2007 wage base, and a name with an
  // accented letter (code page 1252 byte 0xC9), which names may not hold.
  const std::string rcw = CleanRCW({{72, "REN\xC9"}, {288, Cents(9000000)}, {299, Cents(9750001)}});
  ASSERT_EQ(Check({File({CleanRCA(), CleanRCE(), rcw, CleanRCT(1), FinalRecord(1)})}).status, 1);
  CliResult r = Show("3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::vector<std::string> lines;
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 78u);
  EXPECT_EQ(lines[0], "  0 Record Identifier [RCW]");
  EXPECT_EQ(lines[6], "* 6 Employee's Correct First Name [REN\xC3\x89           ]");
  EXPECT_EQ(lines[24], "* 24 Correct Social Security Wages [00009750001]");
  // The same marks as the viewer model, line for line.
  auto db = ResultsDb::Open((home.path() / kResultsFileName).string(), true);
  RecordViewer viewer(*db);
  ASSERT_EQ(viewer.ViewFile(3), ViewResult::kShown);
  for (size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i], ViewerRowLine(static_cast<int>(i), viewer.rows()[i]));
  // Control characters cannot reach the terminal.
  EXPECT_EQ(PrintableUtf8("A\x1b[2JB"), "A\xEF\xBF\xBD[2JB");
  EXPECT_EQ(PrintableUtf8(std::string("\0\x7f\x9d", 3)), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(PrintableUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(ViewerRowLine(5, ViewerRow{"City", "A\tB", true}),
            "* 5 City [A\xEF\xBF\xBD"
            "B]");
}

TEST_F(CliTest, ShowExitsTwoWithAMessageWhenItCannotShow) {
  CliResult none = Show("1");
  EXPECT_EQ(none.status, 2);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "lintaro.lock"));  // reading leaves no file
  EXPECT_EQ(none.err,
            "lintaro-cli: there are no test results in " + home.str() + " (no ERRLOG2C.MDB)\n");
  home.Write(kResultsFileName, "This is not a results database, just text.\n");
  CliResult foreign = Show("1");
  EXPECT_EQ(foreign.status, 2);
  EXPECT_TRUE(foreign.err.starts_with("lintaro-cli: the test results cannot be read: "))
      << foreign.err;
  EXPECT_EQ(foreign.out, "");

  ASSERT_EQ(Check({File(CleanSubmission(1))}).status, 0);
  CliResult missing = Show("99");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(
      missing.err,
      "lintaro-cli: record 99 is not stored in the last test's results (5 record(s) tested)\n");
  for (const char* bad : {"'0'", "'-1'", "'3x'", "''"}) {
    CliResult r = Show(bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_TRUE(r.err.ends_with("\nTry 'lintaro-cli --help'.\n")) << bad << r.err;
    EXPECT_EQ(r.out, "");
  }
  for (const char* bad : {"", "1 2", "--color 1"}) EXPECT_EQ(Show(bad).status, 2) << bad;
}

}  // namespace
}  // namespace lintaro
