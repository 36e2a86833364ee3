// `lintaro-cli serve` runs lintaro-serve in its place (execv, the same
// process and arguments): the service's libraries are loaded by the service
// alone, and every other command starts without them.
#ifndef LINTARO_CLI_SERVE_LAUNCH_H_
#define LINTARO_CLI_SERVE_LAUNCH_H_

#include <string>

namespace lintaro {

// lintaro-serve of the lintaro-cli in exe_folder: in an installed copy under
// libexec/lintaro, in a build folder beside it.
std::string ServeProgramPath(const std::string& exe_folder);

// argv is lintaro-cli's own (argv[1] is "serve"). Returns only when the
// service could not be started, with the exit status.
int LaunchServeProgram(char** argv);

}  // namespace lintaro

#endif  // LINTARO_CLI_SERVE_LAUNCH_H_
