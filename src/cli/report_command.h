// lintaro-cli report: the error report of the last test run.
#ifndef LINTARO_CLI_REPORT_COMMAND_H_
#define LINTARO_CLI_REPORT_COMMAND_H_

namespace lintaro {

// argv[1] is "report". Returns the exit status.
int ReportCommand(int argc, char** argv);

}  // namespace lintaro

#endif  // LINTARO_CLI_REPORT_COMMAND_H_
