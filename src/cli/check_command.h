// lintaro-cli check: tests one submission into the program folder.
#ifndef LINTARO_CLI_CHECK_COMMAND_H_
#define LINTARO_CLI_CHECK_COMMAND_H_

#include <optional>
#include <string>

namespace lintaro {

// argv[0] is "check". Returns the exit status.
int CheckCommand(int argc, char** argv);

// Why a named submission file cannot be tested: it does not exist, is not a
// regular file, or cannot be read. Nothing when it can be.
std::optional<std::string> UnreadableFileProblem(const std::string& file);

}  // namespace lintaro

#endif  // LINTARO_CLI_CHECK_COMMAND_H_
