// A test run against scripted dialogs in a temporary program folder.
#ifndef LINTARO_TESTS_RUN_RUN_TEST_BASE_H_
#define LINTARO_TESTS_RUN_RUN_TEST_BASE_H_

#include <gtest/gtest.h>

#include "core/error_limit.h"
#include "run/check_run.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/run_fixture.h"

namespace lintaro::testing {

class RunTestBase : public ::testing::Test {
 protected:
  // Tests the given files as one submission, then reads back what it stored.
  RunSummary Run(const std::vector<std::string>& files, int max_errors = 500,
                 EventPump* pump = nullptr) {
    prompts.files.assign(files.begin(), files.end());
    CheckRunOptions options;
    options.program_folder = home.str();
    options.max_errors = max_errors;
    options.pump = pump;
    options.batch_records = batch_records;
    options.results_store = results_store;
    CheckRun run(state, prompts, clock, view, options);
    current = &run;
    RunSummary summary = run.ReadFile();
    current = nullptr;
    out = {};
    if (results_store != nullptr)
      ReadBack(*results_store, out);
    else if (std::filesystem::is_regular_file(db_path()))
      ReadBack(*ResultsDb::Open(db_path(), true), out);
    return summary;
  }
  RunSummary RunRecords(const std::vector<std::string>& records, int max_errors = 500) {
    return Run({files.Write("submission.txt", JoinRecords(records))}, max_errors);
  }
  std::string db_path() const { return JoinPath(home.str(), kResultsFileName); }
  // "reference | user entry | error" of the stored findings (the critical only).
  std::vector<std::string> findings(bool critical_only = false) const {
    std::vector<std::string> found;
    for (const ErrorRow& e : out.errors)
      if (!critical_only || e.type == "C")
        found.push_back(e.reference + " | " + e.user_entry + " | " + e.error);
    return found;
  }
  bool Saw(const std::string& event) const {
    return std::find(view.events.begin(), view.events.end(), event) != view.events.end();
  }

  TempDir home, files;
  ScriptedPrompts prompts;
  FixedClock clock;
  RecordingView view;
  RunState state;
  RunOutput out;
  int batch_records = 4096;
  ResultsDb* results_store = nullptr;  // CheckRunOptions::results_store
  CheckRun* current = nullptr;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_RUN_RUN_TEST_BASE_H_
