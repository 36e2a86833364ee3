// lintaro-cli batch: many submissions checked at once, each into a program
// folder of its own.
#ifndef LINTARO_CLI_BATCH_COMMAND_H_
#define LINTARO_CLI_BATCH_COMMAND_H_

namespace lintaro {

// argv[0] is "batch". Returns the exit status: 0 when every submission is
// clean, 1 when any has findings, 2 when any could not be tested, 130 or
// 143 when interrupted.
int BatchCommand(int argc, char** argv);

}  // namespace lintaro

#endif  // LINTARO_CLI_BATCH_COMMAND_H_
