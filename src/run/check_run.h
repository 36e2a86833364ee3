// The check run (the test of one submission): asks for the submission file
// (and the next file while the submission has not ended with its final
// record), frames it into records, stores every record, applies the
// file-level rules and the error limit and hands each record to the record
// driver.
#ifndef LINTARO_RUN_CHECK_RUN_H_
#define LINTARO_RUN_CHECK_RUN_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/run_state.h"
#include "core/submission_file.h"
#include "os/folder_lock.h"
#include "platform/platform.h"
#include "store/rows.h"

namespace lintaro {

class ResultsDb;
class RunResults;
struct CriticalFinding;

// The window side of a run. Every method does nothing unless overridden.
class RunView {
 public:
  virtual ~RunView() = default;
  // A file was chosen: the window shows the run (caption, grids and viewer
  // hidden, the commands that would start another run disabled).
  virtual void FileOpened() {}
  // Record rec_ctr is being processed; fraction is the share of the current
  // file read so far (0 to 1), or negative when the file is one record long.
  virtual void RecordStarted(int32_t rec_ctr, double fraction) {}
  virtual void SetBusy(bool busy) {}
  // Completion began: the start, view and report commands are enabled.
  virtual void CompletionStarted() {}
  // A run without findings ended; the welcome view is shown again.
  // has_records is false when the file held no valid data.
  virtual void CompletedClean(bool has_records) {}
  // The run ended with findings: show the records with errors.
  virtual void ShowResults() {}
  // The run is over, whichever way it ended.
  virtual void RunEnded() {}
  // The user asked to open the filing agency's online-services page.
  virtual void OpenOnlineServices() {}
};

enum class RunOutcome {
  kClean,         // completed without findings
  kFindings,      // completed (or stopped at the limit) with findings
  kCriticalStop,  // stopped on a critical finding
  kNoValidData,   // the file held no record
  kCancelled,     // the file dialog was cancelled before anything was tested
  kFailed,        // a failure ended the run
  kRestart,       // the first file was not found: the caller starts a new run
  kAborted,       // Exit was chosen during the run
  kFolderInUse,   // another program holds the program folder, or it cannot be locked:
                  // nothing was touched
};

struct RunSummary {
  RunOutcome outcome = RunOutcome::kCancelled;
  int64_t records_tested = 0;
  int64_t records_with_errors = 0;
  int64_t errors = 0;
  // The finding that stopped the run, when the last finding is critical.
  std::optional<ErrorRow> critical;
  // The run stopped because the number of findings reached the error limit.
  bool error_limit_reached = false;
  int32_t zero_amount_count = 0;
};

struct CheckRunOptions {
  std::string program_folder;  // where ERRLOG2C.MDB is written
  int max_errors = 500;
  // Instead of max_errors, the limit in the folder's ErrSetLog.ini, read
  // once the run holds the folder (lintaro-cli check without --max-errors).
  bool error_limit_from_folder = false;
  int batch_records = 4096;   // records per committed batch
  EventPump* pump = nullptr;  // null: no event processing (command line)
  // The results database to write instead of ERRLOG2C.MDB, or null (the
  // default) for the file. The run empties it at the start, takes its
  // summary from it and leaves it open. The fuzz targets keep one in memory
  // for all their inputs, so that an input costs no new file and schema.
  ResultsDb* results_store = nullptr;
  // Where the file chosen as kStandardInputName is read from (a copy of
  // standard input), or empty.
  std::string standard_input_copy;
  // Opens a chosen submission file for reading instead of SubmissionFile
  // (the service reads an upload while it still arrives), or empty.
  std::function<std::unique_ptr<SubmissionSource>(const std::string& path)> open_submission;
};

// What the run says of a submission that held no record.
inline constexpr const char* kNoValidDataWarning = "Warning: The file contains no valid data.";

inline constexpr const char* kOpenFileFilter =
    "All Files (*.*)|*.*|Ascii Text Files (*.txt; *.asc) |*.txt;*.asc|";

class CheckRun {
 public:
  CheckRun(RunState& state, Prompts& prompts, Clock& clock, RunView& view, CheckRunOptions options);
  ~CheckRun();

  // The whole run. The results stay in the database file, closed, when it
  // returns. From the moment the first file is chosen until it returns, the
  // run holds its program folder (FolderLock); when another program holds
  // it, or it cannot be locked, the run shows why, touches nothing and ends
  // with kFolderInUse.
  RunSummary ReadFile();

  // Exit was chosen while the run processes events, or a signal asks the
  // run to stop (cause kStoppedBySignal): the run records "Test Aborted"
  // against the last stored record and ends at the next record.
  void RequestAbort(RunEnding cause = RunEnding::kStoppedByUser) {
    if (!abort_requested_) abort_cause_ = cause;
    abort_requested_ = true;
  }

  // The error limit changed while the run processes events: the limit test
  // after the next record uses it (findings already stored count).
  void SetErrorLimit(int limit) { options_.max_errors = limit; }

 private:
  enum class Step { kNext, kStop, kFileEnded };
  // The files of the submission, one after the other, until it ends (or
  // stops); throws RunFailure and StoreError.
  RunOutcome TestFiles();
  // Asks for the next file into file_name_; throws RunFailure when the
  // dialog is cancelled, and gives false when it closed unanswered because
  // the run was asked to stop after storing records.
  bool ChooseFile();
  // Frames, stores and checks the records of file_name_ until it ends or the
  // run stops.
  Step TestFile();
  // One framed record: the window's progress, then PrepareRecord,
  // StoreRecord, its checks and ApplyStopRules.
  Step ProcessRecord(std::string& record, int64_t file_length, int32_t& file_records);
  void ShowProgress(int64_t file_length, int32_t& file_records);
  // Takes the identifier, upper-cases the record (RCA's e-mail address
  // keeps its case) and cuts it to 1,024 characters; returns its length as
  // framed.
  size_t PrepareRecord(std::string& record);
  // Appends the record to the results and applies the file-level rules.
  Step StoreRecord(const std::string& record, size_t found_length);
  // After the record's checks: an unknown identifier, a critical finding or
  // the error limit stops the run.
  Step ApplyStopRules();
  void CriticalStop(const CriticalFinding& finding);
  void OpenResults();
  void DeleteResults();
  // The run stopped or completed with findings, its ending recorded: the
  // grids show them.
  void StopPath();
  RunOutcome Completion();
  // The failure's message, then what the results keep of the run.
  RunOutcome HandleFailure(const RunFailure& failure);
  void ReportFailure(const RunFailure& failure);
  // Records the missing final record of a submission cut short and
  // flushes; returns outcome, or what a failure to store made of it.
  RunOutcome KeepResultsAfterFailure(RunOutcome outcome);
  RunSummary Summarize(RunOutcome outcome);
  void RecordAbort();
  // Exit or a signal stopped the run: "Test Aborted" and the ending.
  RunOutcome StopForAbort();
  // Takes the program folder for the run; false when it is in use.
  bool TakeFolder();
  // Every way a run ends comes here once: the recorder and the results are
  // released (the database file is closed), the run is no longer testing
  // and the window's pointer is normal again.
  void EndRun();

  RunState& state_;
  Prompts& prompts_;
  Clock& clock_;
  RunView& view_;
  CheckRunOptions options_;
  std::unique_ptr<RunResults> results_;
  bool abort_requested_ = false;
  RunEnding abort_cause_ = RunEnding::kStoppedByUser;
  bool error_limit_reached_ = false;
  std::string file_name_;  // the file being tested
  // The last file ended without the final record and the next has no
  // record yet.
  bool continuation_ = false;
  // The run replaced the folder's results with its own; until then they are
  // the last run's, and none of its counts.
  bool results_replaced_ = false;
  std::optional<FolderLock> folder_lock_;

  struct Checking;
  std::unique_ptr<Checking> checking_;
};

}  // namespace lintaro

#endif  // LINTARO_RUN_CHECK_RUN_H_
