#include "core/test_run.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "core/cp1252.h"

#include "run_test_base.h"

namespace lintaro {
namespace {

using testing::CleanRCA;
using testing::CleanRCE;
using testing::PaidRCF;
using testing::PaidRCT;
using testing::PaidRCW;
using testing::CleanSubmission;
using testing::JoinRecords;
using testing::MakeRecord;
using testing::RunTestBase;

constexpr const char* kSeq = "Sequence of Records [Position 1 - 3]";

class TestRunTest : public RunTestBase {};

TEST_F(TestRunTest, CleanSubmissionCompletesWithTheResultsBox) {
  RunSummary s = RunRecords(CleanSubmission(3));
  EXPECT_EQ(s.outcome, RunOutcome::kClean);
  EXPECT_EQ(s.records_tested, 7);
  EXPECT_EQ(s.errors, 0);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Results");
  EXPECT_EQ(prompts.messages[0].text, "Testing Completed.\r\nThere were no errors found.");
  EXPECT_EQ(prompts.messages[0].icon, Icon::kInformation);
  EXPECT_EQ(prompts.dialog_titles,
            std::vector<std::string>{"Please Enter File Name to be Tested"});
  EXPECT_EQ(prompts.dialog_filters[0],
            "All Files (*.*)|*.*|Ascii Text Files (*.txt; *.asc) |*.txt;*.asc|");
  EXPECT_EQ(view.events, (std::vector<std::string>{"FileOpened", "CompletionStarted",
                                                   "CompletedClean", "RunEnded"}));
  EXPECT_FALSE(state.Testing);
  // Every record is stored with its number, identifier and upper-cased text.
  auto stored = records();
  ASSERT_EQ(stored.size(), 7u);
  EXPECT_EQ(stored[1].rec_num, 2);
  EXPECT_EQ(stored[1].id, "RCE");
  EXPECT_EQ(stored[2].record, PaidRCW(0));
}

TEST_F(TestRunTest, CleanRunInsideTheFilingWindowOffersTheOnlineServices) {
  clock.date = {2008, 12, 1};
  prompts.answers = {Answer::kYes};
  RunRecords(CleanSubmission());
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].buttons, Buttons::kYesNo);
  EXPECT_EQ(prompts.messages[0].text,
            "Testing Completed.\r\nThere were no errors found.\r\n\r\nWould you like to connect "
            "to the Fileport Web site to submit the wage report?");
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), "OpenOnlineServices"),
            view.events.end());

  // One day outside the window: the plain box.
  clock.date = {2007, 12, 16};
  prompts.messages.clear();
  RunRecords(CleanSubmission());
  EXPECT_EQ(prompts.messages.at(0).buttons, Buttons::kOk);
}

TEST_F(TestRunTest, EmptyFilesHoldNoValidData) {
  for (const char* content : {"", "\r\n\r\n\n\n\r"}) {
    prompts.messages.clear();
    RunSummary s = Run({files.Write("empty.txt", content)});
    EXPECT_EQ(s.outcome, RunOutcome::kNoValidData);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Results");
    EXPECT_EQ(prompts.messages[0].text, "Warning: The file contains no valid data.");
    EXPECT_EQ(prompts.messages[0].icon, Icon::kExclamation);
  }
}

TEST_F(TestRunTest, FileLevelRulesStopAtTheFirstCriticalFinding) {
  struct Case {
    std::vector<std::string> records;
    std::string expected;
    int64_t rec_num;
  };
  const std::string rcw = PaidRCW();
  std::vector<Case> cases = {
      {{MakeRecord("RA1")},
       "Record Identifier [Position 1 - 3] | [RA1] | The first three characters in the tested "
       "file are RA1 . This appears to be an Ostrel formatted file. The Lintaro application "
       "should be used to test Korvel formatted files only.",
       1},
      {{MakeRecord("rca")}, std::string(kSeq) + " | [rca] | Record 1 must be RCA record.", 1},
      {{CleanRCA(), rcw}, std::string(kSeq) + " | [RCW] | Record 2 must be RCE record.", 2},
      {{CleanRCA(), CleanRCE(), rcw, PaidRCT(1), PaidRCF(1), PaidRCW()},
       std::string(kSeq) + " | [RCW] | RCF record must be last record in file.", 6},
      {{CleanRCA(), CleanRCE(), rcw.substr(0, 1000)},
       "Record Length | 1000 bytes. | Must be 1024 bytes for Korvel files. This condition may "
       "also be generated if the previous record is greater than 1024 bytes or if there is a "
       "Carriage Return/Line Feed within a record.",
       3},
      {{CleanRCA(), CleanRCE(), rcw, MakeRecord("RCX")},
       "Invalid Record Identifier [Position 1 - 3] | [RCX] | Enter appropriate code: RCW, RCO, "
       "RCS, RCT, RCU, RCV or RCF. This condition may also be caused by an incorrect record "
       "length.",
       4},
  };
  for (const Case& c : cases) {
    view.events.clear();
    RunSummary s = RunRecords(c.records);
    EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop) << c.expected;
    EXPECT_EQ(critical(), std::vector<std::string>{c.expected});
    ASSERT_TRUE(s.critical.has_value());
    EXPECT_EQ(s.critical->rec_num, c.rec_num);
    // The run stops at the record: nothing after it is stored.
    EXPECT_EQ(static_cast<int64_t>(records().size()), c.rec_num) << c.expected;
    EXPECT_EQ(records().back().errors, 1 + 0 * c.rec_num) << c.expected;
    EXPECT_NE(std::find(view.events.begin(), view.events.end(), "ShowResults"),
              view.events.end());
  }
}

TEST_F(TestRunTest, EndOfFileMarkAfterTheFinalRecordIsIgnored) {
  std::string bytes = JoinRecords(CleanSubmission()) + "\x1a";
  RunSummary s = Run({files.Write("s.txt", bytes)});
  EXPECT_EQ(s.outcome, RunOutcome::kClean);
  EXPECT_EQ(records().size(), 5u);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(prompts.messages.at(0).title, "Results");
}

TEST_F(TestRunTest, TextAfterAnEndOfFileMarkAfterTheFinalRecordIsARecordAfterIt) {
  std::string bytes = JoinRecords(CleanSubmission()) + std::string("\x1a") + "JUNK";
  RunRecords({});  // warm the folder
  RunSummary s = Run({files.Write("s.txt", bytes)});
  EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop);
  EXPECT_EQ(critical(),
            std::vector<std::string>{std::string(kSeq) + " | [\x1a" +
                                     "JU] | RCF record must be last record in file."});
}

TEST_F(TestRunTest, MissingFinalRecordAsksForTheNextFileAndContinuesNumbering) {
  auto all = CleanSubmission(2);
  std::string first = files.Write("part1.txt", JoinRecords({all[0], all[1], all[2]}));
  std::string second = files.Write("part2.txt", JoinRecords({all[3], all[4], all[5]}));
  RunSummary s = Run({first, second});
  EXPECT_EQ(s.outcome, RunOutcome::kClean);
  EXPECT_EQ(s.records_tested, 6);
  EXPECT_EQ(prompts.Titles(), (std::vector<std::string>{"Missing Final Record", "Results"}));
  EXPECT_EQ(prompts.messages[0].text,
            "RCF record was not found. Submission must end with a final record. If the wage "
            "report submission is saved on multiple disks or mutliple data files, click OK then "
            "choose the next file.");
  EXPECT_EQ(prompts.dialog_titles,
            (std::vector<std::string>{"Please Enter File Name to be Tested",
                                      "Please Enter Next File Name to be Tested"}));
  auto tested = testing::AllFiles(db_path());
  ASSERT_EQ(tested.size(), 2u);
  EXPECT_EQ(tested[0].path, first);
  EXPECT_EQ(tested[1].path, second);
  EXPECT_EQ(records()[3].rec_num, 4);
}

TEST_F(TestRunTest, CancellingTheNextFileRecordsTheMissingFinalRecordAgainstTheLastRecord) {
  // The first file ends with an end-of-file mark after an RCT.
  std::string bytes = JoinRecords({CleanRCA(), CleanRCE(), PaidRCW(), PaidRCT(1)}) + "\x1a\x1a";
  RunSummary s = Run({files.Write("s.txt", bytes)});
  EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop);
  EXPECT_EQ(critical(), std::vector<std::string>{
                            std::string(kSeq) +
                            " | [RCT] | Submission must not end with RCT record. RCF record was "
                            "not found. Submission must end with a final record."});
  auto stored = records();
  ASSERT_EQ(stored.size(), 4u);  // the filler row is gone
  EXPECT_EQ(errors().back().rec_num, 4);
  EXPECT_EQ(stored.back().errors, 1);
  // The run is over: a later Exit must not record "Test Aborted".
  EXPECT_FALSE(state.Testing);
  EXPECT_NE(std::find(view.events.begin(), view.events.end(), "ShowResults"), view.events.end());
}

TEST_F(TestRunTest, MissingFirstFileAsksForANewRun) {
  RunSummary s = Run({(files.path() / "no such file.txt").string()});
  EXPECT_EQ(s.outcome, RunOutcome::kRestart);
  EXPECT_EQ(prompts.Titles(), (std::vector<std::string>{"Submission File Not Found",
                                                        "Submission File Name Error"}));
  EXPECT_EQ(prompts.messages[0].text, (files.path() / "no such file.txt").string() +
                                          " was not found.");
  EXPECT_EQ(prompts.messages[1].text,
            "Please check to make sure that correct File Name was entered and /or correct Drive "
            "was chosen.");
  EXPECT_EQ(prompts.messages[1].icon, Icon::kCritical);
}

TEST_F(TestRunTest, AFolderInsteadOfAFileIsReportedAndNothingIsTested) {
  RunSummary s = Run({files.str()});
  EXPECT_EQ(s.outcome, RunOutcome::kFailed);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Submission File Error");
  EXPECT_EQ(prompts.messages[0].text.rfind("Error Number: 75\r\nError Description: ", 0), 0u);
  EXPECT_NE(prompts.messages[0].text.find("is a folder"), std::string::npos);
  EXPECT_FALSE(state.Testing);
}

TEST_F(TestRunTest, CancellingTheFirstDialogShowsNothing) {
  RunSummary s = Run({});
  EXPECT_EQ(s.outcome, RunOutcome::kCancelled);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(db_path()));
}

TEST_F(TestRunTest, AResultsDatabaseThatCannotBeDeletedEndsTheRunWithItsCause) {
  std::filesystem::create_directories(std::filesystem::path(db_path()) / "held");
  RunSummary s = RunRecords(CleanSubmission());
  EXPECT_EQ(s.outcome, RunOutcome::kFailed);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Submission File Error");
  EXPECT_NE(prompts.messages[0].text.find("cannot be deleted"), std::string::npos);
}

TEST_F(TestRunTest, ASecondRunReplacesTheFirst) {
  RunRecords({MakeRecord("RCW")});
  ASSERT_EQ(errors().size(), 1u);
  RunRecords(CleanSubmission());
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(records().front().rec_num, 1);
  EXPECT_EQ(testing::AllFiles(db_path()).front().data_id, 1);
}

TEST_F(TestRunTest, TheDatabaseIsOneOwnerOnlyFileAtRest) {
  // A journal left by a killed run must not be rolled into the new file.
  files.Write("junk", "x");
  std::filesystem::copy_file(files.path() / "junk", db_path() + "-journal");
  RunRecords(CleanSubmission());
  EXPECT_FALSE(std::filesystem::exists(db_path() + "-journal"));
  struct stat info {};
  ASSERT_EQ(stat(db_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(records().size(), 5u);
}

TEST_F(TestRunTest, LongAndNonAsciiPathsAreStoredWhole) {
  std::filesystem::path folder = files.path() / std::string(200, 'd') / "Gehälter 2007";
  std::filesystem::create_directories(folder);
  std::string name = (folder / "wage report.txt").string();
  ASSERT_GT(name.size(), 255u);
  {
    std::ofstream out(name, std::ios::binary);
    out << JoinRecords(CleanSubmission());
  }
  RunSummary s = Run({name});
  EXPECT_EQ(s.records_tested, 5);
  EXPECT_EQ(testing::AllFiles(db_path()).at(0).path, name);
}

TEST_F(TestRunTest, RecordBytesSurviveTheStore) {
  // Every byte but the line breaks in the blank tail of an RCF: stored
  // upper-cased and read back unchanged.
  std::string rcf = PaidRCF(1);
  for (int b = 0, pos = 200; b < 256; ++b)
    if (b != '\r' && b != '\n') rcf[pos++] = static_cast<char>(b);
  std::vector<std::string> all = CleanSubmission();
  all.back() = rcf;
  RunRecords(all);
  std::string expected = rcf;
  UpperCaseCp1252(expected, 0, expected.size());
  EXPECT_EQ(records().back().record, expected);
}

TEST_F(TestRunTest, RcaContactAddressKeepsItsCaseEverythingElseIsUpperCased) {
  std::string rca = CleanRCA();
  rca.replace(31, 6, "harbor");  // submitter name, upper-cased when stored
  std::vector<std::string> all = CleanSubmission();
  all[0] = rca;
  RunRecords(all);
  const std::string stored = records()[0].record;
  EXPECT_EQ(stored.substr(31, 6), "HARBOR");
  EXPECT_EQ(stored.substr(261, 22), "payroll@harbor.example");
}

class SequenceTest : public RunTestBase,
                     public ::testing::WithParamInterface<
                         std::pair<std::vector<std::string>, std::string>> {};

// Builds the records of an identifier sequence after RCA: each identifier
// becomes a record of that type.
std::vector<std::string> Sequence(const std::vector<std::string>& ids) {
  std::vector<std::string> records = {CleanRCA()};
  int employees = 0;
  for (const std::string& id : ids) {
    if (id == "RCE") records.push_back(CleanRCE());
    else if (id == "RCW") records.push_back(PaidRCW(employees++));
    else if (id == "RCT") records.push_back(PaidRCT(employees));
    else if (id == "RCF") records.push_back(PaidRCF(employees));
    else records.push_back(MakeRecord(id));
  }
  return records;
}

TEST_P(SequenceTest, RuleDecides) {
  const auto& [ids, expected] = GetParam();
  RunRecords(Sequence(ids));
  std::vector<std::string> seq;
  for (const ErrorRow& e : errors())
    if (e.reference == kSeq) seq.push_back(e.user_entry + " " + e.error);
  if (expected.empty())
    EXPECT_TRUE(seq.empty()) << (seq.empty() ? "" : seq[0]);
  else
    EXPECT_EQ(seq, std::vector<std::string>{expected});
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SequenceTest,
    ::testing::Values(
        std::make_pair(std::vector<std::string>{"RCE", "RCT"},
                       "[RCT] RCW record must follow RCE record."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCE"},
                       "[RCE] RCW or RCO or RCT or RCS record must follow RCW record."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCO", "RCO"},
                       "[RCO] RCW or RCS or RCT record must follow RCO record."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCS", "RCE"},
                       "[RCE] RCW or RCS or RCT record must follow RCS record."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCS", "RCT", "RCV", "RCW"},
                       "[RCW] RCE or RCF record must follow RCV record."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCO", "RCT", "RCE"},
                       "[RCE] RCU record must follow RCT record whenever RCO record is "
                       "generated."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCT", "RCW"},
                       "[RCW] RCE or RCF record must follow RCT record whenever RCO or RCS "
                       "record is not generated."),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCO", "RCT", "RCU", "RCW"},
                       "[RCW] RCE or RCF record must follow RCT or RCU record whenever RCS "
                       "record is not generated."),
        // Passing sequences.
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCT", "RCF"}, ""),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCS", "RCT", "RCE", "RCW", "RCT", "RCF"},
                       ""),
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "RCO", "RCT", "RCU", "RCE", "RCW",
                                                "RCT", "RCF"},
                       ""),
        // Identifiers are compared as found: a lower-case rcw breaks rule 2
        // after an RCW, passes rule 1 after an RCE, and as the previous
        // record matches no rule.
        std::make_pair(std::vector<std::string>{"RCE", "RCW", "rcw"},
                       "[rcw] RCW or RCO or RCT or RCS record must follow RCW record."),
        std::make_pair(std::vector<std::string>{"RCE", "rcw", "RCE", "RCW", "RCT", "RCF"},
                       "")));

TEST_F(TestRunTest, ASequenceErrorAtTheLimitGivesOneRowAndNoLimitRow) {
  RunSummary s = RunRecords(Sequence({"RCE", "RCT"}), 1);
  EXPECT_EQ(critical(),
            std::vector<std::string>{std::string(kSeq) +
                                     " | [RCT] | RCW record must follow RCE record."});
  EXPECT_EQ(s.errors, 1);
}

TEST_F(TestRunTest, ExitDuringARunRecordsTestAbortedAgainstTheLastStoredRecord) {
  class ExitAfter : public EventPump {
   public:
    ExitAfter(RunTestBase* f, int calls) : fixture_(f), calls_(calls) {}
    void ProcessEvents() override {
      if (--calls_ == 0) abort_();
    }
    std::function<void()> abort_;

   private:
    RunTestBase* fixture_;
    int calls_;
  };
  ExitAfter pump(this, 4);  // events are processed before each record
  TestRun* current = nullptr;
  pump.abort_ = [&] { current->RequestAbort(); };
  prompts.files = {files.Write("s.txt", JoinRecords(CleanSubmission(5)))};
  TestRunOptions options;
  options.program_folder = home.str();
  options.pump = &pump;
  TestRun run(state, prompts, clock, view, options);
  current = &run;
  RunSummary s = run.ReadFile();
  EXPECT_EQ(s.outcome, RunOutcome::kAborted);
  EXPECT_EQ(records().size(), 3u);
  EXPECT_EQ(findings(), std::vector<std::string>{
                            "Test Aborted | Exit was chosen | The last file did not complete "
                            "testing because the Exit Button was selected while processing."});
  EXPECT_EQ(errors()[0].type, "");
  EXPECT_EQ(errors()[0].rec_num, 3);
  EXPECT_EQ(records()[2].errors, 1);
}

TEST_F(TestRunTest, SmallBatchesGiveTheSameResults) {
  batch_records = 2;
  std::vector<std::string> all = CleanSubmission(6);
  all.insert(all.end() - 2, MakeRecord("RCX"));
  RunRecords(all);
  auto few = records();
  auto crit = critical();
  batch_records = 4096;
  RunRecords(all);
  EXPECT_EQ(records().size(), few.size());
  EXPECT_EQ(critical(), crit);
  EXPECT_EQ(crit.size(), 1u);
}

}  // namespace
}  // namespace lintaro

namespace lintaro {
namespace {

class ErrorLimitRunTest : public testing::RunTestBase {};

TEST_F(ErrorLimitRunTest, AllFindingsOfTheRecordReachingTheLimitAreStoredThenTheLimitRow) {
  // Three findings on the submitter record: software code, preparer code and
  // resubmission indicator.
  std::vector<std::string> all = testing::CleanSubmission();
  all[0] = testing::CleanRCA({{30, "00"}, {316, "X"}, {317, "2"}});
  RunSummary s = RunRecords(all, 1);
  auto stored = errors();
  ASSERT_EQ(stored.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(stored[i].type, "") << i;
  EXPECT_EQ(stored[3].type, "C");
  EXPECT_EQ(stored[3].reference, "1 or more Errors in submission");
  EXPECT_EQ(stored[3].user_entry, "1 Errors");
  EXPECT_EQ(stored[3].error.rfind("1 or more errors were encountered.", 0), 0u);
  EXPECT_EQ(records().size(), 1u);  // the run stops before record 2
  EXPECT_EQ(records()[0].errors, 4);
  EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop);

  // With room for them, the same findings do not stop the run.
  s = RunRecords(all, 4);
  EXPECT_EQ(errors().size(), 3u);
  EXPECT_EQ(s.records_tested, static_cast<int64_t>(all.size()));
  EXPECT_EQ(s.outcome, RunOutcome::kFindings);
}

}  // namespace
}  // namespace lintaro
