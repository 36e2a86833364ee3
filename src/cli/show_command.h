// lintaro-cli show: one stored record of the last test run as the record
// viewer shows it.
#ifndef LINTARO_CLI_SHOW_COMMAND_H_
#define LINTARO_CLI_SHOW_COMMAND_H_

namespace lintaro {

// argv[0] is "show". Returns the exit status.
int ShowCommand(int argc, char** argv);

}  // namespace lintaro

#endif  // LINTARO_CLI_SHOW_COMMAND_H_
