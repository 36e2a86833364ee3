#include "core/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::TempDir;

TEST(ProgramFolderTest, OneTrailingSeparator) {
  EXPECT_EQ(WithTrailingSeparator("/opt/lintaro"), "/opt/lintaro/");
  EXPECT_EQ(WithTrailingSeparator("/opt/lintaro/"), "/opt/lintaro/");
  EXPECT_EQ(WithTrailingSeparator("/opt/lintaro//"), "/opt/lintaro/");
  EXPECT_EQ(WithTrailingSeparator("/"), "/");
}

TEST(ProgramFolderTest, HomeOptionBeatsEnvironmentBeatsExecutable) {
  TempDir exe, env, opt, user;
  ProgramFolders f = ResolveProgramFolders(exe.str(), opt.str(), env.str(), user.str());
  EXPECT_EQ(f.program, opt.str() + "/");
  EXPECT_EQ(f.data, f.program);
  EXPECT_FALSE(f.per_user);
  f = ResolveProgramFolders(exe.str(), "", env.str(), user.str());
  EXPECT_EQ(f.program, env.str() + "/");
  f = ResolveProgramFolders(exe.str(), "", "", user.str());
  EXPECT_EQ(f.program, exe.str() + "/");
}

TEST(ProgramFolderTest, UnwritableProgramFolderFallsBackToPerUserFolder) {
  TempDir root;
  const std::string missing = root.str() + "/not-there";
  const std::string per_user = root.str() + "/share/Lintaro";
  ProgramFolders f = ResolveProgramFolders(missing, "", "", per_user);
  EXPECT_TRUE(f.per_user);
  EXPECT_EQ(f.data, per_user + "/");
  EXPECT_TRUE(std::filesystem::is_directory(per_user));
  EXPECT_TRUE(f.problem.empty());
  // Nothing writable at all is reported, not hidden.
  f = ResolveProgramFolders(missing, "", "", "");
  EXPECT_FALSE(f.problem.empty());
}

TEST(ProgramFolderTest, HelpFileFromProgramFolderThenInstallation) {
  TempDir home, install;
  std::filesystem::create_directories(install.path() / "bin");
  std::filesystem::create_directories(install.path() / "share" / "lintaro");
  std::ofstream(install.path() / "share" / "lintaro" / kHelpFileName) << "<html></html>";
  const std::string bin = (install.path() / "bin").string();

  ProgramFolders f = ResolveProgramFolders(bin, home.str(), "", "");
  EXPECT_EQ(f.help_file, (install.path() / "share" / "lintaro" / kHelpFileName).string());

  std::ofstream(home.path() / kHelpFileName) << "<html></html>";
  f = ResolveProgramFolders(bin, home.str(), "", "");
  EXPECT_EQ(f.help_file, (home.path() / kHelpFileName).string());
}

}  // namespace
}  // namespace lintaro
