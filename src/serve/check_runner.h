// Runs one check of the service: the engine's CheckRun over the uploaded
// files, in the check's folder, as `lintaro-cli batch` checks each
// submission into a folder of its own (ERRLOG2C.MDB, and report.txt and
// report.json when there are findings).
#ifndef LINTARO_SERVE_CHECK_RUNNER_H_
#define LINTARO_SERVE_CHECK_RUNNER_H_

#include <atomic>
#include <string>
#include <vector>

#include "serve/check_job.h"

namespace lintaro {

struct CheckEnding {
  CheckState state = CheckState::kFailed;
  std::string summary;  // the JSON summary, empty when the run did not start
  std::string outcome;  // its outcome name
  std::string problem;  // why a failed check failed
  // The run's alert, as its message box words it: how many all-zero
  // correct amounts it met when they were more than the findings it keeps.
  std::vector<std::string> messages;
  bool has_results = false;
};

// Runs job's check to its end. The run stops at its next record, recorded
// as stopped, when job.cancel is set (by the user) or stop is set (by the
// service ending). Updates job's progress counters. Never throws.
CheckEnding RunCheckJob(CheckJob& job, const std::atomic<bool>& stop);

}  // namespace lintaro

#endif  // LINTARO_SERVE_CHECK_RUNNER_H_
