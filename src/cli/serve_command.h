// lintaro-cli serve: the checking service for a whole office (src/serve).
#ifndef LINTARO_CLI_SERVE_COMMAND_H_
#define LINTARO_CLI_SERVE_COMMAND_H_

namespace lintaro {

// argv[0] is "serve". Serves until SIGINT or SIGTERM; returns the exit status.
int ServeCommand(int argc, char** argv);

}  // namespace lintaro

#endif  // LINTARO_CLI_SERVE_COMMAND_H_
