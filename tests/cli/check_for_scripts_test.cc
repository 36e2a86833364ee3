// lintaro-cli check as batch jobs and CI run it: signals, the progress line
// on a terminal and an installed copy's results; its output otherwise is in
// tests/cli/sessions/check.session, one run per program folder in
// tests/cli/sessions/results.session.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class CheckForScriptsTest : public ::testing::Test {
 protected:
  // lintaro-cli check of a new file of the records in the program folder.
  std::vector<std::string> Check(const std::string& name, const std::vector<std::string>& records) {
    return {"check", "--home", home.str(), files.Write(name, JoinRecords(records))};
  }
  std::string db() const { return home.str() + "/" + kResultsFileName; }
  TempDir home, files;
};

TEST_F(CheckForScriptsTest, SignalsAbortTheRunKeepTheResultsAndSetTheStatus) {
  const std::vector<std::string> check = Check("big.txt", CleanSubmission(60000));
  for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    std::filesystem::remove(db());
    RunningCli running = StartCli(check);
    ASSERT_TRUE(WaitForFileSize(db(), 1 << 20));
    kill(running.pid, signal);
    CliResult r = FinishCli(running);
    EXPECT_EQ(r.status, status) << r.err;
    const size_t at = r.err.find("lintaro-cli: Interrupted at record ");
    ASSERT_NE(at, std::string::npos) << r.err;
    const int64_t record = std::stoll(r.err.substr(at + 35));
    auto stored = ResultsDb::Open(db(), true);
    EXPECT_EQ(stored->CountRecords(), record);
    std::optional<ErrorRow> last = stored->ReadLastError();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->reference, "Test Aborted");
    EXPECT_EQ(last->rec_num, record);
    EXPECT_NE(r.out.find("Records tested: " + std::to_string(record) + "\n"), std::string::npos);
  }
}

TEST_F(CheckForScriptsTest, TheProgressLineIsErasedBeforeOtherOutputAndEndsAtAHundred) {
  CliResult r = RunCliOnTerminal(Check("clean.txt", CleanSubmission(3000)));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Processing Record Number: 3004 (100%)\033[K\r\033[KResults: Testing "
                       "Completed."),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\nRecords tested: 3004\r\n"), std::string::npos) << r.out;
  // A run that stops early erases the line before its summary too.
  auto records = CleanSubmission(3000);
  records[1500] = MakeRecord("RCF");
  r = RunCliOnTerminal(Check("stop.txt", records));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.find("100%"), std::string::npos);
  EXPECT_NE(r.out.find("\033[K\r\033[KRecords tested: 1501\r\n"), std::string::npos) << r.out;
}

// The rest of where the results go is in tests/cli/sessions/check.session.
TEST_F(CheckForScriptsTest, ACopyInAFolderItCannotWriteKeepsItsResultsInThePerUserFolder) {
  const std::string clean = files.Write("clean.txt", JoinRecords(CleanSubmission(1)));
  TempDir install, user;
  const std::filesystem::path copy = install.path() / "lintaro-cli";
  std::filesystem::copy_file(LINTARO_CLI_PATH, copy);
  for (const auto& dir : {files.path(), user.path()})
    std::filesystem::permissions(dir, std::filesystem::perms::all);
  chmod(clean.c_str(), 0644);
  chmod(install.str().c_str(), 0555);
  // The copy is run in place of the built program.
  std::vector<std::string> as_copy =
      AsUnprivilegedUser({"env", "HOME=" + user.str(), "XDG_DATA_HOME=" + user.str()});
  as_copy.insert(as_copy.end(),
                 {"/bin/sh", "-c", "shift; exec '" + copy.string() + "' \"$@\"", "sh"});
  CliResult r = RunCli({"check", clean}, as_copy);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(user.path() / "Lintaro" / kResultsFileName));
  EXPECT_FALSE(std::filesystem::exists(install.path() / kResultsFileName));
  EXPECT_EQ(RunCli({"report"}, as_copy).out, "No errors found in the submission!\n");
  chmod(install.str().c_str(), 0755);
}

}  // namespace
}  // namespace lintaro
