// lintaro-cli: the headless checker.
//
//   lintaro-cli check [--home DIR] [--max-errors N] FILE [FILE ...]
//   lintaro-cli report [--home DIR] [--format text|html|json] [--output FILE]
#include <cstdio>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/report_command.h"
#include "cli/show_command.h"
#include "core/error_limit.h"
#include "core/run_state.h"
#include "core/test_run.h"

namespace lintaro {
namespace {

// Reads --home and --max-errors of the check command.
struct CheckOptions {
  std::string home;
  std::optional<int> max_errors;
  std::vector<std::string> files;
};

std::string ParseCheckOptions(int argc, char** argv, CheckOptions& out) {
  CliArgs args;
  if (std::string problem = ParseCliArgs(argc, argv, 2, {"--home", "--max-errors"}, args);
      !problem.empty())
    return problem;
  if (auto it = args.values.find("--home"); it != args.values.end()) {
    if (it->second.empty()) return "--home needs a folder";
    out.home = it->second;
  }
  if (auto it = args.values.find("--max-errors"); it != args.values.end()) {
    out.max_errors = ParseErrorLimitEntry(it->second);
    if (!out.max_errors) return "--max-errors must be a whole number from 1 to 25000";
  }
  out.files = std::move(args.operands);
  if (out.home.empty()) out.home = ExecutableFolder();
  return {};
}

int Check(int argc, char** argv) {
  CheckOptions options;
  if (std::string problem = ParseCheckOptions(argc, argv, options); !problem.empty())
    return Usage(problem);
  if (options.files.empty()) return Usage("no submission file given");
  std::error_code ec;
  if (!std::filesystem::is_directory(options.home, ec))
    return Usage("the program folder " + options.home + " does not exist");

  RunState state;
  CliPrompts prompts(std::deque<std::string>(options.files.begin(), options.files.end()),
                     stderr);
  SystemClock clock;
  CliRunView view(stderr);
  CliEventPump pump;
  TestRunOptions run_options;
  run_options.program_folder = options.home;
  run_options.max_errors =
      options.max_errors ? *options.max_errors : LoadErrorLimit(options.home);
  run_options.pump = &pump;
  TestRun run(state, prompts, clock, view, run_options);
  pump.set_run(&run);
  RunSummary summary = run.ReadFile();

  std::printf("Records tested: %lld\n", static_cast<long long>(summary.records_tested));
  std::printf("Records with errors: %lld\n", static_cast<long long>(summary.records_with_errors));
  std::printf("Errors found: %lld\n", static_cast<long long>(summary.errors));
  if (summary.critical) {
    std::printf("Execution of Testing was terminated due to the Critical Error in Record Number "
                "%lld:\n%s\n",
                static_cast<long long>(summary.critical->rec_num),
                summary.critical->error.c_str());
  }
  if (summary.errors > 0) {
    std::printf("Results: %s\n",
                (std::filesystem::path(options.home) / "ERRLOG2C.MDB").string().c_str());
    return kExitFindings;
  }
  return summary.outcome == RunOutcome::kClean ? kExitClean : kExitNothingTested;
}

}  // namespace
}  // namespace lintaro

int main(int argc, char** argv) {
  if (argc < 2) return lintaro::Usage("");
  std::string command = argv[1];
  if (command == "check") return lintaro::Check(argc, argv);
  if (command == "report") return lintaro::ReportCommand(argc, argv);
  if (command == "show") return lintaro::ShowCommand(argc, argv);
  if (command == "--help" || command == "-h" || command == "help") {
    lintaro::PrintUsage(stdout);
    return 0;
  }
  return lintaro::Usage("unknown command " + command);
}
