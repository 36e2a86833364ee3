#include "os/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/fakes.h"
#include "support/line_diff.h"

namespace lintaro {
namespace {

using testing::TempDir;

// Where an installed copy, a build folder, hand-made copies and folders that
// cannot be used keep their results and find their help file, compared with
// program_folder.layouts. Paths are relative to a temporary root (ROOT in
// the file); files ending in "/" are folders, in "/*" folders anyone may
// write in (as /tmp, with its sticky bit); "-" as the per-user folder
// means that there is none. Then the per-user folder of each environment.
TEST(ProgramFolder, DataFolderAndHelpFileOfEachLayout) {
  struct Layout {
    const char* name;
    std::string files;
    const char *executable_folder, *home_option = "", *home_env = "",
                                   *per_user = "data-home/Lintaro";
  };
  const char* installed = "prefix/bin/lintaro prefix/share/lintaro/Lintaro.hlp ";
  const std::string files_of_copy = std::string(installed) + "work/ env/";
  const Layout layouts[] = {
      {"build folder", "build/lintaro build/Lintaro.hlp", "build"},
      {"installed to a user prefix", installed, "prefix/bin"},
      {"installed, folder with a trailing slash", installed, "prefix/bin/"},
      {"command line installed alone", "cli/bin/lintaro-cli cli/share/lintaro/samples/clean.txt",
       "cli/bin"},
      // --home beats $LINTARO_HOME, which beats the executable's folder.
      {"installed with --home", files_of_copy, "prefix/bin", "work", "env"},
      {"installed with LINTARO_HOME", files_of_copy, "prefix/bin", "", "env"},
      {"help in the named folder first", files_of_copy + " work/Lintaro.hlp", "prefix/bin", "work"},
      {"hand-copied bin with help beside it", "copy/bin/Lintaro.hlp copy/share/lintaro/Lintaro.hlp",
       "copy/bin"},
      {"bin without shared help", "tools/bin/lintaro", "tools/bin"},
      {"shared help beside a folder not named bin",
       "opt/programs/lintaro opt/share/lintaro/Lintaro.hlp", "opt/programs"},
      // The executable's folder that cannot be written: the per-user folder.
      {"executable folder missing", "", "not-there"},
      {"executable folder missing, no per-user folder", "", "not-there", "", "", "-"},
      // A folder the user named is never swapped for another one.
      {"--home missing", "", ".", "not-there"},
      {"LINTARO_HOME missing", "", ".", "", "not-there"},
      // An installed copy never falls back on its bin folder, even when the
      // per-user folder cannot be made (its parent is a file).
      {"installed, per-user folder blocked", "bin/lintaro share/lintaro/Lintaro.hlp plain-file",
       "bin", "", "", "plain-file/Lintaro"},
      // Where anyone may write, another user could replace the results: a
      // named folder is refused, the executable's own gives way.
      {"--home that anyone may write in", "shared/*", ".", "shared"},
      {"build folder that anyone may write in", "build/* build/lintaro build/Lintaro.hlp", "build"},
      {"per-user folder that anyone may write in", "data-home/Lintaro/*", "not-there"},
  };
  std::string trace;
  for (const Layout& l : layouts) {
    TempDir root;
    std::istringstream files(l.files);
    for (std::string file; files >> file;) {
      std::filesystem::create_directories((root.path() / file).parent_path());
      if (file.ends_with("/*"))
        std::filesystem::permissions(
            (root.path() / file).parent_path(),
            std::filesystem::perms::all | std::filesystem::perms::sticky_bit);
      else if (!file.ends_with('/'))
        std::ofstream(root.path() / file) << "x";
    }
    auto at_root = [&](const char* p) { return *p ? (root.path() / p).string() : ""; };
    const ProgramFolders f =
        ResolveProgramFolders(at_root(l.executable_folder), at_root(l.home_option),
                              at_root(l.home_env), *l.per_user == '-' ? "" : at_root(l.per_user));
    // The per-user folder made here holds results with SSNs: its owner's alone.
    const auto mode = std::filesystem::status(f.data).permissions() & std::filesystem::perms::all;
    std::ostringstream per_user;
    if (f.per_user && std::filesystem::is_directory(f.data))
      per_user << " (per user, mode " << std::oct << static_cast<unsigned>(mode) << ")";
    else if (f.per_user)
      per_user << " (per user)";
    std::string line = std::string(l.name) + ": data " + f.data + per_user.str() +
                       (std::filesystem::is_directory(f.data) ? "" : " (missing)") + ", program " +
                       f.program + ", help " + f.help_file + "\n";
    if (!f.problem.empty()) line += "  problem: " + f.problem + "\n";
    for (size_t at = 0; (at = line.find(root.str(), at)) != std::string::npos; at += 4)
      line.replace(at, root.str().size(), "ROOT");
    trace += line;
  }
  // The per-user folder: XDG_DATA_HOME when it is absolute, else from HOME.
  const char* homes[][2] = {{"/srv/data", "/home/ann"},
                            {"relative/data", "/home/ann"},
                            {"", "/home/ann"},
                            {nullptr, "/home/ann"},
                            {nullptr, ""},
                            {nullptr, nullptr}};
  auto quoted = [](const char* s) { return s ? "'" + std::string(s) + "'" : "unset"; };
  for (const auto& [xdg, home] : homes)
    trace += "per-user folder of " + quoted(xdg) + " and " + quoted(home) + ": " +
             quoted(PerUserDataFolder(xdg, home).c_str()) + "\n";
  testing::ExpectFileHolds(std::string(LINTARO_SOURCE_DIR) + "/tests/os/program_folder.layouts",
                           trace);
  for (const char* path : {"/opt/lintaro", "/opt/lintaro/", "/opt/lintaro//"})
    EXPECT_EQ(WithTrailingSeparator(path), "/opt/lintaro/");
  EXPECT_EQ(WithTrailingSeparator("/"), "/");
}

}  // namespace
}  // namespace lintaro
