#include "run/check_run.h"

#include <filesystem>

#include "run_test_base.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

class CheckRunTest : public RunTestBase {};

// The findings, stored records and message boxes of runs are the golden
// cases' (tests/golden), what a run leaves in its program folder is in
// tests/cli/sessions/results.session; these are the dialogs and the
// window's events.
TEST_F(CheckRunTest, DialogsAndWindowEventsOfARunOverTwoFiles) {
  auto all = CleanSubmission(2);
  std::string first = files.Write("part1.txt", JoinRecords({all[0], all[1], all[2]}));
  std::string second = files.Write("part2.txt", JoinRecords({all[3], all[4], all[5]}));
  RunSummary s = Run({first, second});
  EXPECT_EQ(s.outcome, RunOutcome::kClean);
  EXPECT_EQ(s.records_tested, 6);
  EXPECT_EQ(prompts.dialog_titles,
            (std::vector<std::string>{"Please Enter File Name to be Tested",
                                      "Please Enter Next File Name to be Tested"}));
  EXPECT_EQ(prompts.dialog_filters[0],
            "All Files (*.*)|*.*|Ascii Text Files (*.txt; *.asc) |*.txt;*.asc|");
  EXPECT_EQ(view.events, (std::vector<std::string>{"FileOpened", "FileOpened", "CompletionStarted",
                                                   "CompletedClean", "RunEnded"}));
  EXPECT_FALSE(state.Testing);

  // Inside the filing window a Yes opens the online services.
  clock.date = {2008, 12, 1};
  prompts = {};
  prompts.answers = {Answer::kYes};
  RunRecords(CleanSubmission());
  EXPECT_TRUE(Saw("OpenOnlineServices"));

  // A critical finding ends the run through the results.
  view.events.clear();
  s = RunRecords({CleanRCA(), PaidRCW()});
  EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop);
  ASSERT_TRUE(s.critical.has_value());
  EXPECT_EQ(s.critical->rec_num, 2);
  EXPECT_TRUE(Saw("ShowResults"));
  EXPECT_FALSE(state.Testing);  // over: a later Exit must not record "Test Aborted"
}

TEST_F(CheckRunTest, FilesThatCannotBeTestedAreReported) {
  EXPECT_EQ(Run({}).outcome,
            RunOutcome::kCancelled);  // the first dialog cancelled
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(db_path()));

  prompts = {};
  EXPECT_EQ(Run({files.str()}).outcome, RunOutcome::kFailed);  // a folder
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Submission File Error");
  EXPECT_TRUE(prompts.messages[0].text.starts_with("Error Number: 75\r\nError Description: "));
  EXPECT_NE(prompts.messages[0].text.find("is a folder"), std::string::npos);
  EXPECT_FALSE(state.Testing);

  prompts = {};  // a results database that cannot be deleted
  std::filesystem::remove(db_path());
  std::filesystem::create_directories(std::filesystem::path(db_path()) / "held");
  EXPECT_EQ(RunRecords(CleanSubmission()).outcome, RunOutcome::kFailed);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("cannot be deleted"), std::string::npos);
}

TEST_F(CheckRunTest, ExitDuringARunRecordsTestAbortedAgainstTheLastStoredRecord) {
  struct ExitAfter : EventPump {
    explicit ExitAfter(CheckRun **run) : run(run) {}
    void ProcessEvents() override {
      if (--calls == 0) (*run)->RequestAbort();
    }
    CheckRun **run;
    int calls = 4;  // events are processed before each record
  } pump(&current);
  RunSummary s = Run({files.Write("s.txt", JoinRecords(CleanSubmission(5)))}, 500, &pump);
  EXPECT_EQ(s.outcome, RunOutcome::kAborted);
  EXPECT_EQ(out.records.size(), 3u);
  EXPECT_EQ(findings(), std::vector<std::string>{
                            "Test Aborted | Exit was chosen | The last file did not complete "
                            "testing because the Exit Button was selected while processing."});
  EXPECT_EQ(out.errors[0].type, "");
  EXPECT_EQ(out.errors[0].rec_num, 3);
  EXPECT_EQ(out.records[2].errors, 1);
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
