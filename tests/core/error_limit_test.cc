#include "core/error_limit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/fakes.h"

namespace lintaro {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ErrorLimit, MissingFileIsCreatedWithTheDefaultLine) {
  testing::TempDir dir;
  EXPECT_EQ(LoadErrorLimit(dir.str()), 500);
  EXPECT_EQ(ReadAll(JoinPath(dir.str(), "ErrSetLog.ini")), "[Maximum Error Count]:500\r\n");
}

TEST(ErrorLimit, ReadsTheNumberAfterTheFirstColon) {
  testing::TempDir dir;
  dir.Write("ErrSetLog.ini", "[Maximum Error Count]:25000\r\n");
  EXPECT_EQ(LoadErrorLimit(dir.str()), 25000);
  dir.Write("ErrSetLog.ini", "[Maximum Error Count]:1");
  EXPECT_EQ(LoadErrorLimit(dir.str()), 1);
  dir.Write("ErrSetLog.ini", "anything: 42 \n:7\n");
  EXPECT_EQ(LoadErrorLimit(dir.str()), 42);
}

TEST(ErrorLimit, UnusableLinesMean500AndAreRewritten) {
  for (const char* content :
       {"", "[Maximum Error Count]:", "[Maximum Error Count]:0", "[Maximum Error Count]:25001",
        "[Maximum Error Count]:-5", "[Maximum Error Count]:12.5", "[Maximum Error Count]:ten",
        "[Maximum Error Count]500", "\x01\x02\xff\xfe"}) {
    testing::TempDir dir;
    dir.Write("ErrSetLog.ini", content);
    EXPECT_EQ(LoadErrorLimit(dir.str()), 500) << content;
    EXPECT_EQ(ReadAll(JoinPath(dir.str(), "ErrSetLog.ini")), "[Maximum Error Count]:500\r\n")
        << content;
  }
}

TEST(ErrorLimit, AFolderThatCannotBeUsedGives500WithoutFailing) {
  EXPECT_EQ(LoadErrorLimit("/nonexistent/lintaro/folder"), 500);
  EXPECT_FALSE(SaveErrorLimit("/nonexistent/lintaro/folder", 20));
}

TEST(ErrorLimit, SaveWritesTheSingleLine) {
  testing::TempDir dir;
  ASSERT_TRUE(SaveErrorLimit(dir.str(), 1234));
  EXPECT_EQ(ReadAll(JoinPath(dir.str(), "ErrSetLog.ini")), "[Maximum Error Count]:1234\r\n");
  EXPECT_EQ(LoadErrorLimit(dir.str()), 1234);
}

TEST(ErrorLimit, DialogEntriesOutsideOneTo25000AreRefused) {
  EXPECT_EQ(ParseErrorLimitEntry("25000"), 25000);
  EXPECT_EQ(ParseErrorLimitEntry(" 25 "), 25);
  EXPECT_EQ(ParseErrorLimitEntry("0001"), 1);
  for (const char* bad : {"", "   ", "0", "00", "25001", "99999999999", "2a5", "-1"})
    EXPECT_FALSE(ParseErrorLimitEntry(bad).has_value()) << bad;
}

TEST(ErrorLimit, LimitFindingTexts) {
  EXPECT_EQ(ErrorLimitReference(500), "500 or more Errors in submission");
  EXPECT_EQ(ErrorLimitUserEntry(1), "1 Errors");
  EXPECT_EQ(ErrorLimitMessage(500),
            "500 or more errors were encountered. Please correct the errors identified in the "
            "submission and rerun Lintaro. Please note that the number of errors allowed before "
            "Lintaro stops testing can be set by the user to a number between 1 and 25,000. For "
            "information on how to set the error limitation, please look in the Help section "
            "located on the Lintaro Welcome Screen.");
}

}  // namespace
}  // namespace lintaro
