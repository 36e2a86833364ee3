// How a test run ended, in the words of the machine-readable outputs (the
// JSON summary of a check, the JSON report, the lines of a batch).
#ifndef LINTARO_REPORTS_OUTCOME_H_
#define LINTARO_REPORTS_OUTCOME_H_

#include "run/check_run.h"
#include "store/rows.h"

namespace lintaro {

class ResultsDb;

enum class ReportedOutcome {
  kClean,         // tested to the end, no findings
  kFindings,      // tested to the end, with findings
  kErrorLimit,    // stopped when the findings reached the error limit
  kCriticalStop,  // stopped by a critical finding
  kAborted,       // interrupted (Exit chosen, or a signal)
  kNoValidData,   // the submission held no record
  kFailed,        // could not be tested: the file, the folder or the disk failed
  kIncomplete,    // stored results of a run that did not finish (killed, failed)
};

// "clean", "findings", "error_limit", "critical_stop", "aborted",
// "no_valid_data", "failed" or "incomplete".
const char* OutcomeName(ReportedOutcome outcome);

// The outcome of a run that just ended.
ReportedOutcome OutcomeOfRun(const RunSummary& summary);

// The outcome of the run whose results db holds: kIncomplete when its run
// recorded no ending or failed, kAborted when it was stopped; otherwise
// read from its findings: the last one tells a stop at the limit, a
// critical stop or an abort.
ReportedOutcome StoredOutcome(ResultsDb& db);

// Whether the finding is the one the error limit adds.
bool IsErrorLimitFinding(const ErrorRow& row);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_OUTCOME_H_
