#include "run/check_run.h"

#include <sqlite3.h>

#include <filesystem>

#include "core/folder_lock.h"
#include "run_test_base.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class CheckRunTest : public RunTestBase {};

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
    explicit ExitAfter(CheckRun** run) : run(run) {}
    void ProcessEvents() override {
      if (--calls == 0) (*run)->RequestAbort();
    }
    CheckRun** run;
    int calls = 4;  // events are processed before each record
  } pump(&current);
  const RunSummary aborted =
      Run({files.Write("s.txt", JoinRecords(CleanSubmission(5)))}, 500, &pump);
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

  // A results store that fills up after a few batches of 8 records.
  auto full = ResultsDb::CreateInMemory();
  sqlite3_exec(full->handle(), "PRAGMA max_page_count = 30", nullptr, nullptr, nullptr);
  results_store = full.get();
  batch_records = 8;
  const RunSummary failed = RunRecords(CleanSubmission(300));
  EXPECT_EQ(failed.records_tested % 8, 0);  // whole batches only
  trace += "== a full results store\n" + Seen(failed);
  results_store = nullptr;

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

  std::unique_ptr<ResultsDb> store = ResultsDb::CreateInMemory();
  results_store = store.get();
  // The second run finds the first one's rows and starts from empty tables.
  for (int run = 1; run <= 2; ++run) {
    const RunSummary s = Run({submission});
    EXPECT_EQ(LineDiff(StoredRows(file_out), StoredRows(out)), "") << "run " << run;
    EXPECT_EQ(s.outcome, from_file.outcome);
    EXPECT_EQ(s.records_tested, from_file.records_tested);
    EXPECT_EQ(s.records_with_errors, from_file.records_with_errors);
    EXPECT_EQ(s.errors, from_file.errors);
    EXPECT_EQ(s.critical.has_value(), from_file.critical.has_value());
  }
  EXPECT_EQ(ReadWholeFile(db_path()), file_bytes);
}

}  // namespace
}  // namespace lintaro
