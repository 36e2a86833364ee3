// Bad input that needs another user: a clear message and exit status, and
// nothing already stored lost. The rest of bad input is in
// tests/cli/sessions/bad-input.session.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

TEST(BadInputTest, UnreadableFileOrReadOnlyProgramFolderKeepsTheLastResults) {
  TempDir home, files;
  // The unprivileged user must reach the temporary folders and the file.
  std::filesystem::permissions(home.path(), std::filesystem::perms::all);
  std::filesystem::permissions(files.path(), std::filesystem::perms::all);
  const std::string f = files.Write("clean.txt", JoinRecords(CleanSubmission(2)));
  const std::string db = home.str() + "/ERRLOG2C.MDB";
  chmod(f.c_str(), 0);
  CliResult denied = RunCli({"check", "--home", home.str(), f}, AsUnprivilegedUser());
  EXPECT_EQ(denied.status, 2) << denied.err;
  EXPECT_EQ(denied.err, "lintaro-cli: " + f + " cannot be read: Permission denied\n");
  chmod(f.c_str(), 0644);
  ASSERT_EQ(RunCli({"check", "--home", home.str(), f}).status, 0);
  const auto before = std::filesystem::file_size(db);
  chmod(home.str().c_str(), 0555);
  CliResult r = RunCli({"check", "--home", home.str(), f}, AsUnprivilegedUser());
  chmod(home.str().c_str(), 0755);
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_EQ(r.err, "lintaro-cli: The program folder " + home.str() + " cannot be written.\n");
  // The results of the last check are still there and whole.
  EXPECT_EQ(std::filesystem::file_size(db), before);
  EXPECT_EQ(ResultsDb::Open(db, true)->CountRecords(), 6);
}

}  // namespace
}  // namespace lintaro
