// lintaro-cli check [--home DIR] [--max-errors N] [-q] [--format text|json] FILE...
#include "cli/check_command.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/standard_input.h"
#include "core/error_limit.h"
#include "core/run_state.h"
#include "core/submission_file.h"
#include "os/path.h"
#include "reports/check_summary.h"
#include "reports/outcome.h"
#include "run/check_run.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

struct CheckOptions {
  std::string home;
  std::optional<int> max_errors;
  bool quiet = false;
  bool json = false;
  std::vector<std::string> files;
};

std::optional<std::string> ParseCheckOptions(const ParsedArgs& args, CheckOptions& out) {
  out.home = args.value_or("home", "");
  if (args.has("home") && out.home.empty()) return "--home needs a folder";
  if (args.has("max-errors")) {
    out.max_errors = ParseErrorLimitEntry(args.values.at("max-errors"));
    if (!out.max_errors) return "--max-errors must be a whole number from 1 to 25000";
  }
  const std::string format = args.value_or("format", "text");
  if (format != "text" && format != "json") return "--format must be text or json";
  out.json = format == "json";
  out.quiet = args.has("quiet");
  out.files = args.operands;
  if (out.files.empty()) return "no submission file given";
  if (std::count(out.files.begin(), out.files.end(), kStandardInputOperand) > 1)
    return "standard input (-) may be named only once";
  return std::nullopt;
}

std::string FullName(const std::string& file) {
  if (file == kStandardInputOperand) return kStandardInputName;
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(file, ec);
  return ec ? file : full.lexically_normal().string();
}

void PrintText(const RunSummary& s, ReportedOutcome outcome, const std::string& results) {
  // The counts of a run that did not reach its end are no verdict.
  if (outcome == ReportedOutcome::kFailed && s.records_tested > 0)
    std::printf("%s\n", UnfinishedRunNotice(s.records_tested).c_str());
  std::printf("Records tested: %lld\n", static_cast<long long>(s.records_tested));
  std::printf("Records with errors: %lld\n", static_cast<long long>(s.records_with_errors));
  std::printf("Errors found: %lld\n", static_cast<long long>(s.errors));
  if (s.critical) {
    std::printf(
        "Execution of Testing was terminated due to the Critical Error in Record Number "
        "%lld:\n%s\n",
        static_cast<long long>(s.critical->rec_num), s.critical->error.c_str());
  }
  std::printf("Results: %s\n", OneLineName(results).c_str());
}

int ExitStatusOf(ReportedOutcome outcome, bool unread_after_final) {
  switch (outcome) {
    case ReportedOutcome::kClean:
      return unread_after_final ? kExitNothingTested : kExitClean;
    case ReportedOutcome::kFindings:
      return unread_after_final ? kExitNothingTested : kExitFindings;
    case ReportedOutcome::kErrorLimit:
    case ReportedOutcome::kCriticalStop:
      return kExitFindings;
    case ReportedOutcome::kAborted:
      return InterruptSignal() != 0 ? InterruptedExitStatus() : kExitNothingTested;
    case ReportedOutcome::kNoValidData:
    case ReportedOutcome::kFailed:
    case ReportedOutcome::kIncomplete:
      break;
  }
  return kExitNothingTested;
}

// Tests the submission and reports; options are valid, files readable.
int RunCheck(const CheckOptions& options, const ProgramFolders& folders,
             const std::string& standard_input_copy) {
  std::vector<std::string> full_names;
  for (const std::string& f : options.files) full_names.push_back(FullName(f));
  ProgressLine progress(stderr, !options.quiet);
  CliPrompts prompts(full_names, stderr, &progress, options.quiet);
  CliRunView view(progress);
  CliEventPump pump;
  SystemClock clock;
  RunState state;
  CheckRunOptions run_options;
  run_options.program_folder = folders.data;
  // Without --max-errors, the folder's setting is read once the run holds it.
  run_options.max_errors = options.max_errors.value_or(kDefaultErrorLimit);
  run_options.error_limit_from_folder = !options.max_errors;
  run_options.pump = &pump;
  run_options.standard_input_copy = standard_input_copy;
  InstallInterruptHandlers();
  CheckRun run(state, prompts, clock, view, run_options);
  pump.set_run(&run);
  const RunSummary summary = run.ReadFile();

  const ReportedOutcome outcome = OutcomeOfRun(summary);
  const std::string results = JoinPath(folders.data, kResultsFileName);
  const std::vector<NamedFile> files = NamedFiles(full_names, prompts.files_opened(), outcome);
  bool unread = false;
  for (const NamedFile& f : files) {
    if (f.read) continue;
    unread = true;
    TellOnStderr(f.path + " was not read: " + f.reason);
  }
  if (outcome == ReportedOutcome::kAborted) {
    TellOnStderr("interrupted at record " + std::to_string(summary.records_tested) +
                 "; the results so far are in " + results);
  }
  if (!options.quiet && summary.outcome != RunOutcome::kFolderInUse) {
    if (options.json) {
      std::fputs(CheckSummaryJson(summary, outcome, files, results).c_str(), stdout);
    } else {
      PrintText(summary, outcome, results);
    }
  }
  const bool after_final =
      outcome == ReportedOutcome::kClean || outcome == ReportedOutcome::kFindings;
  return ExitStatusOf(outcome, unread && after_final);
}

}  // namespace

int CheckCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto done = ParseCommandArgs(
          argc, argv, "check",
          {{"home", 0, true}, {"max-errors", 0, true}, {"quiet", 'q', false}, {"format", 0, true}},
          args))
    return *done;
  CheckOptions options;
  if (auto problem = ParseCheckOptions(args, options)) return UsageError(*problem);

  // Nothing is touched before every named file is known to be readable.
  bool all_readable = true;
  for (const std::string& file : options.files) {
    if (file == kStandardInputOperand) continue;
    if (auto problem = UnreadableFileProblem(file)) {
      Refuse(*problem);
      all_readable = false;
    }
  }
  if (!all_readable) return kExitNothingTested;
  const ProgramFolders folders = CliProgramFolders(options.home);
  if (!folders.problem.empty()) return Refuse(folders.problem);
  StandardInputCopy standard_input;
  if (std::count(options.files.begin(), options.files.end(), kStandardInputOperand) > 0) {
    if (auto problem = standard_input.Take(folders.data)) return Refuse(*problem);
  }
  return RunCheck(options, folders, standard_input.path());
}

}  // namespace lintaro
