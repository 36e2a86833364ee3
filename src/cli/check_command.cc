// lintaro-cli check [--home DIR] [--max-errors N] [-q] [--format text|json] FILE...
#include "cli/check_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/help_text.h"
#include "core/error_limit.h"
#include "core/run_state.h"
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
  return std::nullopt;
}

std::string FullName(const std::string& file) {
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
  if (s.errors > 0) std::printf("Results: %s\n", results.c_str());
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
int RunCheck(const CheckOptions& options, const ProgramFolders& folders) {
  std::vector<std::string> full_names;
  for (const std::string& f : options.files) full_names.push_back(FullName(f));
  ProgressLine progress(stderr);
  CliPrompts prompts(full_names, stderr, &progress);
  CliRunView view(progress);
  CliEventPump pump;
  SystemClock clock;
  RunState state;
  CheckRunOptions run_options;
  run_options.program_folder = folders.data;
  run_options.max_errors = options.max_errors ? *options.max_errors : LoadErrorLimit(folders.data);
  run_options.pump = &pump;
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
    std::fprintf(stderr, "lintaro-cli: %s was not read: %s\n", f.path.c_str(), f.reason.c_str());
  }
  if (outcome == ReportedOutcome::kAborted) {
    std::fprintf(stderr, "lintaro-cli: Interrupted at record %lld; the results so far are in %s\n",
                 static_cast<long long>(summary.records_tested), results.c_str());
  }
  if (!options.quiet && summary.outcome != RunOutcome::kFolderInUse) {
    if (options.json) {
      std::fputs(CheckSummaryJson(summary, outcome, files, results).c_str(), stdout);
    } else {
      PrintText(summary, outcome, results);
    }
  }
  std::fflush(stdout);
  const bool after_final =
      outcome == ReportedOutcome::kClean || outcome == ReportedOutcome::kFindings;
  return ExitStatusOf(outcome, unread && after_final);
}

}  // namespace

std::optional<std::string> UnreadableFileProblem(const std::string& file) {
  // Non-blocking, so that a named pipe is refused instead of waited on.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR) return file + " does not exist";
    return file + " cannot be read: " + std::generic_category().message(err);
  }
  struct stat info {};
  const bool stat_ok = ::fstat(fd, &info) == 0;
  ::close(fd);
  if (stat_ok && S_ISDIR(info.st_mode)) return file + " is a folder, not a submission file";
  if (!stat_ok || !S_ISREG(info.st_mode)) return file + " is not a regular file";
  return std::nullopt;
}

int CheckCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto problem = ParseArgs(
          argc, argv,
          {{"home", 0, true}, {"max-errors", 0, true}, {"quiet", 'q', false}, {"format", 0, true}},
          args))
    return UsageError(*problem);
  if (args.help) {
    PrintCommandHelp(stdout, "check");
    return kExitClean;
  }
  CheckOptions options;
  if (auto problem = ParseCheckOptions(args, options)) return UsageError(*problem);

  // Nothing is touched before every named file is known to be readable.
  bool all_readable = true;
  for (const std::string& file : options.files) {
    if (auto problem = UnreadableFileProblem(file)) {
      Refuse(*problem);
      all_readable = false;
    }
  }
  if (!all_readable) return kExitNothingTested;
  const ProgramFolders folders = CliProgramFolders(options.home);
  if (!folders.problem.empty()) return Refuse(folders.problem);
  return RunCheck(options, folders);
}

}  // namespace lintaro
