// The help of lintaro-cli and of each of its commands, written so that
// help2man can turn it into the manual page: a "Usage:" line, a short
// description, then option lines "  -x, --long=ARG   text".
#ifndef LINTARO_CLI_HELP_TEXT_H_
#define LINTARO_CLI_HELP_TEXT_H_

#include <cstdio>
#include <string>

namespace lintaro {

// The whole help.
void PrintHelp(std::FILE* out);
// The help of one command ("check", "report", "show" or "batch"); false
// for any other name.
bool PrintCommandHelp(std::FILE* out, const std::string& command);
// "lintaro-cli 1.1.0".
void PrintVersion(std::FILE* out);

}  // namespace lintaro

#endif  // LINTARO_CLI_HELP_TEXT_H_
