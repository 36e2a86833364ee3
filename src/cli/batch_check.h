// The pieces of lintaro-cli batch: the submissions a list of paths names,
// and the check of one submission into a program folder of its own.
#ifndef LINTARO_CLI_BATCH_CHECK_H_
#define LINTARO_CLI_BATCH_CHECK_H_

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "reports/outcome.h"
#include "run/check_run.h"

namespace lintaro {

inline constexpr const char* kBatchTextReport = "report.txt";
inline constexpr const char* kBatchJsonReport = "report.json";
// The name of standard input's submission ("-" among the paths) and its
// results folder.
inline constexpr const char* kBatchStandardInputName = "standard-input";
// The run's summary beside the submissions' folders; no submission's folder
// takes its name.
inline constexpr const char* kBatchSummaryFile = "batch.json";

struct BatchSubmission {
  std::string name;     // the folder name of its results: the file's name, made unique
  std::string file;     // full name of the submission file (kStandardInputName for "-")
  std::string problem;  // why it cannot be tested (the file is missing, ...); empty when it can
};

// Each path is a submission file, or a folder whose regular files (not
// those of its subfolders) are each a submission, in name order, or "-"
// for standard input. A path that is neither, or a file that cannot be
// read, becomes a submission with a problem, so that nothing named is left
// out silently. A name is never one that results_folder holds already for
// something else than a submission's results (see BatchMayUseFolder).
std::vector<BatchSubmission> CollectSubmissions(const std::vector<std::string>& paths,
                                                const std::string& results_folder);

// Whether a submission may be checked into folder: nothing is there, or it
// is a folder (not a link) of its user's alone (theirs, and no one else may
// write in it) that holds nothing, or only what a batch's check leaves there
// (lintaro.lock, its user's alone too, the results, the reports). A folder,
// file or link of anyone else's is never written into nor emptied.
bool BatchMayUseFolder(const std::string& folder);

// Why an existing results folder may not be used: anyone may write in it
// (they could make the folders and locks its checks use before them, or
// in the moment between a check's look and its making its folder).
// Nothing when only its owner or group may write in it (the group is
// trusted, as with a shared program folder), or when it is missing (a batch
// makes it for its user alone).
std::optional<std::string> SharedResultsFolderProblem(const std::string& folder);

// Creates folder and the folders above it that are missing, each for its
// owner only (0700, whatever the umask: they hold Social Security numbers);
// a folder that is already there is left as it is. False, with ec set, when
// one cannot be created. made, when given, gets those it created, the
// highest first.
bool CreateOwnFolders(const std::string& folder, std::error_code& ec,
                      std::vector<std::string>* made = nullptr);

struct BatchResult {
  bool started = true;           // false: interrupted before its check began
  bool results_written = false;  // its folder holds the results of this check
  ReportedOutcome outcome = ReportedOutcome::kFailed;
  RunSummary summary;
  std::string folder;                 // the program folder of the submission
  std::vector<std::string> messages;  // the run's messages worded for a terminal, and problems
  // Why a report of its findings was not written (also among messages).
  std::vector<std::string> report_problems;
};

// Checks the submission into results_folder/NAME/ (created when missing):
// ERRLOG2C.MDB, and report.txt and report.json when there are findings (the
// reports of an earlier check of that name are removed). A submission with
// a problem gets no folder, nor one whose check wrote nothing. The run
// stops early when the program is interrupted. standard_input_copy: where
// standard input's submission is read from. Never throws.
BatchResult CheckIntoFolder(const BatchSubmission& submission, const std::string& results_folder,
                            int max_errors, const std::string& standard_input_copy);

// Whether a submission of this outcome could not be tested (exit status 2).
bool NotTested(ReportedOutcome outcome);
// Whether a submission of this outcome has findings (exit status 1).
bool HasFindings(ReportedOutcome outcome);

}  // namespace lintaro

#endif  // LINTARO_CLI_BATCH_CHECK_H_
