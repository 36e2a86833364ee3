#include "run/check_run.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "checks/field_layout.h"
#include "core/check_context.h"
#include "core/error_limit.h"
#include "core/error_recorder.h"
#include "core/framer.h"
#include "core/submission_file.h"
#include "os/path.h"
#include "platform/yielder.h"
#include "records/record_checkers.h"
#include "run/record_driver.h"
#include "run/sequence_rules.h"
#include "store/cp1252.h"
#include "store/results_db.h"
#include "store/run_results.h"

namespace lintaro {
namespace {

constexpr const char* kCrLf = "\r\n";

// The first run's dates in which a clean submission may go straight to the
// filing agency's online services.
constexpr Date kOnlineFrom{2007, 12, 17};
constexpr Date kOnlineUntil{2008, 12, 1};

}  // namespace

// The pieces the checks of this run share.
struct CheckRun::Checking {
  Checking(RunState& state, RunResults& results, EventPump* pump)
      : recorder(state, &results, nullptr), yielder(pump), ctx{state,    recorder, results,
                                                               &results, nullptr,  yielder} {}
  ErrorRecorder recorder;
  Yielder yielder;
  CheckContext ctx;
};

CheckRun::CheckRun(RunState& state, Prompts& prompts, Clock& clock, RunView& view,
                   CheckRunOptions options)
    : state_(state), prompts_(prompts), clock_(clock), view_(view), options_(std::move(options)) {}

CheckRun::~CheckRun() = default;

void CheckRun::DeleteResults() {
  const std::string path = JoinPath(options_.program_folder, kResultsFileName);
  // A journal left by a run that was killed would be rolled into the new
  // file: it goes with the old database.
  for (int attempt = 0;; ++attempt) {
    checking_.reset();
    results_.reset();
    bool ok = true;
    int err = 0;
    for (const std::string& name : {path, path + "-journal"}) {
      if (::unlink(name.c_str()) != 0 && errno != ENOENT) {
        ok = false;
        err = errno;
      }
    }
    if (ok) return;
    if (attempt == 1) {
      throw RunFailure{RunFailure::kOther, RunFailure::kPathAccessNumber,
                       "The results database " + path +
                           " cannot be deleted: " + std::generic_category().message(err)};
    }
  }
}

void CheckRun::OpenResults() {
  results_replaced_ = true;
  if (options_.results_store != nullptr) {
    checking_.reset();
    results_.reset();
    options_.results_store->Clear();
    results_ = std::make_unique<RunResults>(*options_.results_store, options_.batch_records);
    checking_ = std::make_unique<Checking>(state_, *results_, options_.pump);
    return;
  }
  DeleteResults();
  const std::string path = JoinPath(options_.program_folder, kResultsFileName);
  try {
    results_ = std::make_unique<RunResults>(ResultsDb::Create(path), options_.batch_records);
  } catch (const StoreError& e) {
    throw RunFailure{RunFailure::kOther, e.code() < 0 ? RunFailure::kPathAccessNumber : e.code(),
                     e.what()};
  }
  checking_ = std::make_unique<Checking>(state_, *results_, options_.pump);
}

void CheckRun::CriticalStop(const CriticalFinding& finding) {
  checking_->recorder.AddCritError(finding.reference, finding.user_entry, finding.message);
}

void CheckRun::RecordAbort() {
  if (!results_ || !results_->has_current()) return;
  if (abort_cause_ == RunEnding::kStoppedBySignal) {
    checking_->recorder.AddError("Test Aborted", "Stopped by a signal",
                                 "The last file did not complete testing because the check was "
                                 "stopped by a signal (Ctrl+C, a terminal that closed or a "
                                 "request to end) while processing.");
  } else {
    checking_->recorder.AddError("Test Aborted", "Exit was chosen",
                                 "The last file did not complete testing "
                                 "because the Exit Button was selected while "
                                 "processing.");
  }
}

RunOutcome CheckRun::StopForAbort() {
  RecordAbort();
  if (results_) results_->Finish(abort_cause_);
  EndRun();
  return RunOutcome::kAborted;
}

bool CheckRun::TakeFolder() {
  if (folder_lock_) return true;
  folder_lock_ = FolderLock::ForRun(options_.program_folder);
  if (folder_lock_->held()) {
    // The folder's setting is read (and mended) only by the run that holds it.
    if (options_.error_limit_from_folder)
      options_.max_errors = LoadErrorLimit(options_.program_folder);
    return true;
  }
  if (folder_lock_->refused()) {
    prompts_.Message(FolderRefusalTitle(folder_lock_->state()),
                     FolderInUseMessage(folder_lock_->state(), options_.program_folder),
                     Icon::kCritical, Buttons::kOk);
  } else {
    prompts_.Message("Program Folder Error",
                     FolderUnlockableMessage(*folder_lock_, options_.program_folder),
                     Icon::kCritical, Buttons::kOk);
  }
  folder_lock_.reset();
  EndRun();
  return false;
}

void CheckRun::EndRun() {
  checking_.reset();  // the recorder before the results it writes to
  results_.reset();   // the database is closed, at rest before the grids read it
  state_.Testing = false;
  view_.SetBusy(false);
}

void CheckRun::ShowProgress(int64_t file_length, int32_t& file_records) {
  if (file_length > static_cast<int64_t>(kRecordLength)) {
    ++file_records;
    view_.RecordStarted(state_.RecCtr, static_cast<double>(file_records) * kRecordLength /
                                           static_cast<double>(file_length));
  } else {
    view_.RecordStarted(state_.RecCtr, -1);
  }
}

size_t CheckRun::PrepareRecord(std::string& record) {
  const size_t found_length = record.size();
  state_.RecId = RecordIdentifier(record);
  if (state_.RecId == "RCA") {
    // The contact's e-mail address keeps its case.
    const FieldSpec& email = RcaEmailField();
    UpperCaseCp1252(record, 0, static_cast<size_t>(email.start - 1));
    UpperCaseCp1252(record, static_cast<size_t>(email.end()), record.size());
  } else {
    UpperCaseCp1252(record, 0, record.size());
  }
  if (state_.RecId.empty()) state_.RecId = " ";
  if (record.empty()) record = " ";
  if (record.size() > kRecordLength) record.resize(kRecordLength);
  return found_length;
}

CheckRun::Step CheckRun::StoreRecord(const std::string& record, size_t found_length) {
  // The rules are applied before the record is appended, against the last
  // one stored: end-of-file filler is never stored.
  const RecordRow* previous =
      state_.RecCtr > 1 && results_->has_current() ? &results_->current() : nullptr;
  const FileRuleVerdict verdict =
      ApplyFileRules(state_.RecCtr, state_.RecId, record, found_length, previous);
  if (verdict.kind == FileRuleVerdict::kEndOfFile) return Step::kFileEnded;
  results_->AppendRecord(state_.RecCtr, state_.RecId, record);
  if (verdict.kind == FileRuleVerdict::kStop) {
    CriticalStop(verdict.finding);
    return Step::kStop;
  }
  return Step::kNext;
}

CheckRun::Step CheckRun::ApplyStopRules() {
  if (state_.BadRecId) CriticalStop(InvalidRecordIdentifier(state_.RecId));
  if (results_->error_count() == 0) return Step::kNext;
  if (results_->last_error_type() == "C") return Step::kStop;
  if (results_->error_count() >= options_.max_errors) {
    error_limit_reached_ = true;
    CriticalStop({ErrorLimitReference(options_.max_errors),
                  ErrorLimitUserEntry(options_.max_errors),
                  ErrorLimitMessage(options_.max_errors)});
    return Step::kStop;
  }
  return Step::kNext;
}

CheckRun::Step CheckRun::ProcessRecord(std::string& record, int64_t file_length,
                                       int32_t& file_records) {
  checking_->yielder.YieldNow();
  if (abort_requested_) return Step::kStop;
  ShowProgress(file_length, file_records);
  const size_t found_length = PrepareRecord(record);
  if (const Step step = StoreRecord(record, found_length); step != Step::kNext) return step;
  FillFields(record, state_.RecCtr, checking_->ctx);
  if (const Step step = ApplyStopRules(); step != Step::kNext) return step;
  ++state_.RecCtr;
  results_->EndRecord();
  return Step::kNext;
}

void CheckRun::StopPath() {
  if (state_.zero_amount_count > 10) {
    prompts_.Message("Alert",
                     std::to_string(state_.zero_amount_count) +
                         " instance(s) found where the corrected money field(s) is/are "
                         "zero. "
                         "This will zero out the corresponding originally reported money "
                         "field(s). Please make sure this is correct. This program only "
                         "captures up to the first 10 occurrences of this error.",
                     Icon::kInformation, Buttons::kOk);
  }
  EndRun();
  view_.ShowResults();
}

RunOutcome CheckRun::Completion() {
  view_.CompletionStarted();
  results_->Finish(RunEnding::kCompleted);
  // Counted as the run stored them, not read back: once its ending is
  // written, a read that fails must not make a finished run a failed one.
  const int64_t errors = results_->error_count();
  const int64_t records = results_->has_current() ? results_->current().rec_num : 0;
  if (errors > 0) {
    StopPath();
    return RunOutcome::kFindings;
  }
  EndRun();
  RunOutcome outcome = RunOutcome::kClean;
  if (records > 0) {
    const Date today = clock_.Today();
    const std::string done =
        std::string("Testing Completed.") + kCrLf + "There were no errors found.";
    if (today >= kOnlineFrom && today <= kOnlineUntil) {
      Answer a = prompts_.Message("Results",
                                  done + kCrLf + kCrLf +
                                      "Would you like to connect to the Fileport Web site to "
                                      "submit the wage report?",
                                  Icon::kQuestion, Buttons::kYesNo);
      if (a == Answer::kYes) view_.OpenOnlineServices();
    } else {
      prompts_.Message("Results", done, Icon::kInformation, Buttons::kOk);
    }
  } else {
    prompts_.Message("Results", kNoValidDataWarning, Icon::kExclamation, Buttons::kOk);
    outcome = RunOutcome::kNoValidData;
  }
  view_.CompletedClean(records > 0);
  return outcome;
}

void CheckRun::ReportFailure(const RunFailure& failure) {
  switch (failure.kind) {
    case RunFailure::kCancelled:
      break;
    case RunFailure::kFileNotFound:
      prompts_.Message("Submission File Not Found", file_name_ + " was not found.",
                       Icon::kInformation, Buttons::kOk);
      break;
    case RunFailure::kPastEndOfFile:
      prompts_.Message("Submission File Error",
                       "Unreadable data in File:" + std::string(kCrLf) + file_name_,
                       Icon::kCritical, Buttons::kOk);
      break;
    case RunFailure::kOther:
      prompts_.Message("Submission File Error",
                       "Error Number: " + std::to_string(failure.number) + kCrLf +
                           "Error Description: " + failure.description,
                       Icon::kCritical, Buttons::kOk);
      break;
  }
}

RunOutcome CheckRun::KeepResultsAfterFailure(RunOutcome outcome) {
  try {
    if (continuation_ && results_ && results_->has_current()) {
      // The submission ended without its final record. Only when the next
      // file's dialog was cancelled is that the verdict: a next file that
      // could not be read leaves the run unfinished, the finding kept.
      CriticalStop(MissingFinalRecord(results_->current().id));
      if (outcome == RunOutcome::kCancelled) outcome = RunOutcome::kCriticalStop;
    }
    if (results_)
      results_->Finish(outcome == RunOutcome::kCriticalStop ? RunEnding::kCriticalStop
                                                            : RunEnding::kFailed);
  } catch (const StoreError& e) {
    prompts_.Message(
        "Submission File Error",
        "Error Number: " + std::to_string(e.code()) + kCrLf + "Error Description: " + e.what(),
        Icon::kCritical, Buttons::kOk);
    outcome = RunOutcome::kFailed;
  }
  return outcome;
}

RunOutcome CheckRun::HandleFailure(const RunFailure& failure) {
  ReportFailure(failure);
  const RunOutcome outcome = KeepResultsAfterFailure(
      failure.kind == RunFailure::kCancelled ? RunOutcome::kCancelled : RunOutcome::kFailed);
  bool has_errors = false;
  if (results_) {
    try {
      has_errors = results_->db().CountErrors() > 0;
    } catch (const StoreError&) {
    }
  }
  EndRun();
  if (state_.RecCtr < 2 && failure.kind == RunFailure::kFileNotFound && !continuation_) {
    prompts_.Message("Submission File Name Error",
                     "Please check to make sure that correct File Name was entered and /or "
                     "correct Drive was chosen.",
                     Icon::kCritical, Buttons::kOk);
    return RunOutcome::kRestart;
  }
  if (has_errors) view_.ShowResults();
  return outcome;
}

RunSummary CheckRun::Summarize(RunOutcome outcome) {
  RunSummary summary;
  summary.outcome = outcome;
  summary.zero_amount_count = state_.zero_amount_count;
  summary.error_limit_reached = error_limit_reached_;
  // The results in the folder belong to the run that holds it, and are
  // its own only once it replaced them: a first file that could not be
  // opened leaves the last run's results, which are not counted as its own.
  if (outcome == RunOutcome::kFolderInUse || !results_replaced_) return summary;
  const std::string path = JoinPath(options_.program_folder, kResultsFileName);
  try {
    std::unique_ptr<ResultsDb> opened;
    ResultsDb* db = options_.results_store;
    if (db == nullptr) {
      opened = ResultsDb::Open(path, true);
      db = opened.get();
    }
    summary.records_tested = db->LastRecNum();  // numbered from 1 without gaps
    summary.records_with_errors = db->CountRecordsWithErrors();
    summary.errors = db->CountErrors();
    if (auto last = db->ReadLastError(); last && last->type == "C") summary.critical = last;
  } catch (const StoreError& e) {
    // Results it wrote that cannot be read back (a disk failing, a file
    // removed) give no verdict: counted as nothing, findings would read as
    // none. A run that gave none (it failed before its results existed)
    // has nothing to count.
    const bool verdict = outcome == RunOutcome::kClean || outcome == RunOutcome::kFindings ||
                         outcome == RunOutcome::kCriticalStop ||
                         outcome == RunOutcome::kNoValidData;
    if (verdict) {
      ReportFailure(RunFailure{RunFailure::kOther, e.code(), e.what()});
      summary.outcome = RunOutcome::kFailed;
      summary.records_tested = summary.records_with_errors = summary.errors = 0;
      summary.critical.reset();
      return summary;
    }
  }
  if (summary.critical && outcome == RunOutcome::kFindings)
    summary.outcome = RunOutcome::kCriticalStop;
  return summary;
}

bool CheckRun::ChooseFile() {
  const char* title = state_.RecCtr == 1 ? "Please Enter File Name to be Tested"
                                         : "Please Enter Next File Name to be Tested";
  std::optional<std::string> chosen = prompts_.OpenFile(title, kOpenFileFilter);
  // Exit or a signal closes the next file's dialog unanswered: the run
  // was stopped, and no one said that the submission ends here.
  if (!chosen && abort_requested_ && results_) return false;
  if (!chosen)
    throw RunFailure{RunFailure::kCancelled, RunFailure::kCancelledNumber, "Cancel was selected."};
  file_name_ = *chosen;
  return true;
}

CheckRun::Step CheckRun::TestFile() {
  // The file is opened first: one that cannot be tested (a named pipe, a
  // folder) leaves the last results, and the window showing them, as they were.
  const std::string& path =
      file_name_ == kStandardInputName && !options_.standard_input_copy.empty()
          ? options_.standard_input_copy
          : file_name_;
  std::unique_ptr<SubmissionSource> file = options_.open_submission
                                               ? options_.open_submission(path)
                                               : std::make_unique<SubmissionFile>(path);
  view_.FileOpened();
  if (state_.RecCtr == 1) OpenResults();
  results_->AddFile(file_name_, FormatDate(clock_.Today()));
  view_.SetBusy(true);

  RecordFramer framer(*file);
  int32_t file_records = 0;
  std::string record;
  Step step = Step::kNext;
  while (step == Step::kNext && framer.Next(record)) {
    continuation_ = false;
    step = ProcessRecord(record, file->length(), file_records);
  }
  file.reset();
  return step;
}

RunOutcome CheckRun::TestFiles() {
  for (;;) {
    if (!ChooseFile()) return StopForAbort();
    if (!TakeFolder()) return RunOutcome::kFolderInUse;
    const Step step = TestFile();
    if (abort_requested_) return StopForAbort();
    if (step == Step::kStop) {
      if (results_)
        results_->Finish(error_limit_reached_ ? RunEnding::kErrorLimit : RunEnding::kCriticalStop);
      StopPath();
      return RunOutcome::kFindings;
    }
    if (state_.RecCtr < 2 || (results_->has_current() && results_->current().id == "RCF"))
      return Completion();
    prompts_.Message("Missing Final Record",
                     "RCF record was not found. Submission must end with a final record. If "
                     "the wage report submission is saved on multiple disks or mutliple "
                     "data "
                     "files, click OK then choose the next file.",
                     Icon::kExclamation, Buttons::kOk);
    continuation_ = true;
  }
}

RunSummary CheckRun::ReadFile() {
  state_.ResetForRun();
  abort_requested_ = false;
  abort_cause_ = RunEnding::kStoppedByUser;
  error_limit_reached_ = false;
  continuation_ = false;
  results_replaced_ = false;
  file_name_.clear();
  RunOutcome outcome = RunOutcome::kCancelled;
  try {
    outcome = TestFiles();
  } catch (const RunFailure& failure) {
    outcome = HandleFailure(failure);
  } catch (const StoreError& e) {
    outcome = HandleFailure(RunFailure{RunFailure::kOther, e.code(), e.what()});
  } catch (const std::exception& e) {
    outcome =
        HandleFailure(RunFailure{RunFailure::kOther, RunFailure::kInternalErrorNumber, e.what()});
  }
  view_.RunEnded();
  RunSummary summary = Summarize(outcome);
  folder_lock_.reset();
  return summary;
}

}  // namespace lintaro
