#include "run/check_run.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "core/error_limit.h"
#include "os/folder_lock.h"
#include "os/path.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"
#include "support/run_fixture.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

// A test run against scripted dialogs in a temporary program folder.
class CheckRunTest : public ::testing::Test {
 protected:
  // Tests the given files as one submission with the options, then reads
  // back what it stored.
  RunSummary Run(const std::vector<std::string>& files) {
    prompts.files.assign(files.begin(), files.end());
    options.program_folder = home.str();
    CheckRun run(state, prompts, clock, view, options);
    current = &run;
    RunSummary summary = run.ReadFile();
    current = nullptr;
    out = {};
    ended = "no results";
    std::unique_ptr<ResultsDb> opened;
    ResultsDb* db = options.results_store;
    if (db == nullptr && std::filesystem::is_regular_file(db_path()))
      db = (opened = ResultsDb::Open(db_path(), true)).get();
    if (db != nullptr) {
      ReadBack(*db, out);
      const std::optional<RunRow> run = db->ReadRun();
      ended = run && run->ending ? RunEndingName(*run->ending) : "never";
    }
    return summary;
  }
  RunSummary RunRecords(const std::vector<std::string>& records) {
    return Run({files.Write("submission.txt", JoinRecords(records))});
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
                    std::to_string(s.records_with_errors) + " with " + std::to_string(s.errors) +
                    " errors, " + std::to_string(out.records.size()) + " stored" +
                    (s.critical ? ", critical in " + std::to_string(s.critical->rec_num) : "") +
                    (state.Testing ? ", still testing" : "") + "; run ended: " + ended + "\n";
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
  std::string ended;  // the RUN row's ending, "never" or "no results"
  CheckRunOptions options;
  CheckRun* current = nullptr;
};

// What runs show of themselves (outcome, dialogs, message boxes, window
// events, findings), compared with check_run.trace. The findings of each
// kind of record are the golden cases' (tests/golden), what a run leaves in
// its program folder is in tests/cli/sessions/results.session.
TEST_F(CheckRunTest, WhatTheUserSeesOfRunsThatEndEachWay) {
  std::string trace = "== the first file dialog cancelled\n" + Seen(Run({}));
  EXPECT_FALSE(std::filesystem::exists(db_path()));
  trace += "== a folder named as the submission\n" + Seen(Run({files.str()}));

  auto all = CleanSubmission(2);
  std::string first = files.Write("part1.txt", JoinRecords({all[0], all[1], all[2]}));
  std::string second = files.Write("part2.txt", JoinRecords({all[3], all[4], all[5]}));
  trace += "== a submission in two files\n" + Seen(Run({first, second}));
  clock.date = {2008, 12, 1};
  prompts.answers = {Answer::kYes};
  trace += "== Yes inside the filing window\n" + Seen(RunRecords(CleanSubmission()));
  trace += "== a critical finding\n" + Seen(RunRecords({CleanRCA(), PaidRCW()}));

  struct ExitAfter : EventPump {
    void ProcessEvents() override {
      if (--calls == 0) (*run)->RequestAbort();
    }
    CheckRun** run;
    int calls = 4;  // events are processed before each record
  } pump;
  pump.run = &current;
  options.pump = &pump;
  const RunSummary aborted = RunRecords(CleanSubmission(5));
  options.pump = nullptr;
  EXPECT_EQ(out.records[2].errors, 1);  // the finding is counted against its record
  trace += "== Exit chosen while the fourth record is read\n" + Seen(aborted);

  // Another program holds the folder: nothing is touched, no figures shown.
  const std::string before = ReadWholeFile(db_path());
  for (bool running : {true, false}) {
    FolderLock other =
        running ? FolderLock::ForRun(home.str()) : FolderLock::ForReading(home.str());
    trace += "== the folder held by another run or reader\n" + Seen(RunRecords(CleanSubmission(1)));
    EXPECT_EQ(ReadWholeFile(db_path()), before);
  }
  trace += "== the folder free again\n" + Seen(RunRecords(CleanSubmission(1)));

  // A signal while the next file of a submission cut short is asked for
  // closes the dialog unanswered: the run was stopped, and says so, rather
  // than finding that the submission ends without its final record.
  prompts.on_message = [this](const ShownMessage& m) {
    if (m.title == "Missing Final Record") current->RequestAbort(RunEnding::kStoppedBySignal);
  };
  const RunSummary signalled = Run({first});
  prompts.on_message = nullptr;
  trace += "== a signal while the next file is asked for\n" + Seen(signalled);

  // A next file that cannot be read (here a folder) leaves the submission
  // untested from there on: the missing final record is found, as when
  // the dialog is cancelled, but the run did not finish.
  trace += "== the next file cannot be read\n" + Seen(Run({first, files.str()}));

  // A results store that fills up after a few batches of 8 records, each
  // employee with a finding: the failure is shown once, and whole batches
  // stay, each record with its findings.
  auto full = ResultsDb::CreateInMemory();
  sqlite3_exec(full->handle(), "PRAGMA max_page_count = 30", nullptr, nullptr, nullptr);
  options.results_store = full.get();
  options.batch_records = 8;
  std::vector<std::string> records = CleanSubmission(300);
  for (size_t i = 2; i < 302; ++i) records[i] = Patch(records[i], {{188, "ZZ"}});
  const RunSummary failed = RunRecords(records);
  EXPECT_EQ(failed.records_tested % 8, 0);
  EXPECT_EQ(full->CountErrors(), static_cast<int64_t>(out.errors.size()));
  EXPECT_FALSE(full->in_transaction());
  trace += "== a full results store\n" + Seen(failed);
  options.results_store = nullptr;

  // Results that cannot be read back as the run ends (moved away here, as
  // a disk failing would leave them unreadable) give no verdict.
  view.on_run_ended = [this] { std::filesystem::rename(db_path(), db_path() + ".away"); };
  trace += "== results that cannot be read back as the run ends\n" +
           Seen(Run({std::string(LINTARO_SOURCE_DIR) + "/samples/mistakes.txt"}));
  std::filesystem::remove(db_path() + ".away");

  std::filesystem::remove(db_path());
  std::filesystem::create_directories(std::filesystem::path(db_path()) / "held");
  trace += "== results that cannot be deleted\n" + Seen(RunRecords(CleanSubmission()));
  ExpectFileHolds(std::string(LINTARO_SOURCE_DIR) + "/tests/run/check_run.trace", trace);
}

TEST_F(CheckRunTest, ARunIntoAKeptStoreStoresWhatTheFileGetsAndLeavesTheFileAlone) {
  const std::string submission = std::string(LINTARO_SOURCE_DIR) + "/samples/mistakes.txt";
  const RunSummary from_file = Run({submission});
  const RunOutput file_out = out;
  ASSERT_GT(file_out.errors.size(), 3u);
  ASSERT_FALSE(file_out.trct.empty());
  const std::string file_bytes = ReadWholeFile(db_path());
  const std::string file_seen = Seen(from_file);

  std::unique_ptr<ResultsDb> store = ResultsDb::CreateInMemory();
  options.results_store = store.get();
  // The second run finds the first one's rows and starts from empty tables.
  for (int run = 1; run <= 2; ++run) {
    const RunSummary s = Run({submission});
    EXPECT_EQ(LineDiff(StoredRows(file_out), StoredRows(out)), "") << "run " << run;
    EXPECT_EQ(LineDiff(file_seen, Seen(s)), "") << "run " << run;
  }
  EXPECT_EQ(ReadWholeFile(db_path()), file_bytes);
}

}  // namespace
}  // namespace lintaro
