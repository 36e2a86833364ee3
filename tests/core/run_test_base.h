// A test run against scripted dialogs in a temporary program folder.
#ifndef LINTARO_TESTS_CORE_RUN_TEST_BASE_H_
#define LINTARO_TESTS_CORE_RUN_TEST_BASE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/error_limit.h"
#include "core/run_state.h"
#include "core/test_run.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/fakes.h"
#include "support/results_dump.h"

namespace lintaro::testing {

class RunTestBase : public ::testing::Test {
 protected:
  // Tests the given files as one submission.
  RunSummary Run(const std::vector<std::string>& files, int max_errors = 500,
                 EventPump* pump = nullptr) {
    prompts.files.assign(files.begin(), files.end());
    TestRunOptions options;
    options.program_folder = home.str();
    options.max_errors = max_errors;
    options.pump = pump;
    options.batch_records = batch_records;
    TestRun run(state, prompts, clock, view, options);
    run_ = &run;
    RunSummary summary = run.ReadFile();
    run_ = nullptr;
    return summary;
  }
  // Writes a submission file into the program folder's sibling and tests it.
  RunSummary RunRecords(const std::vector<std::string>& records, int max_errors = 500) {
    return Run({files.Write("submission.txt", JoinRecords(records))}, max_errors);
  }

  std::string db_path() const { return JoinPath(home.str(), kResultsFileName); }
  std::vector<ErrorRow> errors() const { return AllErrors(db_path()); }
  std::vector<RecordRow> records() const { return AllRecords(db_path()); }
  std::vector<std::string> findings() const { return Findings(db_path()); }
  // The critical findings only: what the run core itself decides.
  std::vector<std::string> critical() const {
    std::vector<std::string> out;
    for (const ErrorRow& e : errors())
      if (e.type == "C") out.push_back(e.reference + " | " + e.user_entry + " | " + e.error);
    return out;
  }

  TempDir home;
  TempDir files;
  ScriptedPrompts prompts;
  FixedClock clock;
  RecordingView view;
  RunState state;
  int batch_records = 4096;
  TestRun* run_ = nullptr;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_CORE_RUN_TEST_BASE_H_
