// How the run that wrote a results database ended, and which files it
// tested, as every reader tells it: the reports, `lintaro-cli show`, batch
// and the desktop's views.
//
// A run records its ending in the transaction of its last rows, so results
// whose run has no ending (killed, its program ended during its clean-up,
// its results could not be written) or an ending other than the end of the
// submission, the error limit or a critical stop cover only the records the
// run reached. Results written before runs recorded their ending are read
// as finished, as they always were.
#ifndef LINTARO_RUN_RUN_ENDING_H_
#define LINTARO_RUN_RUN_ENDING_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/rows.h"

namespace lintaro {

class ResultsDb;

struct StoredRunEnding {
  // Nothing for results of an older version, which did not record it.
  std::optional<RunRow> run;
  int64_t records_tested = 0;  // the last record stored

  bool finished() const { return !run || run->finished(); }
  // Stopped on purpose before the end: Exit was chosen, or a signal came.
  bool stopped() const {
    return run &&
           (run->ending == RunEnding::kStoppedByUser || run->ending == RunEnding::kStoppedBySignal);
  }
};

// Reads how the run ended; throws StoreError when the results cannot be
// read, or are damaged (findings of records they do not hold, records
// missing from between the first and the last, records whose Errors counts
// do not add up to the findings held, a RUN table without its one row or
// with an ending no run writes, or one the last finding contradicts), so
// that no reader gives a verdict on them. Reads every record once per
// read-only handle (ResultsDb::TallyRecords).
StoredRunEnding ReadStoredRunEnding(ResultsDb& db);

// The sentence every reader puts first for results of a run that did not
// finish: "Testing did not finish: these results cover only records 1 to
// N of the submission."
std::string UnfinishedRunNotice(int64_t records_tested);

// A file's name as a part of a line of text: its control characters (a line
// break, a tab, an escape) become U+FFFD, so that a name can never start a
// line of its own ("No errors found ...") nor move a terminal's cursor.
std::string OneLineName(std::string_view name);

// The tested files' paths, each as OneLineName gives it, joined by "; ", as
// the reports and the desktop's messages name the files of a submission.
std::string TestedFilesList(const std::vector<std::string>& paths);

}  // namespace lintaro

#endif  // LINTARO_RUN_RUN_ENDING_H_
