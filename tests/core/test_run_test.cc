#include "core/test_run.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "core/cp1252.h"
#include "run_test_base.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;

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
  EXPECT_EQ(prompts.dialog_titles, std::vector<std::string>{"Please Enter File Name to be Tested"});
  EXPECT_EQ(prompts.dialog_filters[0], "All Files (*.*)|*.*|Ascii Text Files (*.txt; *.asc) |*.txt;*.asc|");
  EXPECT_EQ(view.events, (std::vector<std::string>{"FileOpened", "CompletionStarted",
                                                   "CompletedClean", "RunEnded"}));
  EXPECT_FALSE(state.Testing);
  ASSERT_EQ(out.records.size(), 7u);
  EXPECT_EQ(out.records[1].rec_num, 2);
  EXPECT_EQ(out.records[1].id, "RCE");
  EXPECT_EQ(out.records[2].record, PaidRCW(0));

  // Inside the filing window the box offers the online services.
  clock.date = {2008, 12, 1};
  prompts = {};
  prompts.answers = {Answer::kYes};
  RunRecords(CleanSubmission());
  EXPECT_EQ(prompts.messages.at(0).buttons, Buttons::kYesNo);
  EXPECT_EQ(prompts.messages[0].text,
            "Testing Completed.\r\nThere were no errors found.\r\n\r\nWould you like to connect "
            "to the Fileport Web site to submit the wage report?");
  EXPECT_TRUE(Saw("OpenOnlineServices"));
  clock.date = {2007, 12, 16};  // one day outside
  prompts = {};
  RunRecords(CleanSubmission());
  EXPECT_EQ(prompts.messages.at(0).buttons, Buttons::kOk);
}

TEST_F(TestRunTest, EmptyFilesHoldNoValidData) {
  for (const char* content : {"", "\r\n\r\n\n\n\r"}) {
    prompts.messages.clear();
    EXPECT_EQ(Run({files.Write("empty.txt", content)}).outcome, RunOutcome::kNoValidData);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].title, "Results");
    EXPECT_EQ(prompts.messages[0].text, "Warning: The file contains no valid data.");
    EXPECT_EQ(prompts.messages[0].icon, Icon::kExclamation);
  }
}

TEST_F(TestRunTest, FileLevelRulesStopAtTheFirstCriticalFinding) {
  const std::string rcw = PaidRCW();
  const std::string eof = std::string(kSeq) + " | [RCT] | Submission must not end with RCT "
                          "record. RCF record was not found. Submission must end with a final record.";
  struct Case {
    std::string bytes;
    std::string expected;
    int64_t rec_num;
  };
  const std::vector<Case> cases = {
      {JoinRecords({MakeRecord("RA1")}),
       "Record Identifier [Position 1 - 3] | [RA1] | The first three characters in the tested "
       "file are RA1 . This appears to be an Ostrel formatted file. The Lintaro application "
       "should be used to test Korvel formatted files only.", 1},
      {JoinRecords({MakeRecord("rca")}), std::string(kSeq) + " | [rca] | Record 1 must be RCA record.", 1},
      {JoinRecords({CleanRCA(), rcw}), std::string(kSeq) + " | [RCW] | Record 2 must be RCE record.", 2},
      {JoinRecords({CleanRCA(), CleanRCE(), rcw, PaidRCT(1), PaidRCF(1), PaidRCW()}),
       std::string(kSeq) + " | [RCW] | RCF record must be last record in file.", 6},
      {JoinRecords({CleanRCA(), CleanRCE(), rcw.substr(0, 1000)}),
       "Record Length | 1000 bytes. | Must be 1024 bytes for Korvel files. This condition may "
       "also be generated if the previous record is greater than 1024 bytes or if there is a "
       "Carriage Return/Line Feed within a record.", 3},
      {JoinRecords({CleanRCA(), CleanRCE(), rcw, MakeRecord("RCX")}),
       "Invalid Record Identifier [Position 1 - 3] | [RCX] | Enter appropriate code: RCW, RCO, "
       "RCS, RCT, RCU, RCV or RCF. This condition may also be caused by an incorrect record "
       "length.", 4},
      // Text after an end-of-file mark after the final record is a record after it.
      {JoinRecords(CleanSubmission()) + "\x1a" + "JUNK",
       std::string(kSeq) + " | [\x1a" + "JU] | RCF record must be last record in file.", 6},
      // Missing Final Record with the next file cancelled: recorded against
      // the last record; the end-of-file filler row is gone.
      {JoinRecords({CleanRCA(), CleanRCE(), rcw, PaidRCT(1)}) + "\x1a\x1a", eof, 4},
  };
  for (const Case& c : cases) {
    view.events.clear();
    RunSummary s = Run({files.Write("s.txt", c.bytes)});
    EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop) << c.expected;
    EXPECT_EQ(findings(), std::vector<std::string>{c.expected});
    ASSERT_TRUE(s.critical.has_value());
    EXPECT_EQ(s.critical->rec_num, c.rec_num);
    // The run stops at the record: nothing after it is stored.
    ASSERT_EQ(static_cast<int64_t>(out.records.size()), c.rec_num) << c.expected;
    EXPECT_EQ(out.records.back().errors, 1) << c.expected;
    EXPECT_TRUE(Saw("ShowResults"));
    EXPECT_FALSE(state.Testing);  // over: a later Exit must not record "Test Aborted"
  }
  // An end-of-file mark alone after the final record is ignored.
  EXPECT_EQ(Run({files.Write("s.txt", JoinRecords(CleanSubmission()) + "\x1a")}).outcome, RunOutcome::kClean);
  EXPECT_EQ(out.records.size(), 5u);
  EXPECT_TRUE(out.errors.empty());
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
  EXPECT_EQ(prompts.dialog_titles, (std::vector<std::string>{"Please Enter File Name to be Tested",
                                                             "Please Enter Next File Name to be Tested"}));
  ASSERT_EQ(out.files.size(), 2u);
  EXPECT_EQ(out.files[0].path, first);
  EXPECT_EQ(out.files[1].path, second);
  EXPECT_EQ(out.records[3].rec_num, 4);
}

TEST_F(TestRunTest, FilesThatCannotBeTestedAreReported) {
  EXPECT_EQ(Run({}).outcome, RunOutcome::kCancelled);  // the first dialog cancelled
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(db_path()));

  const std::string missing = (files.path() / "no such file.txt").string();
  EXPECT_EQ(Run({missing}).outcome, RunOutcome::kRestart);
  EXPECT_EQ(prompts.Titles(), (std::vector<std::string>{"Submission File Not Found", "Submission File Name Error"}));
  EXPECT_EQ(prompts.messages[0].text, missing + " was not found.");
  EXPECT_EQ(prompts.messages[1].text,
            "Please check to make sure that correct File Name was entered and /or correct Drive "
            "was chosen.");
  EXPECT_EQ(prompts.messages[1].icon, Icon::kCritical);

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

TEST_F(TestRunTest, ASecondRunReplacesTheFirstAndTheDatabaseIsOwnerOnly) {
  RunRecords({MakeRecord("RCW")});
  ASSERT_EQ(out.errors.size(), 1u);
  // A journal left by a killed run must not be rolled into the new file.
  std::filesystem::copy_file(files.Write("junk", "x"), db_path() + "-journal");
  RunRecords(CleanSubmission());
  EXPECT_TRUE(out.errors.empty());
  EXPECT_EQ(out.records.size(), 5u);
  EXPECT_EQ(out.files.front().data_id, 1);
  EXPECT_FALSE(std::filesystem::exists(db_path() + "-journal"));
  struct stat info {};
  ASSERT_EQ(stat(db_path().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(TestRunTest, PathsAndRecordBytesAreStoredWhole) {
  std::filesystem::path folder = files.path() / std::string(200, 'd') / "Gehälter 2007";
  std::filesystem::create_directories(folder);
  const std::string name = (folder / "wage report.txt").string();
  ASSERT_GT(name.size(), 255u);
  // Every byte but the line breaks in the blank tail of an RCF: stored
  // upper-cased; the RCA contact address keeps its case.
  std::vector<std::string> all = CleanSubmission();
  for (int b = 0, pos = 200; b < 256; ++b)
    if (b != '\r' && b != '\n') all.back()[pos++] = static_cast<char>(b);
  all[0].replace(31, 6, "harbor");
  std::ofstream(name, std::ios::binary) << JoinRecords(all);
  EXPECT_EQ(Run({name}).records_tested, 5);
  EXPECT_EQ(out.files.at(0).path, name);
  std::string expected = all.back();
  UpperCaseCp1252(expected, 0, expected.size());
  EXPECT_EQ(out.records.back().record, expected);
  EXPECT_EQ(out.records[0].record.substr(31, 6), "HARBOR");
  EXPECT_EQ(out.records[0].record.substr(261, 22), "payroll@harbor.example");
}

// The records of an identifier sequence after RCA.
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

TEST_F(TestRunTest, SequenceRules) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"RCE", "RCT"}, "[RCT] RCW record must follow RCE record."},
      {{"RCE", "RCW", "RCE"}, "[RCE] RCW or RCO or RCT or RCS record must follow RCW record."},
      {{"RCE", "RCW", "RCO", "RCO"}, "[RCO] RCW or RCS or RCT record must follow RCO record."},
      {{"RCE", "RCW", "RCS", "RCE"}, "[RCE] RCW or RCS or RCT record must follow RCS record."},
      {{"RCE", "RCW", "RCS", "RCT", "RCV", "RCW"}, "[RCW] RCE or RCF record must follow RCV record."},
      {{"RCE", "RCW", "RCO", "RCT", "RCE"},
       "[RCE] RCU record must follow RCT record whenever RCO record is generated."},
      {{"RCE", "RCW", "RCT", "RCW"},
       "[RCW] RCE or RCF record must follow RCT record whenever RCO or RCS record is not generated."},
      {{"RCE", "RCW", "RCO", "RCT", "RCU", "RCW"},
       "[RCW] RCE or RCF record must follow RCT or RCU record whenever RCS record is not generated."},
      {{"RCE", "RCW", "RCT", "RCF"}, ""},
      {{"RCE", "RCW", "RCS", "RCT", "RCE", "RCW", "RCT", "RCF"}, ""},
      {{"RCE", "RCW", "RCO", "RCT", "RCU", "RCE", "RCW", "RCT", "RCF"}, ""},
      // Identifiers are compared as found: a lower-case rcw breaks rule 2
      // after an RCW, passes rule 1 after an RCE, and as the previous record
      // matches no rule.
      {{"RCE", "RCW", "rcw"}, "[rcw] RCW or RCO or RCT or RCS record must follow RCW record."},
      {{"RCE", "rcw", "RCE", "RCW", "RCT", "RCF"}, ""},
  };
  for (const auto& [ids, expected] : cases) {
    RunRecords(Sequence(ids));
    std::vector<std::string> seq;
    for (const ErrorRow& e : out.errors)
      if (e.reference == kSeq) seq.push_back(e.user_entry + " " + e.error);
    EXPECT_EQ(seq, expected.empty() ? std::vector<std::string>{} : std::vector<std::string>{expected})
        << ids.size();
  }
}

TEST_F(TestRunTest, ErrorLimit) {
  // A sequence error at the limit gives one row and no limit row.
  RunSummary s = RunRecords(Sequence({"RCE", "RCT"}), 1);
  EXPECT_EQ(findings(), std::vector<std::string>{std::string(kSeq) + " | [RCT] | RCW record must follow RCE record."});
  EXPECT_EQ(s.errors, 1);
  // Every finding of the record reaching the limit is stored, then the
  // limit row, and the run stops before the next record.
  std::vector<std::string> all = CleanSubmission();
  all[0] = CleanRCA({{30, "00"}, {316, "X"}, {317, "2"}});
  s = RunRecords(all, 1);
  ASSERT_EQ(out.errors.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(out.errors[i].type, "") << i;
  EXPECT_EQ(findings(true), std::vector<std::string>{"1 or more Errors in submission | 1 Errors | " +
                                                     ErrorLimitMessage(1)});
  EXPECT_EQ(out.records.size(), 1u);
  EXPECT_EQ(out.records[0].errors, 4);
  EXPECT_EQ(s.outcome, RunOutcome::kCriticalStop);
  s = RunRecords(all, 4);  // with room for them, no stop
  EXPECT_EQ(out.errors.size(), 3u);
  EXPECT_EQ(s.records_tested, static_cast<int64_t>(all.size()));
  EXPECT_EQ(s.outcome, RunOutcome::kFindings);
}

TEST_F(TestRunTest, ExitDuringARunRecordsTestAbortedAgainstTheLastStoredRecord) {
  struct ExitAfter : EventPump {
    explicit ExitAfter(TestRun** run) : run(run) {}
    void ProcessEvents() override {
      if (--calls == 0) (*run)->RequestAbort();
    }
    TestRun** run;
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

TEST_F(TestRunTest, SmallBatchesGiveTheSameResults) {
  std::vector<std::string> all = CleanSubmission(6);
  all.insert(all.end() - 2, MakeRecord("RCX"));
  batch_records = 2;
  RunRecords(all);
  const auto few = out.records.size();
  const auto crit = findings(true);
  batch_records = 4096;
  RunRecords(all);
  EXPECT_EQ(out.records.size(), few);
  EXPECT_EQ(findings(true), crit);
  EXPECT_EQ(crit.size(), 1u);
}

}  // namespace
}  // namespace lintaro
