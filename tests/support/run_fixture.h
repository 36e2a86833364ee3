// Whole runs of a submission through CheckRun, and what they stored.
#ifndef LINTARO_TESTS_SUPPORT_RUN_FIXTURE_H_
#define LINTARO_TESTS_SUPPORT_RUN_FIXTURE_H_

#include <memory>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "store/results_db.h"
#include "store/rows.h"
#include "support/fakes.h"

namespace lintaro::testing {

// What a whole run of a submission left behind.
struct RunOutput {
  RunSummary summary;
  std::vector<ErrorRow> errors;
  std::vector<RecordRow> records;
  std::vector<MiscRow> files;
  std::vector<TotalsRow> trct, trcu;
  RunState state;
  // The program folder of the run, kept while the output lives.
  std::shared_ptr<TempDir> dir;
  std::string db_path() const { return (dir->path() / kResultsFileName).string(); }
};

// Runs CheckRun over the records (joined with CR LF, in one file) in a fresh
// program folder and reads back everything stored.
RunOutput RunRecords(const std::vector<std::string>& records, int max_errors = 500);
// The same over files of those bytes (submission.txt, else part1.txt,
// part2.txt, ...), which prompts hand out, on the date given.
RunOutput RunFiles(const std::vector<std::string>& files, int max_errors, ScriptedPrompts& prompts,
                   Date today = {2026, 12, 6});

// Every stored row of a run, one line each, without the submission's file
// name (compare two with LineDiff, support/line_diff.h).
std::string StoredRows(const RunOutput& out);

// Reads every row of a results database.
void ReadBack(ResultsDb& db, RunOutput& out);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_RUN_FIXTURE_H_
