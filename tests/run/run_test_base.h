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
  // What the user saw of the run: how it ended, the file dialogs, the
  // message boxes (CR LF as a new line indented) and the window's events,
  // then the findings stored, with the temporary folders as HOME and FILES.
  // Clears the dialogs and events for the next run.
  std::string Seen(const RunSummary& s) {
    static constexpr const char* kOutcomes[] = {"clean",         "findings",  "critical stop",
                                                "no valid data", "cancelled", "failed",
                                                "restart",       "aborted",   "folder in use"};
    std::string t = std::string(kOutcomes[static_cast<int>(s.outcome)]) + ", " +
                    std::to_string(s.records_tested) + " tested, " +
                    std::to_string(out.records.size()) + " stored" +
                    (s.critical ? ", critical in " + std::to_string(s.critical->rec_num) : "") +
                    (state.Testing ? ", still testing" : "") + "\n";
    for (size_t i = 0; i < prompts.dialog_titles.size(); ++i)
      t += "dialog " + prompts.dialog_titles[i] + " | " + prompts.dialog_filters[i] + "\n";
    for (const ShownMessage& m : prompts.messages) t += "message " + Describe(m) + "\n";
    t += "events";
    for (const std::string& e : view.events) t += " " + e;
    t += "\n";
    for (const ErrorRow& e : out.errors)
      t += "finding " + std::to_string(e.rec_num) + e.type + ": " + e.reference + " | " +
           e.user_entry + " | " + e.error + "\n";
    for (const auto& [from, to] : {std::pair<std::string, std::string>{home.str(), "HOME"},
                                   {files.str(), "FILES"},
                                   {"\r\n", "\n  "}})
      for (size_t at = 0; (at = t.find(from, at)) != std::string::npos; at += to.size())
        t.replace(at, from.size(), to);
    prompts = {};
    view = {};
    return t + "\n";
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
