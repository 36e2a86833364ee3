// What the commands of lintaro-cli share: exit statuses, the option parser
// (getopt_long), usage errors and the program folder.
#ifndef LINTARO_CLI_CLI_OPTIONS_H_
#define LINTARO_CLI_CLI_OPTIONS_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "os/program_folder.h"

namespace lintaro {

inline constexpr int kExitClean = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitNothingTested = 2;  // usage, files, folder: nothing usable
// report and show: the results are given, but the check that wrote them did
// not finish, so they cover only the records it reached.
inline constexpr int kExitUnfinished = 3;

// An option of a command: --name (and -c when short_name is set), with a
// value or without one.
struct OptionDef {
  const char* name;
  char short_name;
  bool takes_value;
};

// The options given (name without dashes -> value; "" for options without
// a value; the last of a repeated option wins), the operands in order, and
// whether -h or --help was given.
struct ParsedArgs {
  std::map<std::string, std::string> values;
  std::vector<std::string> operands;
  bool help = false;

  bool has(const std::string& name) const { return values.count(name) != 0; }
  // The option's value, or fallback when it was not given.
  std::string value_or(const std::string& name, const std::string& fallback) const;
};

// Parses argv[1..argc-1] (argv[0] is the command's name) with getopt_long:
// "--name value", "--name=value", "-c value", "-cvalue", "--" to end the
// options; -h and --help are added to every command. Returns a problem text
// for a usage error, or nothing.
std::optional<std::string> ParseArgs(int argc, char** argv, const std::vector<OptionDef>& defs,
                                     ParsedArgs& out);

// How every command starts: its arguments parsed into args by ParseArgs.
// Returns the status the command ends with when it ends here, after a usage
// error (told, 2) or its help (printed, 0); nothing when it goes on.
std::optional<int> ParseCommandArgs(int argc, char** argv, const char* command,
                                    const std::vector<OptionDef>& defs, ParsedArgs& args);

// Writes "lintaro-cli: PROBLEM" and "Try 'lintaro-cli --help'." to standard
// error; returns 2.
int UsageError(const std::string& problem);
// Writes "lintaro-cli: PROBLEM" to standard error; returns 2.
int Refuse(const std::string& problem);

// A message in the style of lintaro-cli's standard error, as GNU tools write
// theirs: its first word lower-case (unless it is a name such as RCF or a
// file), no final full stop, its lines joined with "; ".
std::string StderrStyle(std::string text);
// Writes "lintaro-cli: TEXT" (in StderrStyle, control characters as
// OneLineName shows them) to standard error.
void TellOnStderr(const std::string& text);

// The folder of the running executable.
std::string ExecutableFolder();
// The program folders of lintaro-cli: --home (home_option, empty when not
// given), else LINTARO_HOME, else the executable's folder, else the per-user
// data folder (ResolveProgramFolders). The problem, when there is one, names
// the folder first ("DIR: the program folder does not exist").
ProgramFolders CliProgramFolders(const std::string& home_option);
// "PATH: cannot read the test results: REASON" for a results file that
// could not be read (what: the store's reason, which may end with the path
// in parentheses).
std::string ResultsProblem(const std::string& path, std::string what);
// Whether the folder holds a results file (ERRLOG2C.MDB).
bool HoldsResults(const std::string& folder);

}  // namespace lintaro

#endif  // LINTARO_CLI_CLI_OPTIONS_H_
