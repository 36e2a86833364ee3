#include "core/error_limit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "os/path.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/pipe_release.h"

namespace lintaro {
namespace {

TEST(ErrorLimit, SettingsFileIsReadOrRewrittenWith500AndDialogEntriesAreRead) {
  const std::vector<std::pair<std::optional<std::string>, int>> cases = {
      {std::nullopt, 500},  // a missing file is created
      {"[Maximum Error Count]:25000\r\n", 25000},
      {"[Maximum Error Count]:1", 1},
      {"anything: 42 \n:7\n", 42},  // the number after the first colon
      {"", 500},
      {"[Maximum Error Count]:", 500},
      {"[Maximum Error Count]:0", 500},
      {"[Maximum Error Count]:25001", 500},
      {"[Maximum Error Count]:-5", 500},
      {"[Maximum Error Count]:12.5", 500},
      {"[Maximum Error Count]500", 500},
      {"\x01\x02\xff\xfe", 500}};
  for (const auto& [content, limit] : cases) {
    testing::TempDir dir;
    if (content) dir.Write("ErrSetLog.ini", *content);
    EXPECT_EQ(LoadErrorLimit(dir.str()), limit) << content.value_or("(none)");
    if (limit == 500) {  // unusable lines are rewritten
      EXPECT_EQ(testing::ReadWholeFile(JoinPath(dir.str(), "ErrSetLog.ini")),
                "[Maximum Error Count]:500\r\n");
    }
  }
  testing::TempDir dir;
  ASSERT_TRUE(SaveErrorLimit(dir.str(), 1234));
  EXPECT_EQ(testing::ReadWholeFile(JoinPath(dir.str(), "ErrSetLog.ini")),
            "[Maximum Error Count]:1234\r\n");
  EXPECT_EQ(LoadErrorLimit(dir.str()), 1234);
  // For its owner alone, or for the group sharing the folder too, who reads it.
  for (const auto& [folder_mode, file_mode] :
       {std::pair{0700u, 0600u}, {02770u, 0640u}, {0750u, 0600u}}) {
    testing::TempDir shared;
    ASSERT_EQ(chmod(shared.str().c_str(), folder_mode), 0);
    ASSERT_TRUE(SaveErrorLimit(shared.str(), 7));
    struct stat info {};
    ASSERT_EQ(stat(JoinPath(shared.str(), "ErrSetLog.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, file_mode) << std::oct << folder_mode;
  }
  EXPECT_EQ(LoadErrorLimit("/nonexistent/lintaro/folder"), 500);  // without failing
  EXPECT_FALSE(SaveErrorLimit("/nonexistent/lintaro/folder", 20));
  // What the dialog accepts.
  for (const auto& [entry, limit] : {std::pair{"25000", 25000}, {" 25 ", 25}, {"0001", 1}})
    EXPECT_EQ(ParseErrorLimitEntry(entry), limit) << entry;
  for (const char* bad : {"", "   ", "0", "25001", "99999999999", "2a5", "-1"})
    EXPECT_FALSE(ParseErrorLimitEntry(bad).has_value()) << bad;

  // The window reads the setting at its start: a named pipe of that name is
  // not waited on but replaced, with the rest of the folder left alone.
  testing::TempDir piped;
  const std::string pipe = JoinPath(piped.str(), "ErrSetLog.ini");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  int limit = 0;
  {
    testing::PipeRelease guard(pipe);
    limit = LoadErrorLimit(piped.str());
  }
  EXPECT_EQ(limit, 500);
  struct stat info {};
  ASSERT_EQ(lstat(pipe.c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(testing::ReadWholeFile(pipe), "[Maximum Error Count]:500\r\n");
}

}  // namespace
}  // namespace lintaro
