// A replacing file is written whole or not at all: whatever stops it, the
// file named holds what it held before, and nothing part-written stays
// beside it.
#include "os/replacing_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::ReadWholeFile;
using testing::TempDir;

std::vector<std::string> NamesIn(const TempDir& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReplacingFile, ReplacesTheFileOnlyWhenComplete) {
  TempDir folder;
  const std::string report = folder.Write("report.txt", "the last report");
  {
    ReplacingFile file(report);
    ASSERT_TRUE(file.ok()) << file.problem();
    EXPECT_TRUE(file.Write("a new report, "));
    // Until it is committed the old one stands, and nothing else is seen.
    EXPECT_EQ(ReadWholeFile(report), "the last report");
    EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"report.txt"});
    EXPECT_TRUE(file.Write("whole"));
    EXPECT_TRUE(file.Commit()) << file.problem();
  }
  EXPECT_EQ(ReadWholeFile(report), "a new report, whole");
  EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"report.txt"});
  struct stat info {};
  ASSERT_EQ(::stat(report.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // Given up: the old file as it was.
  { ReplacingFile(report).Write("never committed"); }
  EXPECT_EQ(ReadWholeFile(report), "a new report, whole");
  EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"report.txt"});

  // A symbolic link of the name is replaced; its target is never written.
  const std::string target = folder.Write("target.txt", "kept");
  const std::string link = folder.str() + "/link.txt";
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  ReplacingFile through(link);
  ASSERT_TRUE(through.Write("new") && through.Commit()) << through.problem();
  EXPECT_EQ(ReadWholeFile(target), "kept");
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadWholeFile(link), "new");

  // A folder that is not there: a reason, and nothing written.
  ReplacingFile nowhere(folder.str() + "/gone/report.txt");
  EXPECT_FALSE(nowhere.ok());
  EXPECT_EQ(nowhere.problem(), "No such file or directory");
  EXPECT_FALSE(nowhere.Commit());
}

// A report holds Social Security numbers: one killed while it is written
// must not leave its first part on the disk under any name.
TEST(ReplacingFile, AKilledWriterLeavesNothingBehind) {
  TempDir folder;
  const std::string report = folder.Write("report.txt", "the last report");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ReplacingFile file(report);
    file.Write(std::string(64 * 1024, 'x'));
    ::raise(SIGKILL);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(NamesIn(folder), std::vector<std::string>{"report.txt"});
  EXPECT_EQ(ReadWholeFile(report), "the last report");
}

}  // namespace
}  // namespace lintaro
