// Everything a record's checks work with, handed to every checker.
#ifndef LINTARO_CORE_CHECK_CONTEXT_H_
#define LINTARO_CORE_CHECK_CONTEXT_H_

#include "core/error_recorder.h"
#include "core/run_state.h"
#include "platform/yielder.h"
#include "store/results_reader.h"

namespace lintaro {

class RunResults;
class ViewerRows;

struct CheckContext {
  RunState& state;
  ErrorRecorder& recorder;
  // Reads the findings and records stored (the run's own or the stored).
  ResultsReader& results;
  // The run's rows, for the stamps and side writes of the checks; null
  // while viewing.
  RunResults* run;
  // The viewer's rows; null in a test run.
  ViewerRows* rows;
  Yielder& yielder;

  bool viewing() const { return state.Viewing; }
};

}  // namespace lintaro

#endif  // LINTARO_CORE_CHECK_CONTEXT_H_
