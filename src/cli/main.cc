// lintaro-cli: the headless checker.
//
//   lintaro-cli check  [--home DIR] [--max-errors N] [-q] [--format text|json] FILE...
//   lintaro-cli report [--home DIR] [-f text|html|json|csv] [-o FILE|-] [--employer EIN]
//   lintaro-cli show   [--home DIR] REC_NUM
//   lintaro-cli batch  [-j N] [--results DIR] [--max-errors N] [--format text|json] PATH...
//   lintaro-cli serve  [--listen ADDR:PORT] [--data DIR] [--jobs N] [--max-upload-mb N]
//                      [--keep-hours N] [--token-file FILE] [-q]
//   lintaro-cli --help | --version
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/batch_command.h"
#include "cli/check_command.h"
#include "cli/cli_options.h"
#include "cli/help_text.h"
#include "cli/report_command.h"
#include "cli/serve_launch.h"
#include "cli/show_command.h"
#include "cli/standard_output.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

int RunCommand(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string command = argv[1];
  // Each command parses its own options from its name on.
  if (command == "check") return CheckCommand(argc - 1, argv + 1);
  if (command == "report") return ReportCommand(argc - 1, argv + 1);
  if (command == "show") return ShowCommand(argc - 1, argv + 1);
  if (command == "batch") return BatchCommand(argc - 1, argv + 1);
  if (command == "serve") return LaunchServeProgram(argv);
  if (command == "--help" || command == "-h" || command == "help") {
    PrintHelp(stdout);
    return kExitClean;
  }
  if (command == "--version") {
    PrintVersion(stdout);
    return kExitClean;
  }
  if (!command.empty() && command[0] == '-') return UsageError("unknown option " + command);
  return UsageError("unknown command '" + command + "'");
}

}  // namespace
}  // namespace lintaro

int main(int argc, char** argv) {
  lintaro::HoldClosedStandardStreams();  // before any file is opened
  // A pipe closed by its reader fails the write (EPIPE), told as any write
  // error is, instead of killing a batch between two submissions.
  std::signal(SIGPIPE, SIG_IGN);
  // So does a file that reaches the file size limit (EFBIG): the results or
  // a report not written are told and fail the command, where the signal
  // would end it with no word. lintaro-serve, run in its place, keeps both.
  std::signal(SIGXFSZ, SIG_IGN);
  lintaro::ConfigureStoreForThreads();  // every check writes on a thread of its own
  // Whatever the command did, output that did not reach its place fails it.
  return lintaro::CloseStandardOutput(lintaro::RunCommand(argc, argv));
}
