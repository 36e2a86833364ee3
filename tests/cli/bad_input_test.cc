// Bad input that needs another user or a tracer: a clear message and exit
// status, and nothing already stored lost. The rest of bad input is in
// tests/cli/sessions/bad-input.session.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::AsUnprivilegedUser;
using testing::CliResult;
using testing::RunCli;

class BadInputTest : public ::testing::Test {
 protected:
  BadInputTest() {
    // The unprivileged user must reach the temporary folders.
    std::filesystem::permissions(home.path(), std::filesystem::perms::all);
    std::filesystem::permissions(files.path(), std::filesystem::perms::all);
  }
  CliResult Check(const std::vector<std::string> &args,
                  const std::vector<std::string> &prefix = {}) {
    std::vector<std::string> all = {"check", "--home", home.str()};
    all.insert(all.end(), args.begin(), args.end());
    return RunCli(all, prefix);
  }
  std::string db() const { return home.str() + "/ERRLOG2C.MDB"; }
  std::string Clean() const {
    std::string f = files.Write("clean.txt", testing::JoinRecords(testing::CleanSubmission(2)));
    chmod(f.c_str(), 0644);  // readable by the unprivileged user
    return f;
  }
  CliResult Report(const std::vector<std::string> &more = {},
                   const std::vector<std::string> &prefix = {}) {
    std::vector<std::string> args = {"report", "--home", home.str()};
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(args, prefix);
  }

  testing::TempDir home, files;
};

TEST_F(BadInputTest, UnreadableFileOrReadOnlyProgramFolderKeepsTheLastResults) {
  std::string f = Clean();
  chmod(f.c_str(), 0);
  CliResult denied = Check({f}, AsUnprivilegedUser());
  EXPECT_EQ(denied.status, 2) << denied.err;
  EXPECT_EQ(denied.err, "lintaro-cli: " + f + " cannot be read: Permission denied\n");
  chmod(f.c_str(), 0644);
  ASSERT_EQ(Check({f}).status, 0);
  const auto before = std::filesystem::file_size(db());
  chmod(home.str().c_str(), 0555);
  CliResult r = Check({Clean()}, AsUnprivilegedUser());
  chmod(home.str().c_str(), 0755);
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_EQ(r.err, "lintaro-cli: The program folder " + home.str() + " cannot be written.\n");
  // The results of the last check are still there and whole.
  EXPECT_EQ(std::filesystem::file_size(db()), before);
  EXPECT_EQ(ResultsDb::Open(db(), true)->CountRecords(), 6);
}

TEST_F(BadInputTest, NothingOpensANetworkConnection) {
  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "strace is not installed";
  const std::string log = files.str() + "/trace.txt";
  // Leak checking of a sanitized build does not work under a tracer.
  std::vector<std::string> trace = {"env",
                                    "ASAN_OPTIONS=detect_leaks=0",
                                    "/usr/bin/strace",
                                    "-f",
                                    "-qq",
                                    "-e",
                                    "trace=socket,connect",
                                    "-o",
                                    log};
  auto records = testing::CleanSubmission(1);
  records[2].replace(71, 8, "<SCRIPT>");  // the correct first name: reported
  ASSERT_EQ(Check({files.Write("s.txt", testing::JoinRecords(records))}, trace).status, 1);
  EXPECT_EQ(testing::ReadWholeFile(log), "");
  ASSERT_EQ(Report({"--format", "html"}, trace).status, 0);
  EXPECT_EQ(testing::ReadWholeFile(log), "");
}

}  // namespace
}  // namespace lintaro
