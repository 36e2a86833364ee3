// lintaro-cli report: the error report of the last test run.
#ifndef LINTARO_CLI_REPORT_COMMAND_H_
#define LINTARO_CLI_REPORT_COMMAND_H_

#include <optional>
#include <string>

namespace lintaro {

class ResultsDb;
struct ReportFilter;
struct ReportFormat;

// argv[0] is "report". Returns the exit status.
int ReportCommand(int argc, char** argv);

// The report of the results in db in format,
// written to output (empty or "-": standard output) in pieces. A file is
// replaced only by a whole report (see ReplacingFile). Returns a problem
// text, or nothing when it was written whole; an empty problem when
// standard output failed, which is already told ("write error").
// interruptible: a signal caught by InstallInterruptHandlers stops the
// report between two pieces, and a file is then left as it was.
std::optional<std::string> WriteReport(ResultsDb& db, const ReportFormat& format,
                                       const ReportFilter& filter, const std::string& output,
                                       bool interruptible = false);

}  // namespace lintaro

#endif  // LINTARO_CLI_REPORT_COMMAND_H_
