// lintaro-cli check: tests one submission into the program folder.
#ifndef LINTARO_CLI_CHECK_COMMAND_H_
#define LINTARO_CLI_CHECK_COMMAND_H_

#include <string>

namespace lintaro {

// argv[0] is "check". Returns the exit status.
int CheckCommand(int argc, char** argv);

}  // namespace lintaro

#endif  // LINTARO_CLI_CHECK_COMMAND_H_
