// lintaro-cli batch [-j N] [--results DIR] [--max-errors N] [--format text|json] PATH...
#include "cli/batch_command.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "cli/batch_check.h"
#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/help_text.h"
#include "cli/standard_output.h"
#include "core/error_limit.h"
#include "core/version.h"
#include "reports/json_report.h"

namespace lintaro {
namespace {

constexpr const char* kDefaultResultsFolder = "lintaro-results";
constexpr int kMaxJobs = 256;

struct BatchOptions {
  int jobs = 1;
  std::string results = kDefaultResultsFolder;
  int max_errors = kDefaultErrorLimit;
  bool json = false;
  std::vector<std::string> paths;
};

std::optional<std::string> ParseBatchOptions(const ParsedArgs& args, BatchOptions& out) {
  const unsigned processors = std::thread::hardware_concurrency();
  out.jobs = processors == 0 ? 1 : static_cast<int>(std::min<unsigned>(processors, kMaxJobs));
  if (args.has("jobs")) {
    auto jobs = ParseWholeNumber(args.values.at("jobs"), 1, kMaxJobs);
    if (!jobs) return "--jobs must be a whole number from 1 to " + std::to_string(kMaxJobs);
    out.jobs = *jobs;
  }
  out.results = args.value_or("results", kDefaultResultsFolder);
  if (out.results.empty()) return "--results needs a folder";
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(out.results, ec);
  if (!ec) out.results = full.lexically_normal().string();
  if (args.has("max-errors")) {
    auto limit = ParseErrorLimitEntry(args.values.at("max-errors"));
    if (!limit) return "--max-errors must be a whole number from 1 to 25000";
    out.max_errors = *limit;
  }
  const std::string format = args.value_or("format", "text");
  if (format != "text" && format != "json") return "--format must be text or json";
  out.json = format == "json";
  out.paths = args.operands;
  if (out.paths.empty()) return "no submission file or folder given";
  return std::nullopt;
}

// Tallies and prints the submissions as they finish, one line each.
class BatchReporter {
 public:
  BatchReporter(bool json, std::string results) : json_(json), results_(std::move(results)) {}

  void Finished(const BatchSubmission& s, const BatchResult& r) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (NotTested(r.outcome))
      ++not_tested_;
    else if (HasFindings(r.outcome))
      ++findings_;
    else if (r.outcome == ReportedOutcome::kClean)
      ++clean_;
    else
      ++interrupted_;
    const std::string line = json_ ? JsonLine(s, r) : TextLine(s, r);
    std::fputs(line.c_str(), stdout);
    // Each line is out as its submission ends; one that is not fails the batch.
    if (!FlushStandardOutput()) write_failed_ = true;
  }

  // Prints the summary and returns the exit status.
  int Summary() {
    const int total = clean_ + findings_ + not_tested_ + interrupted_;
    if (json_) {
      std::string j = "{\"summary\": {\"format_version\": " + std::to_string(kJsonFormatVersion);
      j += ", \"lintaro_version\": ";
      AppendJsonString(j, kLintaroVersion);
      j += ", \"submissions\": " + std::to_string(total) +
           ", \"clean\": " + std::to_string(clean_) +
           ", \"findings\": " + std::to_string(findings_) +
           ", \"not_tested\": " + std::to_string(not_tested_) +
           ", \"interrupted\": " + std::to_string(interrupted_) + ", \"results\": ";
      AppendJsonString(j, ValidUtf8(results_));
      std::printf("%s}}\n", j.c_str());
    } else {
      std::printf("%d submission(s): %d clean, %d with findings, %d not tested", total, clean_,
                  findings_, not_tested_);
      if (interrupted_ > 0) std::printf(", %d interrupted", interrupted_);
      std::printf("; results in %s\n", results_.c_str());
    }
    if (!FlushStandardOutput() || write_failed_) return kExitNothingTested;
    if (InterruptSignal() != 0) return InterruptedExitStatus();
    if (not_tested_ > 0) return kExitNothingTested;
    return findings_ > 0 ? kExitFindings : kExitClean;
  }

 private:
  static std::string TextLine(const BatchSubmission& s, const BatchResult& r) {
    if (NotTested(r.outcome) && r.summary.records_tested == 0) {
      return s.name + ": not tested: " +
             (r.messages.empty() ? std::string("no records") : r.messages.back()) + "\n";
    }
    return s.name + ": " + std::to_string(r.summary.records_tested) + " records, " +
           std::to_string(r.summary.errors) + " errors, " + OutcomeName(r.outcome) + "\n";
  }

  static std::string JsonLine(const BatchSubmission& s, const BatchResult& r) {
    std::string j = "{\"submission\": ";
    AppendJsonString(j, ValidUtf8(s.name));
    j += ", \"file\": ";
    AppendJsonString(j, ValidUtf8(s.file));
    j += ", \"results\": ";
    AppendJsonString(j, ValidUtf8(r.folder));
    j += ", \"outcome\": ";
    AppendJsonString(j, OutcomeName(r.outcome));
    j += ", \"records_tested\": " + std::to_string(r.summary.records_tested) +
         ", \"records_with_errors\": " + std::to_string(r.summary.records_with_errors) +
         ", \"errors_found\": " + std::to_string(r.summary.errors) + ", \"messages\": [";
    for (size_t i = 0; i < r.messages.size(); ++i) {
      if (i > 0) j += ", ";
      AppendJsonString(j, ValidUtf8(r.messages[i]));
    }
    return j + "]}\n";
  }

  const bool json_;
  const std::string results_;
  std::mutex mutex_;
  int clean_ = 0, findings_ = 0, not_tested_ = 0, interrupted_ = 0;
  bool write_failed_ = false;  // a line could not be written
};

int RunBatch(const BatchOptions& options) {
  std::error_code ec;
  std::filesystem::create_directories(options.results, ec);
  if (ec)
    return Refuse("cannot create the results folder " + options.results + ": " + ec.message());
  const std::vector<BatchSubmission> submissions = CollectSubmissions(options.paths);
  if (submissions.empty()) return Refuse("the folders named hold no submission files");

  InstallInterruptHandlers();
  BatchReporter reporter(options.json, options.results);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < submissions.size();) {
      BatchResult result;
      if (InterruptSignal() != 0) {
        // Not started: said so, not left out.
        result.outcome = ReportedOutcome::kAborted;
        result.messages.push_back("interrupted before it started");
      } else {
        result = CheckIntoFolder(submissions[i], options.results, options.max_errors);
      }
      reporter.Finished(submissions[i], result);
    }
  };
  const size_t workers = std::min<size_t>(static_cast<size_t>(options.jobs), submissions.size());
  std::vector<std::thread> threads;
  for (size_t w = 1; w < workers; ++w) threads.emplace_back(work);
  work();
  for (std::thread& t : threads) t.join();
  return reporter.Summary();
}

}  // namespace

int BatchCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto problem = ParseArgs(
          argc, argv,
          {{"jobs", 'j', true}, {"results", 0, true}, {"max-errors", 0, true}, {"format", 0, true}},
          args))
    return UsageError(*problem);
  if (args.help) {
    PrintCommandHelp(stdout, "batch");
    return kExitClean;
  }
  BatchOptions options;
  if (auto problem = ParseBatchOptions(args, options)) return UsageError(*problem);
  return RunBatch(options);
}

}  // namespace lintaro
