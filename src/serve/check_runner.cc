#include "serve/check_runner.h"

#include <optional>
#include <vector>

#include "core/error_limit.h"
#include "core/run_state.h"
#include "os/folder_lock.h"
#include "os/path.h"
#include "os/replacing_file.h"
#include "platform/platform.h"
#include "reports/check_summary.h"
#include "reports/outcome.h"
#include "reports/report_forms.h"
#include "run/check_run.h"
#include "serve/check_reads.h"
#include "serve/upload_stream.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

constexpr const char* kTextReport = "report.txt";
constexpr const char* kJsonReport = "report.json";
constexpr size_t kWriteChunk = 1 << 20;

// Hands out the uploaded files in order (from the upload as it arrives,
// when the check started with it) and keeps the run's messages.
class UploadPrompts : public Prompts {
 public:
  UploadPrompts(const CheckJob& job, UploadStream::StopTest stopped)
      : job_(job), stopped_(std::move(stopped)) {}
  Answer Message(const std::string& title, const std::string& text, Icon,
                 Buttons buttons) override {
    since_last_file.push_back(title + ": " + ToLineFeeds(text));
    if (title == "Alert") alerts.push_back(ToLineFeeds(text));
    return buttons == Buttons::kOk      ? Answer::kOk
           : buttons == Buttons::kYesNo ? Answer::kNo
                                        : Answer::kCancel;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&) override {
    if (job_.upload) {
      std::optional<std::string> path = job_.upload->WaitForFile(next_, stopped_);
      if (path) Next();
      return path;
    }
    if (next_ >= job_.files.size()) return std::nullopt;
    Next();
    return job_.files[next_ - 1].path;
  }
  size_t files_opened() const { return next_; }
  // The messages shown since the last file was handed out: not the run's
  // asking for that file ("Missing Final Record" in the file before).
  std::vector<std::string> since_last_file;
  std::vector<std::string> alerts;  // what the desktop shows in its "Alert" box

 private:
  void Next() {
    ++next_;
    since_last_file.clear();
  }
  const CheckJob& job_;
  UploadStream::StopTest stopped_;
  size_t next_ = 0;
};

// The check's progress: the record under test and the bytes read so far
// (counted by the file itself when it is read as it is uploaded).
class ProgressView : public RunView {
 public:
  ProgressView(CheckJob& job, const UploadPrompts& prompts) : job_(job), prompts_(prompts) {}
  void RecordStarted(int32_t rec_ctr, double fraction) override {
    job_.records_tested.store(rec_ctr, std::memory_order_relaxed);
    const size_t opened = prompts_.files_opened();
    if (opened == 0 || job_.upload) return;
    int64_t before = 0;
    for (size_t i = 0; i + 1 < opened; ++i) before += job_.files[i].size;
    const int64_t size = job_.files[opened - 1].size;
    const int64_t in_file =
        fraction < 0 ? size : static_cast<int64_t>(fraction * static_cast<double>(size));
    job_.bytes_read.store(before + in_file, std::memory_order_relaxed);
  }

 private:
  CheckJob& job_;
  const UploadPrompts& prompts_;
};

// Stops the run when the check is deleted or the service ends.
class StopPump : public EventPump {
 public:
  StopPump(const CheckJob& job, const std::atomic<bool>& stop) : job_(job), stop_(stop) {}
  void set_run(CheckRun* run) { run_ = run; }
  void ProcessEvents() override {
    if (run_ == nullptr) return;
    if (job_.cancel.load(std::memory_order_relaxed)) run_->RequestAbort(RunEnding::kStoppedByUser);
    if (stop_.load(std::memory_order_relaxed)) run_->RequestAbort(RunEnding::kStoppedBySignal);
  }

 private:
  const CheckJob& job_;
  const std::atomic<bool>& stop_;
  CheckRun* run_ = nullptr;
};

// Writes one report form of the results into the check's folder (0600),
// whole or not at all.
std::optional<std::string> WriteReportFile(ResultsDb& db, const ReportFormat& format,
                                           const std::string& path) {
  ReplacingFile file(path);
  ReportBuffer report;
  BuildReportForm(db, format, ReportFilter{}, report, [&file](ReportBuffer& b) {
    if (b.text.size() >= kWriteChunk) {
      file.Write(b.text);
      b.Clear();
    }
    return file.ok();
  });
  file.Write(report.text);
  if (!file.Commit()) return "cannot write " + path + ": " + file.problem();
  return std::nullopt;
}

// The text and JSON reports beside the results, as batch leaves them.
std::optional<std::string> WriteReports(const std::string& folder) {
  FolderLock lock = FolderLock::ForReading(folder);
  if (lock.refused()) return FolderInUseMessage(lock.state(), folder);
  try {
    auto db = ResultsDb::Open(JoinPath(folder, kResultsFileName), /*read_only=*/true);
    const std::pair<const char*, const ReportFormat&> reports[] = {
        {kTextReport, TextReportFormat()}, {kJsonReport, JsonReportFormat()}};
    for (const auto& [name, format] : reports)
      if (auto problem = WriteReportFile(*db, format, JoinPath(folder, name))) return problem;
  } catch (const StoreError& e) {
    return std::string("cannot read the test results: ") + e.what();
  }
  return std::nullopt;
}

CheckState StateOf(ReportedOutcome outcome) {
  switch (outcome) {
    case ReportedOutcome::kClean:
    case ReportedOutcome::kFindings:
    case ReportedOutcome::kErrorLimit:
    case ReportedOutcome::kCriticalStop:
    case ReportedOutcome::kNoValidData:
      return CheckState::kDone;
    case ReportedOutcome::kAborted:
    case ReportedOutcome::kFailed:
    case ReportedOutcome::kIncomplete:
      break;
  }
  return CheckState::kFailed;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

}  // namespace

CheckEnding RunCheckJob(CheckJob& job, const std::atomic<bool>& stop) {
  CheckEnding ending;
  try {
    const UploadStream::StopTest stopped = [&job, &stop] {
      return job.cancel.load(std::memory_order_relaxed) || stop.load(std::memory_order_relaxed);
    };
    UploadPrompts prompts(job, stopped);
    ProgressView view(job, prompts);
    StopPump pump(job, stop);
    SystemClock clock;
    RunState state;
    CheckRunOptions options;
    options.program_folder = job.folder;
    options.max_errors = job.max_errors;
    options.pump = &pump;
    if (job.upload) {
      options.open_submission = [&job, &prompts, &stopped](const std::string& path) {
        return std::make_unique<StreamedFile>(*job.upload, prompts.files_opened() - 1, path,
                                              job.bytes_read, stopped);
      };
    }
    CheckRun run(state, prompts, clock, view, options);
    pump.set_run(&run);
    const RunSummary summary = run.ReadFile();
    // The records its results hold: a run whose results could not all be
    // written started more records than it stored, and says it covers
    // only those.
    job.records_tested.store(summary.records_tested, std::memory_order_relaxed);
    // A check that ended before its upload did waits for the rest: its
    // files are known only then, and a cut upload leaves no verdict.
    if (job.upload && !job.upload->WaitForEnd(stopped)) {
      if (job.cancel.load()) {
        // Cancelled by its user: kept only when its files could not be deleted.
        ending.outcome = "aborted";
        ending.problem = "the check was cancelled before its upload ended";
      } else {
        ending.problem = "the upload ended before its end";
      }
      return ending;
    }
    const ReportedOutcome outcome = OutcomeOfRun(summary);
    std::vector<std::string> paths;
    for (const UploadedFile& f : job.files) paths.push_back(f.path);
    const std::string results = JoinPath(job.folder, kResultsFileName);
    ending.summary = CheckSummaryJson(summary, outcome,
                                      NamedFiles(paths, prompts.files_opened(), outcome), results);
    ending.outcome = OutcomeName(outcome);
    ending.state = StateOf(outcome);
    ending.has_results =
        summary.outcome != RunOutcome::kFolderInUse && ::access(results.c_str(), F_OK) == 0;
    if (ending.state == CheckState::kFailed) {
      ending.problem = Joined(prompts.since_last_file);
      // Results of which nothing readable could be written (a disk full
      // before their first page) are none: else the check would read as
      // one whose results were changed since, and its problem be lost.
      ending.has_results = ending.has_results && ResultsStillReadable(job.folder);
    }
    ending.messages = prompts.alerts;
    // A file after the final record is not read: "clean" or "findings"
    // then speaks only of the files before it, and the messages say so,
    // as lintaro-cli check says it on standard error.
    if (outcome == ReportedOutcome::kClean || outcome == ReportedOutcome::kFindings) {
      std::vector<std::string> names;
      for (const UploadedFile& f : job.files) names.push_back(f.name);
      for (const NamedFile& f : NamedFiles(names, prompts.files_opened(), outcome))
        if (!f.read)
          ending.messages.push_back("File " + f.path + " was not read: " + f.reason + ".");
    }
    if (summary.errors > 0 && ending.has_results) {
      if (auto problem = WriteReports(job.folder)) ending.problem = *problem;
    }
  } catch (const std::exception& e) {
    ending.state = CheckState::kFailed;
    ending.problem = e.what();
  }
  return ending;
}

}  // namespace lintaro
