// lintaro-cli: the headless checker.
//
//   lintaro-cli check [--home DIR] [--max-errors N] FILE [FILE ...]
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_platform.h"
#include "cli/show_command.h"
#include "core/error_limit.h"
#include "core/run_state.h"
#include "core/test_run.h"

namespace lintaro {
namespace {

constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitNothingTested = 2;

const char* kUsage =
    "Usage:\n"
    "  lintaro-cli check [--home DIR] [--max-errors N] FILE [FILE ...]\n"
    "      Tests a submission (several FILEs are the successive files of one submission)\n"
    "      and stores the results in DIR/ERRLOG2C.MDB.\n"
    "\n"
    "Exit status: 0 no errors found, 1 errors found, 2 nothing could be tested.\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "lintaro-cli: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return kExitNothingTested;
}

// The folder of the running executable: the default program folder.
std::string ExecutableFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

struct CommonOptions {
  std::string home;
  std::optional<int> max_errors;
  std::vector<std::string> operands;
};

// Parses --home and --max-errors; returns an error text or empty.
std::string ParseOptions(int argc, char** argv, int first, CommonOptions& out) {
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      const std::string prefix = std::string(name) + "=";
      if (arg == name) {
        if (i + 1 >= argc) return std::nullopt;
        return std::string(argv[++i]);
      }
      if (arg.rfind(prefix, 0) == 0) return arg.substr(prefix.size());
      return std::nullopt;
    };
    if (arg == "--home" || arg.rfind("--home=", 0) == 0) {
      auto v = value("--home");
      if (!v || v->empty()) return "--home needs a folder";
      out.home = *v;
    } else if (arg == "--max-errors" || arg.rfind("--max-errors=", 0) == 0) {
      auto v = value("--max-errors");
      if (!v) return "--max-errors needs a number";
      out.max_errors = ParseErrorLimitEntry(*v);
      if (!out.max_errors) return "--max-errors must be a whole number from 1 to 25000";
    } else if (arg == "--") {
      for (++i; i < argc; ++i) out.operands.push_back(argv[i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else {
      out.operands.push_back(arg);
    }
  }
  if (out.home.empty()) out.home = ExecutableFolder();
  return {};
}

int Check(int argc, char** argv) {
  CommonOptions options;
  if (std::string problem = ParseOptions(argc, argv, 2, options); !problem.empty())
    return Usage(problem);
  if (options.operands.empty()) return Usage("no submission file given");
  std::error_code ec;
  if (!std::filesystem::is_directory(options.home, ec))
    return Usage("the program folder " + options.home + " does not exist");

  RunState state;
  CliPrompts prompts(std::deque<std::string>(options.operands.begin(), options.operands.end()),
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
  if (command == "show") return lintaro::ShowCommand(argc, argv);
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(lintaro::kUsage, stdout);
    return 0;
  }
  return lintaro::Usage("unknown command " + command);
}
