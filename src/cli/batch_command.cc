// lintaro-cli batch [-j N] [--results DIR] [--max-errors N] [--format text|json] PATH...
#include "cli/batch_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/batch_check.h"
#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/standard_input.h"
#include "cli/standard_output.h"
#include "core/error_limit.h"
#include "core/submission_file.h"
#include "core/version.h"
#include "core/whole_number.h"
#include "os/path.h"
#include "os/program_folder.h"
#include "os/replacing_file.h"
#include "reports/json_report.h"
#include "reports/report_content.h"
#include "run/run_ending.h"

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
  if (std::count(out.paths.begin(), out.paths.end(), kStandardInputOperand) > 1)
    return "standard input (-) may be named only once";
  return std::nullopt;
}

// A name or message as a part of a text line: UTF-8 (a byte of a name that
// is not becomes U+FFFD, as the JSON has it), without a line break that
// could make a line of its own.
std::string LineText(std::string_view text) { return OneLineName(ValidUtf8(text)); }

// One submission's line: text, or a JSON object (also batch.json's).
std::string TextLine(const BatchSubmission& s, const BatchResult& r) {
  const std::string name = LineText(s.name);
  if (!r.started) return name + ": not started\n";
  if (NotTested(r.outcome) && r.summary.records_tested == 0) {
    return name + ": not tested: " +
           (r.messages.empty() ? std::string("no records")
                               : LineText(StderrStyle(r.messages.back()))) +
           "\n";
  }
  return name + ": " + std::to_string(r.summary.records_tested) + " records, " +
         std::to_string(r.summary.errors) + " errors, " + OutcomeName(r.outcome) + "\n";
}

std::string JsonLine(const BatchSubmission& s, const BatchResult& r) {
  std::string j = "{\"submission\": ";
  AppendJsonString(j, ValidUtf8(s.name));
  j += ", \"file\": ";
  AppendJsonString(j, ValidUtf8(s.file));
  j += ", \"results\": ";
  if (r.results_written) {
    AppendJsonString(j, ValidUtf8(r.folder));
  } else {
    j += "null";
  }
  j += ", \"outcome\": ";
  AppendJsonString(j, r.started ? OutcomeName(r.outcome) : "not_started");
  j += ", \"records_tested\": " + std::to_string(r.summary.records_tested) +
       ", \"records_with_errors\": " + std::to_string(r.summary.records_with_errors) +
       ", \"errors_found\": " + std::to_string(r.summary.errors) + ", \"messages\": [";
  for (size_t i = 0; i < r.messages.size(); ++i) {
    if (i > 0) j += ", ";
    AppendJsonString(j, ValidUtf8(r.messages[i]));
  }
  return j + "]}";
}

// Tallies and prints the submissions as they finish, one line each, and
// keeps their JSON objects in the order named for the summary file.
class BatchReporter {
 public:
  BatchReporter(bool json, std::string results, size_t submissions)
      : json_(json), results_(std::move(results)), objects_(submissions) {}

  void Finished(size_t index, const BatchSubmission& s, const BatchResult& r) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!r.started)
      ++not_started_;
    else if (NotTested(r.outcome))
      ++not_tested_;
    else if (HasFindings(r.outcome))
      ++findings_;
    else if (r.outcome == ReportedOutcome::kClean)
      ++clean_;
    else
      ++interrupted_;
    objects_[index] = JsonLine(s, r);
    const std::string line = json_ ? objects_[index] + "\n" : TextLine(s, r);
    std::fputs(line.c_str(), stdout);
    // Each line is out as its submission ends; one that is not fails the batch.
    if (!FlushStandardOutput()) write_failed_ = true;
    // So does a report that findings did not get (a full disk).
    for (const std::string& problem : r.report_problems) TellOnStderr(problem);
    if (!r.report_problems.empty()) write_failed_ = true;
  }

  // The summary as a JSON object.
  std::string SummaryObject() const {
    std::string j = "{\"format_version\": " + std::to_string(kJsonFormatVersion);
    j += ", \"lintaro_version\": ";
    AppendJsonString(j, kLintaroVersion);
    j += ", \"submissions\": " + std::to_string(objects_.size()) +
         ", \"clean\": " + std::to_string(clean_) + ", \"findings\": " + std::to_string(findings_) +
         ", \"not_tested\": " + std::to_string(not_tested_) +
         ", \"interrupted\": " + std::to_string(interrupted_) +
         ", \"not_started\": " + std::to_string(not_started_) + ", \"results\": ";
    AppendJsonString(j, ValidUtf8(results_));
    return j + "}";
  }

  // Prints the summary and returns the exit status.
  int Summary() {
    if (json_) {
      std::printf("{\"summary\": %s}\n", SummaryObject().c_str());
    } else {
      std::printf("%zu submission(s): %d clean, %d with findings, %d not tested", objects_.size(),
                  clean_, findings_, not_tested_);
      if (interrupted_ > 0) std::printf(", %d interrupted", interrupted_);
      if (not_started_ > 0) std::printf(", %d not started", not_started_);
      std::printf("; results in %s\n", LineText(results_).c_str());
    }
    if (!FlushStandardOutput() || write_failed_) return kExitNothingTested;
    if (InterruptSignal() != 0) return InterruptedExitStatus();
    if (not_tested_ > 0) return kExitNothingTested;
    return findings_ > 0 ? kExitFindings : kExitClean;
  }

  const std::vector<std::string>& objects() const { return objects_; }

 private:
  const bool json_;
  const std::string results_;
  std::mutex mutex_;
  std::vector<std::string> objects_;
  int clean_ = 0, findings_ = 0, not_tested_ = 0, interrupted_ = 0, not_started_ = 0;
  bool write_failed_ = false;  // a line or a report could not be written
};

// The beginning of every summary a batch writes.
constexpr std::string_view kSummaryStart = "{\"options\": ";

// The time as ISO 8601 in UTC ("2026-12-07T02:30:00Z").
std::string IsoTime(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// Writes RESULTS/batch.json, whole or not at all: the options, when the
// batch started and ended, every submission's object in the order named,
// and the summary. Returns a problem, or nothing.
std::optional<std::string> WriteBatchSummary(const BatchOptions& options,
                                             std::chrono::system_clock::time_point started,
                                             const BatchReporter& reporter) {
  std::string j = std::string(kSummaryStart) + "{\"jobs\": " + std::to_string(options.jobs) +
                  ", \"max_errors\": " + std::to_string(options.max_errors) + ", \"paths\": [";
  for (size_t i = 0; i < options.paths.size(); ++i) {
    if (i > 0) j += ", ";
    AppendJsonString(j, ValidUtf8(options.paths[i]));
  }
  j += "]},\n \"started\": \"" + IsoTime(started) + "\", \"ended\": \"" +
       IsoTime(std::chrono::system_clock::now()) + "\",\n \"submissions\": [";
  for (size_t i = 0; i < reporter.objects().size(); ++i)
    j += (i > 0 ? ",\n  " : "\n  ") + reporter.objects()[i];
  j += "],\n \"summary\": " + reporter.SummaryObject() + "}\n";
  const std::string path = JoinPath(WithTrailingSeparator(options.results), kBatchSummaryFile);
  // It tells what each check found, not what: in a results folder a group
  // shares, the members read it, so that the next batch of any of them
  // knows it for a batch's and replaces it.
  ReplacingFile file(path, GroupMayWriteIn(options.results) ? 0640 : 0600);
  if (!file.Write(j) || !file.Commit())
    return path + ": cannot write the summary: " + file.problem();
  return std::nullopt;
}

// A problem when the results folder holds a batch.json that no batch wrote
// (a file of the user's, a link, a folder): it is never replaced.
std::optional<std::string> ForeignSummaryProblem(const std::string& results) {
  const std::string path = JoinPath(WithTrailingSeparator(results), kBatchSummaryFile);
  struct stat info {};
  // Nothing there, or a folder that cannot be looked into: writing says why.
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  std::string start(kSummaryStart.size(), '\0');
  std::FILE* file = S_ISREG(info.st_mode) ? std::fopen(path.c_str(), "rb") : nullptr;
  // Another user's, left for them alone (by an older version): whose it is
  // cannot be told.
  if (file == nullptr && S_ISREG(info.st_mode) && errno == EACCES)
    return path + ": cannot be read: " + std::generic_category().message(EACCES) +
           "; choose another results folder";
  const bool own = file != nullptr &&
                   std::fread(start.data(), 1, start.size(), file) == start.size() &&
                   start == kSummaryStart;
  if (file != nullptr) std::fclose(file);
  if (own) return std::nullopt;
  return path + ": the results folder holds this, which no batch wrote; choose another results " +
         "folder";
}

// Checks every submission on up to options.jobs threads, each told to
// reporter as it finishes; one stopped by a signal is told not started.
void CheckAll(const std::vector<BatchSubmission>& submissions, const BatchOptions& options,
              const std::string& standard_input, BatchReporter& reporter) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < submissions.size();) {
      BatchResult result;
      if (InterruptSignal() != 0) {
        result.started = false;  // said so, not left out
      } else {
        result =
            CheckIntoFolder(submissions[i], options.results, options.max_errors, standard_input);
      }
      reporter.Finished(i, submissions[i], result);
    }
  };
  const size_t workers = std::min<size_t>(static_cast<size_t>(options.jobs), submissions.size());
  std::vector<std::thread> threads;
  for (size_t w = 1; w < workers; ++w) {
    // A thread the system will not start (a limit on processes or memory)
    // leaves its share to the others: every submission is still checked.
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;
    }
  }
  work();
  for (std::thread& t : threads) t.join();
}

int RunBatch(const BatchOptions& options) {
  const auto started = std::chrono::system_clock::now();
  if (auto problem = SharedResultsFolderProblem(options.results)) return Refuse(*problem);
  if (auto problem = ForeignSummaryProblem(options.results)) return Refuse(*problem);
  const std::vector<BatchSubmission> submissions =
      CollectSubmissions(options.paths, options.results);
  // Refused before the results folder is made: a refusal leaves nothing.
  if (submissions.empty()) return Refuse("the folders named hold no submission files");
  std::error_code ec;
  std::vector<std::string> made;
  if (!CreateOwnFolders(options.results, ec, &made))
    return Refuse(options.results + ": cannot create the results folder: " + ec.message());
  StandardInputCopy standard_input;
  for (const BatchSubmission& s : submissions) {
    if (s.file != kStandardInputName) continue;
    if (auto problem = standard_input.Take(options.results)) {
      // Refused, it leaves none of the folders it made (they hold nothing).
      for (auto it = made.rbegin(); it != made.rend(); ++it) ::rmdir(it->c_str());
      return Refuse(*problem);
    }
  }

  // An earlier batch's summary goes before any of its results are replaced:
  // a batch that is killed, or cannot write its own summary, leaves none,
  // never one that tells of results no longer there.
  const std::string summary = JoinPath(WithTrailingSeparator(options.results), kBatchSummaryFile);
  if (::unlink(summary.c_str()) != 0 && errno != ENOENT) {
    return Refuse(summary + ": cannot remove the summary of an earlier batch: " +
                  std::generic_category().message(errno));
  }
  InstallInterruptHandlers();
  BatchReporter reporter(options.json, options.results, submissions.size());
  CheckAll(submissions, options, standard_input.path(), reporter);
  const int status = reporter.Summary();
  if (auto problem = WriteBatchSummary(options, started, reporter)) {
    TellOnStderr(*problem);
    return status == kExitClean || status == kExitFindings ? kExitNothingTested : status;
  }
  return status;
}

}  // namespace

int BatchCommand(int argc, char** argv) {
  ParsedArgs args;
  if (auto done = ParseCommandArgs(
          argc, argv, "batch",
          {{"jobs", 'j', true}, {"results", 0, true}, {"max-errors", 0, true}, {"format", 0, true}},
          args))
    return *done;
  BatchOptions options;
  if (auto problem = ParseBatchOptions(args, options)) return UsageError(*problem);
  return RunBatch(options);
}

}  // namespace lintaro
