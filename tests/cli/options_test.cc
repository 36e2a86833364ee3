// The command line's surface: help, version, usage errors and the forms an
// option may be written in.
#include <gtest/gtest.h>

#include "core/version.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

TEST(CliOptions, HelpAndVersionGoToStandardOutput) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--version"}, std::string("lintaro-cli ") + kLintaroVersion + "\n"},
      {{"--help"}, "Usage: lintaro-cli check [OPTION]... FILE...\n"},
      {{"-h"}, "Usage: lintaro-cli check [OPTION]... FILE...\n"},
      {{"check", "--help"}, "Usage: lintaro-cli check [OPTION]... FILE...\n"},
      {{"report", "-h"}, "Usage: lintaro-cli report [OPTION]...\n"},
      {{"show", "--help", "1"}, "Usage: lintaro-cli show [OPTION]... REC_NUM\n"},
      {{"batch", "--help"}, "Usage: lintaro-cli batch [OPTION]... PATH...\n"}};
  for (const auto& [args, first_line] : cases) {
    CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_EQ(r.err, "") << args[0];
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), first_line) << args[0];
  }
  // Every option of the agreed surface is listed as "  -x, --name=ARG" or
  // "      --name=ARG" for the manual page.
  const std::string help = RunCli({"--help"}).out;
  for (const char* option :
       {"      --home=DIR ", "      --max-errors=N ", "  -q, --quiet ", "  -f, --format=FORMAT ",
        "  -o, --output=FILE ", "      --employer=EIN ", "  -j, --jobs=N ", "      --results=DIR ",
        "  -h, --help ", "      --version "})
    EXPECT_NE(help.find("\n" + std::string(option)), std::string::npos) << option;
}

TEST(CliOptions, AUsageErrorIsOneLineAndAPointerToTheHelp) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no command given"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"--frob"}, "unknown option --frob"},
      {{"check"}, "no submission file given"},
      {{"check", "--bogus=1", "f"}, "unknown option --bogus"},
      {{"check", "f", "--max-errors"}, "option --max-errors needs a value"},
      {{"check", "--quiet=yes", "f"}, "option --quiet takes no value"},
      {{"check", "--format", "xml", "f"}, "--format must be text or json"},
      {{"check", "--home=", "f"}, "--home needs a folder"},
      {{"report", "-f"}, "option --format needs a value"},
      {{"report", "-x"}, "unknown option -x"},
      {{"report", "--employer", "31-000000A"}, "--employer must be an EIN of nine digits"},
      {{"show", "1", "2"}, "only one record number may be given"},
      {{"batch", "-j", "0", "x"}, "--jobs must be a whole number from 1 to 256"},
      {{"batch", "--format=csv", "x"}, "--format must be text or json"},
      {{"batch"}, "no submission file or folder given"}};
  for (const auto& [args, problem] : cases) {
    CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 2) << problem;
    EXPECT_EQ(r.out, "") << problem;
    EXPECT_EQ(r.err, "lintaro-cli: " + problem + "\nTry 'lintaro-cli --help'.\n");
  }
}

TEST(CliOptions, OptionsTakeTheirValueInEveryForm) {
  TempDir home, files;
  auto records = CleanSubmission(1);
  records[2] = Patch(records[2], {{188, "ZZ"}});  // one finding
  // A file whose name begins with a dash is a file after "--".
  files.Write("-c.txt", JoinRecords(records));
  const std::vector<std::string> in_files = {"/bin/sh", "-c",
                                             "cd '" + files.str() + "' && exec \"$0\" \"$@\""};
  CliResult option = RunCli({"check", "--home", home.str(), "-c.txt"}, in_files);
  EXPECT_EQ(option.err, "lintaro-cli: unknown option -c\nTry 'lintaro-cli --help'.\n");
  CliResult checked = RunCli({"check", "--home=" + home.str(), "--", "-c.txt"}, in_files);
  ASSERT_EQ(checked.status, 1) << checked.err;
  // Options may follow the operands, but not "--".
  files.Write("b.txt", JoinRecords(records));
  EXPECT_EQ(RunCli({"check", "b.txt", "--home", home.str(), "-q"}, in_files).status, 1);
  CliResult after = RunCli({"check", "--", "-c.txt", "--home", home.str()}, in_files);
  EXPECT_NE(after.err.find("lintaro-cli: --home does not exist"), std::string::npos) << after.err;

  const std::string csv = RunCli({"report", "--home", home.str(), "--format", "csv"}).out;
  ASSERT_NE(csv.find("\r\n3,RCW,"), std::string::npos) << csv;
  for (const std::vector<std::string>& form : std::vector<std::vector<std::string>>{
           {"--format=csv"}, {"-fcsv", "-o", "-"}, {"-f", "csv", "--output=-"}}) {
    std::vector<std::string> args = {"report", "--home", home.str()};
    args.insert(args.end(), form.begin(), form.end());
    EXPECT_EQ(RunCli(args).out, csv) << form[0];
  }
  const std::string file = files.str() + "/report.csv";
  CliResult r = RunCli({"report", "--home", home.str(), "-f", "csv", "-o", file});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadWholeFile(file), csv);
}

}  // namespace
}  // namespace lintaro
