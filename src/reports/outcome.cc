#include "reports/outcome.h"

#include "core/error_limit.h"
#include "run/run_ending.h"
#include "store/results_db.h"

namespace lintaro {

const char* OutcomeName(ReportedOutcome outcome) {
  switch (outcome) {
    case ReportedOutcome::kClean:
      return "clean";
    case ReportedOutcome::kFindings:
      return "findings";
    case ReportedOutcome::kErrorLimit:
      return "error_limit";
    case ReportedOutcome::kCriticalStop:
      return "critical_stop";
    case ReportedOutcome::kAborted:
      return "aborted";
    case ReportedOutcome::kNoValidData:
      return "no_valid_data";
    case ReportedOutcome::kFailed:
      return "failed";
    case ReportedOutcome::kIncomplete:
      return "incomplete";
  }
  return "failed";
}

ReportedOutcome OutcomeOfRun(const RunSummary& summary) {
  switch (summary.outcome) {
    case RunOutcome::kClean:
      return ReportedOutcome::kClean;
    case RunOutcome::kFindings:
    case RunOutcome::kCriticalStop:
      if (summary.error_limit_reached) return ReportedOutcome::kErrorLimit;
      return summary.critical ? ReportedOutcome::kCriticalStop : ReportedOutcome::kFindings;
    case RunOutcome::kNoValidData:
      return ReportedOutcome::kNoValidData;
    case RunOutcome::kAborted:
      return ReportedOutcome::kAborted;
    case RunOutcome::kCancelled:
    case RunOutcome::kFailed:
    case RunOutcome::kRestart:
    case RunOutcome::kFolderInUse:
      break;
  }
  return ReportedOutcome::kFailed;
}

bool IsErrorLimitFinding(const ErrorRow& row) {
  if (row.type != "C") return false;
  int limit = 0;
  size_t i = 0;
  for (; i < row.reference.size() && i < 6 && row.reference[i] >= '0' && row.reference[i] <= '9';
       ++i)
    limit = limit * 10 + (row.reference[i] - '0');
  return i > 0 && row.reference == ErrorLimitReference(limit) &&
         row.user_entry == ErrorLimitUserEntry(limit);
}

ReportedOutcome StoredOutcome(ResultsDb& db) {
  const StoredRunEnding run = ReadStoredRunEnding(db);
  if (run.stopped()) return ReportedOutcome::kAborted;
  if (!run.finished()) return ReportedOutcome::kIncomplete;
  const std::optional<ErrorRow> last = db.ReadLastError();
  if (!last)
    return db.CountRecords() == 0 ? ReportedOutcome::kNoValidData : ReportedOutcome::kClean;
  if (last->reference == "Test Aborted") return ReportedOutcome::kAborted;
  if (last->type == "C")
    return IsErrorLimitFinding(*last) ? ReportedOutcome::kErrorLimit
                                      : ReportedOutcome::kCriticalStop;
  return ReportedOutcome::kFindings;
}

}  // namespace lintaro
