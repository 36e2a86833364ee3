// The summary of a check that just ended, as one JSON object: what
// `lintaro-cli check --format json` prints and what the service gives as a
// check's `summary`, byte for byte the same.
//
//   {"format_version": 1, "lintaro_version": "1.1.0",
//    "files": [{"path": ..., "read": true}, {"path": ..., "read": false, "reason": ...}],
//    "outcome": ..., "records_tested": n, "records_with_errors": n, "errors_found": n,
//    "critical_stop": null | {"record_number": n, "message": ...}, "results": path}
#ifndef LINTARO_REPORTS_CHECK_SUMMARY_H_
#define LINTARO_REPORTS_CHECK_SUMMARY_H_

#include <cstddef>
#include <string>
#include <vector>

#include "reports/outcome.h"
#include "run/check_run.h"

namespace lintaro {

// A named file of the submission as the run left it: read, or not read and why.
struct NamedFile {
  std::string path;  // full name
  bool read = false;
  std::string reason;
};

// The named files (full names, in order), the first opened of them read;
// the others carry the reason the run did not reach them, from how it ended
// in the last file it opened.
std::vector<NamedFile> NamedFiles(const std::vector<std::string>& full_names, size_t opened,
                                  ReportedOutcome outcome);

// The summary object, ending in a line feed. results is the results file's name.
std::string CheckSummaryJson(const RunSummary& summary, ReportedOutcome outcome,
                             const std::vector<NamedFile>& files, const std::string& results);

}  // namespace lintaro

#endif  // LINTARO_REPORTS_CHECK_SUMMARY_H_
