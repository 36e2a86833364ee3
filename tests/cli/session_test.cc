// lintaro-cli as a user runs it, written down as shell sessions: every
// NAME.session under tests/cli/sessions is a list of command lines ("$ ..."),
// each followed by what it wrote to standard output ("> ..."), to standard
// error ("! ...") and its exit status ("[exit N]"). Each session runs in a
// fresh program folder $home, from a folder $files that holds every
// NAME.recipe of the folder as a submission (NAME.txt; NAME-1.txt, NAME-2.txt
// ... for a submission in several files); $source is the source tree. The
// folders' names, the version and today's date read $home, $files, $source,
// $version and $today in the output;
// LINTARO_HOME names a folder that does not exist, so that a command without
// --home says so. The umask is 022, whatever the runner's: a folder a session
// makes is its user's alone, as a batch wants its results folder.
// Comments and blank lines are kept as written; LINTARO_UPDATE_GOLDEN=1
// rewrites the output lines that differ.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "core/version.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/line_diff.h"
#include "support/recipe.h"

namespace lintaro::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSessions = fs::path(LINTARO_SOURCE_DIR) / "tests" / "cli" / "sessions";

// Today's date as date(1) writes it in format.
std::string Today(const std::string& format) {
  const std::string today = RunShell("date +" + format).out;
  return today.substr(0, today.find('\n'));
}

// One stream of output: a line per line, each escaped after the marker; a
// last line without its line break is followed by "(no line break)".
std::string OutputLines(const std::string& marker, const std::string& text) {
  std::string lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines += marker + (line.empty() ? "" : " " + Escape(line)) + "\n";
  return lines + (text.empty() || text.ends_with('\n') ? "" : "(no line break)\n");
}

// The lines a session's run writes, which are replaced on each run.
const std::regex kOutputLine(R"([>!].*|\[exit .*|\(no line break\))");

class Session : public ::testing::Test {
 public:
  explicit Session(fs::path file) : file_(std::move(file)) {}

  void TestBody() override {
    WriteSubmissions();
    std::istringstream written(ReadWholeFile(file_.string()));
    std::string actual;
    for (std::string line; std::getline(written, line);) {
      if (line.starts_with("$ "))
        actual += line + "\n" + Run(line.substr(2));
      else if (!std::regex_match(line, kOutputLine))
        actual += line + "\n";
    }
    ExpectFileHolds(file_, actual);
  }

 private:
  void WriteSubmissions() {
    for (const fs::path& recipe : FilesUnder(kSessions, ".recipe")) {
      const std::vector<Submission> made = ReadRecipe(ReadWholeFile(recipe.string()));
      ASSERT_EQ(made.size(), 1u) << recipe.string();
      const std::vector<std::string>& parts = made[0].files;
      for (size_t i = 0; i < parts.size(); ++i) {
        const std::string part = parts.size() == 1 ? "" : "-" + std::to_string(i + 1);
        files_.Write(recipe.stem().string() + part + ".txt", parts[i]);
      }
    }
  }

  // Runs a command line in $files and returns its output lines.
  std::string Run(const std::string& command) {
    CliResult r = RunShell(
        "export home='" + home_.str() + "' files='" + files_.str() +
        "' source='" LINTARO_SOURCE_DIR "' PATH='" +
        fs::path(LINTARO_CLI_PATH).parent_path().string() + "':\"$PATH\" " +
        "LINTARO_HOME=/nonexistent/lintaro-home; umask 022; cd \"$files\" || exit 99; " + command);
    std::string lines =
        OutputLines(">", r.out) + OutputLines("!", r.err) +
        (r.status < 0 ? "[exit signal]\n" : "[exit " + std::to_string(r.status) + "]\n");
    for (const auto& [from, to] : {std::pair{home_.str(), std::string("$home")},
                                   {files_.str(), "$files"},
                                   {LINTARO_SOURCE_DIR, "$source"},
                                   {kLintaroVersion, "$version"},
                                   {Today("%m/%d/%Y"), "$today"},
                                   {Today("%Y-%m-%d"), "$today"}}) {
      for (size_t at = 0; (at = lines.find(from, at)) != std::string::npos; at += to.size())
        lines.replace(at, from.size(), to);
    }
    return lines;
  }

  fs::path file_;
  TempDir home_, files_;
};

const bool kRegistered =
    RegisterFileTests("CliSession", kSessions, ".session",
                      [](const fs::path& file) -> ::testing::Test* { return new Session(file); });

}  // namespace
}  // namespace lintaro::testing
