// What the commands of lintaro-cli share: the usage text, the option parser
// and the default program folder.
#ifndef LINTARO_CLI_CLI_OPTIONS_H_
#define LINTARO_CLI_CLI_OPTIONS_H_

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace lintaro {

inline constexpr int kExitClean = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitNothingTested = 2;

void PrintUsage(std::FILE* out);
// Writes the problem (when any) and the usage to standard error; returns 2.
int Usage(const std::string& problem);

struct CliArgs {
  std::map<std::string, std::string> values;  // option name -> value
  std::vector<std::string> operands;
};

// Parses "--name VALUE" and "--name=VALUE" for the option names given;
// "--" ends the options. Returns a problem text, or empty.
std::string ParseCliArgs(int argc, char** argv, int first, const std::vector<std::string>& names,
                         CliArgs& out);

// The folder of the running executable: the default program folder.
std::string ExecutableFolder();

}  // namespace lintaro

#endif  // LINTARO_CLI_CLI_OPTIONS_H_
