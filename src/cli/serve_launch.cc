#include "cli/serve_launch.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "cli/cli_options.h"

namespace lintaro {

std::string ServeProgramPath(const std::string& exe_folder) {
  std::string installed = exe_folder + "/" + LINTARO_SERVE_FROM_BINDIR;
  if (::access(installed.c_str(), X_OK) == 0) return installed;
  return exe_folder + "/lintaro-serve";
}

int LaunchServeProgram(char** argv) {
  const std::string program = ServeProgramPath(ExecutableFolder());
  ::execv(program.c_str(), argv);
  return Refuse("cannot start the service " + program + ": " +
                std::generic_category().message(errno));
}

}  // namespace lintaro
