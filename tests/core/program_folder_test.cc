#include "core/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::TempDir;

TEST(ProgramFolder, HomeOptionBeatsEnvironmentBeatsExecutable) {
  for (const char* path : {"/opt/lintaro", "/opt/lintaro/", "/opt/lintaro//"})
    EXPECT_EQ(WithTrailingSeparator(path), "/opt/lintaro/");
  EXPECT_EQ(WithTrailingSeparator("/"), "/");
  TempDir exe, env, opt, user;
  ProgramFolders f = ResolveProgramFolders(exe.str(), opt.str(), env.str(), user.str());
  EXPECT_EQ(f.program, opt.str() + "/");
  EXPECT_EQ(f.data, f.program);
  EXPECT_FALSE(f.per_user);
  EXPECT_EQ(ResolveProgramFolders(exe.str(), "", env.str(), user.str()).program, env.str() + "/");
  EXPECT_EQ(ResolveProgramFolders(exe.str(), "", "", user.str()).program, exe.str() + "/");
}

TEST(ProgramFolder, UnwritableProgramFolderFallsBackToPerUserFolder) {
  TempDir root;
  const std::string missing = root.str() + "/not-there";
  const std::string per_user = root.str() + "/share/Lintaro";
  ProgramFolders f = ResolveProgramFolders(missing, "", "", per_user);
  EXPECT_TRUE(f.per_user);
  EXPECT_EQ(f.data, per_user + "/");
  EXPECT_TRUE(std::filesystem::is_directory(per_user));
  EXPECT_TRUE(f.problem.empty());
  EXPECT_FALSE(ResolveProgramFolders(missing, "", "", "").problem.empty());  // reported, not hidden

  // A folder the user named is never swapped for another one.
  TempDir exe;
  for (const auto& [option, env] : {std::pair{missing, std::string()}, {std::string(), missing}}) {
    ProgramFolders named = ResolveProgramFolders(exe.str(), option, env, per_user);
    EXPECT_FALSE(named.per_user);
    EXPECT_EQ(named.data, missing + "/");
    EXPECT_EQ(named.problem, "The program folder " + missing + " does not exist.");
  }
}

TEST(ProgramFolder, HelpFileFromProgramFolderThenInstallation) {
  TempDir home, install;
  const auto shared = install.path() / "share" / "lintaro";
  std::filesystem::create_directories(install.path() / "bin");
  std::filesystem::create_directories(shared);
  std::ofstream(shared / kHelpFileName) << "<html></html>";
  const std::string bin = (install.path() / "bin").string();
  EXPECT_EQ(ResolveProgramFolders(bin, home.str(), "", "").help_file, (shared / kHelpFileName).string());
  std::ofstream(home.path() / kHelpFileName) << "<html></html>";
  EXPECT_EQ(ResolveProgramFolders(bin, home.str(), "", "").help_file,
            (home.path() / kHelpFileName).string());
}

}  // namespace
}  // namespace lintaro
