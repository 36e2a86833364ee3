#include "core/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::TempDir;

// Where an installed copy, a build folder and hand-made copies keep their
// results and find their help file. Paths are relative to a temporary root;
// "" as data means the per-user data folder.
struct FolderCase {
  const char *layout;
  const char *files;  // separated by blanks
  const char *executable_folder, *home_option, *home_env, *data, *help_file;
};
void PrintTo(const FolderCase &c, std::ostream *os) { *os << c.layout; }

class InstalledCopyTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(InstalledCopyTest, DataFolderAndHelpFile) {
  const FolderCase &c = GetParam();
  TempDir root;
  std::istringstream files(c.files);
  for (std::string file; files >> file;) {
    std::filesystem::create_directories((root.path() / file).parent_path());
    std::ofstream(root.path() / file) << "x";
  }
  for (const char *folder : {c.home_option, c.home_env})
    if (*folder) std::filesystem::create_directories(root.path() / folder);
  auto under_root = [&](const char *p) { return *p ? (root.path() / p).string() : ""; };
  const std::string per_user = root.str() + "/data-home/Lintaro";
  const ProgramFolders f = ResolveProgramFolders(
      under_root(c.executable_folder), under_root(c.home_option), under_root(c.home_env), per_user);
  EXPECT_EQ(f.data, *c.data ? WithTrailingSeparator(under_root(c.data)) : per_user + "/");
  EXPECT_EQ(f.per_user, *c.data == '\0');
  if (!f.per_user) {
    EXPECT_EQ(f.program, f.data);
  }
  EXPECT_EQ(f.help_file, under_root(c.help_file));
  EXPECT_TRUE(f.problem.empty()) << f.problem;
}

constexpr const char *kShared = "prefix/share/lintaro/Lintaro.hlp";
constexpr const char *kInstalled = "prefix/bin/lintaro prefix/share/lintaro/Lintaro.hlp";

// Layout, its files, the executable's folder, --home, $LINTARO_HOME, data folder, help file.
const std::vector<FolderCase> kLayouts = {
    {"BuildFolder", "build/lintaro build/Lintaro.hlp", "build", "", "", "build",
     "build/Lintaro.hlp"},
    {"InstalledToUserPrefix", kInstalled, "prefix/bin", "", "", "", kShared},
    {"InstalledFolderWithTrailingSlash", kInstalled, "prefix/bin/", "", "", "", kShared},
    // --home beats $LINTARO_HOME, which beats the executable's folder.
    {"InstalledWithHomeOption", kInstalled, "prefix/bin", "work", "env", "work", kShared},
    {"InstalledWithHomeEnvironment", kInstalled, "prefix/bin", "", "env", "env", kShared},
    {"HelpInTheNamedFolderFirst",
     "prefix/bin/lintaro prefix/share/lintaro/Lintaro.hlp work/Lintaro.hlp", "prefix/bin", "work",
     "", "work", "work/Lintaro.hlp"},
    {"HandCopiedBinWithHelpBesideIt", "copy/bin/Lintaro.hlp copy/share/lintaro/Lintaro.hlp",
     "copy/bin", "", "", "copy/bin", "copy/bin/Lintaro.hlp"},
    {"BinWithoutSharedHelp", "tools/bin/lintaro", "tools/bin", "", "", "tools/bin",
     "tools/bin/Lintaro.hlp"},
    {"SharedHelpBesideAFolderNotNamedBin", "opt/programs/lintaro opt/share/lintaro/Lintaro.hlp",
     "opt/programs", "", "", "opt/programs", "opt/share/lintaro/Lintaro.hlp"},
};

INSTANTIATE_TEST_SUITE_P(Layouts, InstalledCopyTest, ::testing::ValuesIn(kLayouts),
                         [](const auto &info) { return std::string(info.param.layout); });

TEST(ProgramFolder, AFolderThatCannotBeUsedFallsBackOrIsReported) {
  for (const char *path : {"/opt/lintaro", "/opt/lintaro/", "/opt/lintaro//"})
    EXPECT_EQ(WithTrailingSeparator(path), "/opt/lintaro/");
  EXPECT_EQ(WithTrailingSeparator("/"), "/");
  TempDir root, exe;
  const std::string missing = root.str() + "/not-there";
  const std::string per_user = root.str() + "/share/Lintaro";
  // The executable's folder that cannot be written: the per-user folder.
  ProgramFolders f = ResolveProgramFolders(missing, "", "", per_user);
  EXPECT_TRUE(f.per_user);
  EXPECT_EQ(f.data, per_user + "/");
  EXPECT_TRUE(std::filesystem::is_directory(per_user));
  EXPECT_TRUE(f.problem.empty());
  EXPECT_FALSE(ResolveProgramFolders(missing, "", "", "").problem.empty());  // reported, not hidden

  // A folder the user named is never swapped for another one.
  for (const auto &[option, env] : {std::pair{missing, std::string()}, {std::string(), missing}}) {
    ProgramFolders named = ResolveProgramFolders(exe.str(), option, env, per_user);
    EXPECT_FALSE(named.per_user);
    EXPECT_EQ(named.data, missing + "/");
    EXPECT_EQ(named.problem, "The program folder " + missing + " does not exist.");
  }

  // An installed copy never falls back on its bin folder, even when the
  // per-user folder cannot be made (its parent is a file).
  std::filesystem::create_directories(root.path() / "bin");
  std::filesystem::create_directories(root.path() / "share" / "lintaro");
  std::ofstream(root.path() / "share" / "lintaro" / kHelpFileName) << "x";
  std::ofstream(root.path() / "plain-file") << "x";
  const std::string blocked = root.str() + "/plain-file/Lintaro";
  f = ResolveProgramFolders(root.str() + "/bin", "", "", blocked);
  EXPECT_EQ(f.problem, "The per-user data folder " + blocked + "/ cannot be written.");
  EXPECT_EQ(f.data, blocked + "/");
}

TEST(ProgramFolder, PerUserDataFolderFromXdgDataHomeOrHome) {
  struct Case {
    const char *xdg_data_home, *home, *folder;
  } cases[] = {
      {"/srv/data", "/home/ann", "/srv/data/Lintaro"},
      {"relative/data", "/home/ann", "/home/ann/.local/share/Lintaro"},  // invalid, ignored
      {"", "/home/ann", "/home/ann/.local/share/Lintaro"},
      {nullptr, "/home/ann", "/home/ann/.local/share/Lintaro"},
      {nullptr, "", ""},
      {nullptr, nullptr, ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(PerUserDataFolder(c.xdg_data_home, c.home), c.folder)
        << (c.xdg_data_home ? c.xdg_data_home : "(unset)");
}

}  // namespace
}  // namespace lintaro
