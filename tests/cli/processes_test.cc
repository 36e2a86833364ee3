// lintaro-cli as batch jobs, scripts and other users meet it: a running
// check holding its folder, signals and kills, and files and folders that
// only another user cannot read or write. What it prints otherwise is in
// tests/cli/sessions (one run per program folder in results.session, where
// the results go in check.session, the rest of bad input in
// bad-input.session, the progress line on a terminal in terminal.session).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <thread>

#include "browse/grid_results.h"
#include "browse/result_grids.h"
#include "os/folder_lock.h"
#include "run/run_ending.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using namespace lintaro::testing;
namespace fs = std::filesystem;

// A command prefix (for RunCli) that runs the rest of it, `then` first, as
// the unprivileged user when the tests run as root, who may write anything.
std::vector<std::string> AsUnprivilegedUser(std::vector<std::string> then = {}) {
  if (geteuid() == 0)
    then.insert(then.begin(),
                {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
  return then;
}

// Waits up to ten seconds until the file at path has grown past bytes (a
// check started in the background has then stored that much).
bool WaitForFileSize(const std::string& path, std::uintmax_t bytes) {
  std::error_code ec;
  for (int i = 0; i < 2000 && !(fs::file_size(path, ec) > bytes && !ec); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return fs::file_size(path, ec) > bytes && !ec;
}

class CliProcessTest : public ::testing::Test {
 protected:
  CliProcessTest() {
    // The unprivileged user (AsUnprivilegedUser) must reach the files and
    // owns the program folder, which others may not write in.
    fs::permissions(files.path(), fs::perms::all);
    fs::permissions(home.path(), fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    if (geteuid() == 0) {
      EXPECT_EQ(chown(home.str().c_str(), 65534, 65534), 0);
    }
  }
  // lintaro-cli check, in the program folder, of a new file of the records
  // that anyone may read.
  std::vector<std::string> Check(const std::string& name, const std::vector<std::string>& records) {
    const std::string file = files.Write(name, JoinRecords(records));
    chmod(file.c_str(), 0644);
    return {"check", "--home", home.str(), file};
  }
  std::string db() const { return home.str() + "/" + kResultsFileName; }
  // report and show, as the unprivileged user, refuse the results: why.
  void ExpectReadersRefuse(const std::string& why) {
    for (const std::vector<std::string>& reader :
         {std::vector<std::string>{"report", "--home", home.str()},
          {"show", "--home", home.str(), "1"}}) {
      const CliResult r = RunCli(reader, AsUnprivilegedUser());
      EXPECT_EQ(r.status, 2) << r.out;
      EXPECT_EQ(r.err, "lintaro-cli: " + db() + ": cannot read the test results: " + why + "\n");
    }
  }
  TempDir home, files;
};

TEST_F(CliProcessTest, SignalsAbortChecksAndBatchesKeepTheResultsAndSetTheStatus) {
  // The signal's status also when a file named after the interrupted one
  // was not read.
  const std::vector<std::string> small = Check("small.txt", CleanSubmission(1));
  std::vector<std::string> check = Check("big.txt", CleanSubmission(60000));
  check.push_back(small.back());
  for (const auto& [signal, status] :
       {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    fs::remove(db());
    RunningCli running = StartCli(check);
    ASSERT_TRUE(WaitForFileSize(db(), 1 << 20));
    // The running check holds its program folder against a second one.
    EXPECT_EQ(RunCli(small).status, 2);
    kill(running.pid, signal);
    CliResult r = FinishCli(running);
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_NE(r.err.find(small.back() + " was not read: testing was interrupted in "),
              std::string::npos)
        << r.err;
    std::smatch at;
    ASSERT_TRUE(
        std::regex_search(r.err, at, std::regex("lintaro-cli: interrupted at record (\\d+)")))
        << r.err;
    const std::string record = at[1];
    // Every record read is stored, the last with the signal's abort finding
    // (its message is in tests/run/check_run.trace).
    auto stored = ResultsDb::Open(db(), true);
    EXPECT_EQ(stored->CountRecords(), std::stoll(record));
    const ErrorRow last = stored->ReadLastError().value_or(ErrorRow{});
    EXPECT_EQ(std::to_string(last.rec_num) + " " + last.reference + " | " + last.user_entry,
              record + " Test Aborted | Stopped by a signal");
    EXPECT_NE(r.out.find("Records tested: " + record + "\n"), std::string::npos);
  }
  // A batch check of both files: the signal stops the running check and the
  // rest are named.
  const std::string results = home.str() + "/results";
  RunningCli running = StartCli({"batch", "-j", "1", "--results", results, files.str()});
  const fs::path big_db = fs::path(results) / "big.txt" / kResultsFileName;
  ASSERT_TRUE(WaitForFileSize(big_db.string(), 1u << 20));
  kill(running.pid, SIGTERM);
  CliResult r = FinishCli(running);
  EXPECT_EQ(r.status, 143) << r.out;
  EXPECT_TRUE(std::regex_match(
      r.out, std::regex("big\\.txt: [^\n]*, aborted\n"
                        "small\\.txt: not started\n"
                        "2 submission\\(s\\): 0 clean, 0 with findings, 0 not tested, "
                        "1 interrupted, 1 not started[^\n]*\n")))
      << r.out;
  // The summary file says the same, and the submission never started has
  // no results.
  const std::string summary = ReadWholeFile(results + "/batch.json");
  EXPECT_NE(summary.find("\"submission\": \"small.txt\", \"file\": \"" + small.back() +
                         "\", \"results\": null, \"outcome\": \"not_started\""),
            std::string::npos)
      << summary;
  EXPECT_FALSE(fs::exists(fs::path(results) / "small.txt"));
  EXPECT_EQ(ResultsDb::Open(big_db.string(), true)->ReadLastError()->reference, "Test Aborted");
}

#ifdef LINTARO_GEN_PATH
// The database's integrity, then its records, the highest record number,
// the findings that name no stored record and the records whose Errors is
// not their number of findings: "ok\nN|N|0|0\n" when nothing is half-written.
const char* kConsistency =
    "PRAGMA integrity_check; SELECT COUNT(*), COALESCE(MAX(Rec_Num), 0), "
    "(SELECT COUNT(*) FROM ERRORS WHERE Rec_Num NOT IN (SELECT Rec_Num FROM RECORDS)), "
    "(SELECT COUNT(*) FROM RECORDS r WHERE r.Errors <> "
    "(SELECT COUNT(*) FROM ERRORS e WHERE e.Rec_Num = r.Rec_Num)) FROM RECORDS;";

// What the readers of a program folder say of the results in it, in a line:
// the text report's first line and status, the JSON report's outcome and
// records tested, show's status, and the first line of what the desktop's
// View Last Test Results and grid view show of the run's ending (empty when
// nothing): "FIRST LINE [3] | incomplete 4096 | show [3] | NOTICE | NOTICE".
std::string AskTheReaders(const std::string& home) {
  const CliResult text = RunCli({"report", "--home", home});
  const std::string json = RunCli({"report", "--home", home, "--format", "json"}).out;
  std::smatch outcome, records;
  std::regex_search(json, outcome, std::regex("\"outcome\": \"([a-z_]+)\""));
  std::regex_search(json, records, std::regex("\"records_tested\": (\\d+)"));
  const std::unique_ptr<GridResults> grid = GridResults::Open(home + "/" + kResultsFileName);
  const std::string grid_notice = grid ? grid->CritErrorText() : "";
  return text.out.substr(0, text.out.find('\r')) + " [" + std::to_string(text.status) + "] | " +
         outcome.str(1) + " " + records.str(1) + " | show [" +
         std::to_string(RunCli({"show", "--home", home, "1"}).status) + "] | " +
         InspectLastResults(home).notice + " | " + grid_notice.substr(0, grid_notice.find('\r'));
}

// Checks of a clean submission are killed (SIGKILL at three points of the
// file, SIGHUP, SIGINT twice so that the second comes in the clean-up of the
// first) or run out of disk (a file size limit): the results file opens,
// passes its integrity check and holds whole committed batches, and no
// reader ever calls the half-checked submission clean. Each says it did not
// finish and how far it got, and report and show exit 3.
TEST_F(CliProcessTest, ACheckKilledOrOutOfDiskNeverReadsAsFinished) {
  const std::string file = files.str() + "/big.txt";
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --records 120000 " + file).status, 0);
  const std::vector<std::string> check = {"check", "--home", home.str(), file};
  struct Fault {
    const char* name;
    std::vector<int> signals;
    std::uintmax_t after_bytes;
    std::vector<int> statuses;  // -1: killed by the signal
    std::vector<std::string> outcomes;
  };
  const std::vector<Fault> faults = {
      {"SIGKILL after a batch", {SIGKILL}, 5u << 20, {-1}, {"incomplete"}},
      {"SIGKILL after three batches", {SIGKILL}, 14u << 20, {-1}, {"incomplete"}},
      {"SIGKILL after six batches", {SIGKILL}, 28u << 20, {-1}, {"incomplete"}},
      {"SIGHUP", {SIGHUP}, 5u << 20, {129}, {"aborted"}},
      // The second ends the program at once, in the first one's clean-up or
      // after it.
      {"SIGINT twice", {SIGINT, SIGINT}, 5u << 20, {-1, 130}, {"incomplete", "aborted"}}};
  int faults_with_records = 0;
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    fs::remove(db());  // the size below must be the new run's
    RunningCli running = StartCli(check);
    WaitForFileSize(db(), fault.after_bytes);
    for (int signal : fault.signals) kill(running.pid, signal);
    const CliResult checked = FinishCli(running);
    EXPECT_THAT(fault.statuses, ::testing::Contains(checked.status)) << checked.err;
    if (!fs::exists(db())) continue;
    const std::string found = RunShell("sqlite3 '" + db() + "' '" + kConsistency + "'").out;
    const std::string records = found.substr(3, found.find('|') - 3);
    EXPECT_EQ(found, "ok\n" + records + "|" + records + "|0|0\n");
    if (records == "0") continue;
    ++faults_with_records;
    const std::string notice = UnfinishedRunNotice(std::stoll(records));
    std::vector<std::string> said;  // with each outcome the fault may give
    for (const std::string& outcome : fault.outcomes)
      said.push_back(notice + " [3] | " + outcome + " " + records + " | show [3] | " + notice +
                     " | " + notice);
    EXPECT_THAT(AskTheReaders(home.str()), ::testing::AnyOfArray(said));
  }
  EXPECT_GT(faults_with_records, 2) << "too few faults came after the first batch";

  // A disk that fills up: the file may not grow past a limit (its signal
  // ignored, so that a write past it fails as on a full disk).
  const CliResult full =
      RunShell("ulimit -f 20000; trap '' XFSZ; exec '" LINTARO_CLI_PATH "' check --home '" +
               home.str() + "' '" + file + "'");
  EXPECT_EQ(full.status, 2) << full.err;
  EXPECT_NE(full.out.find("Testing did not finish"), std::string::npos) << full.out;
  EXPECT_THAT(AskTheReaders(home.str()),
              ::testing::MatchesRegex("Testing did not finish: .* \\[3\\] \\| incomplete [0-9]+ "
                                      "\\| show \\[3\\] \\| Testing did not finish: .*"));

  // The next check replaces the file cleanly and reads as finished.
  EXPECT_EQ(RunCli(check).status, 0);
  EXPECT_THAT(AskTheReaders(home.str()),
              ::testing::MatchesRegex(".* \\[0\\] \\| clean [0-9]+ \\| show \\[0\\] \\|  \\| "));
  EXPECT_FALSE(fs::exists(db() + "-journal"));

  // A batch into a results folder that holds the reports of an earlier check
  // (whole, or part-written by a killed batch) and an earlier batch's summary
  // removes them before the new results are written: a batch killed part-way
  // leaves no report, nor a summary calling the submission clean, beside
  // results that are not theirs.
  const fs::path folder = home.path() / "results" / "big.txt";
  fs::create_directories(folder);
  std::ofstream(folder / kFolderLockFileName).flush();
  for (const char* name : {"report.txt", "report.json", ".report.txt.Ab12Cd"}) {
    std::ofstream(folder / name) << "the report of an earlier check\n";
  }
  std::ofstream(home.path() / "results" / "batch.json")
      << "{\"options\": {}, \"submissions\": [{\"submission\": \"big.txt\", "
         "\"outcome\": \"clean\"}]}\n";
  RunningCli batch = StartCli({"batch", "--results", (home.path() / "results").string(), file});
  ASSERT_TRUE(WaitForFileSize((folder / kResultsFileName).string(), 1 << 20));
  kill(batch.pid, SIGKILL);
  FinishCli(batch);
  EXPECT_FALSE(fs::exists(folder / "report.txt"));
  EXPECT_FALSE(fs::exists(folder / "report.json"));
  EXPECT_FALSE(fs::exists(folder / ".report.txt.Ab12Cd"));  // one a killed batch left
  EXPECT_FALSE(fs::exists(home.path() / "results" / "batch.json"));
}

// The journal of a check killed in the middle of a batch must be rolled
// back before its results are read; where the user may not write the
// results or their folder, every reader says so in words of its own.
TEST_F(CliProcessTest, ResultsWhoseJournalCannotBeRolledBackAreRefusedInPlainWords) {
  const std::string file = files.str() + "/big.txt";
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --records 120000 " + file).status, 0);
  // The kill must come while a batch is being written: tried until one does.
  for (int tries = 0; tries < 20 && !fs::exists(db() + "-journal"); ++tries) {
    fs::remove(db());
    RunningCli running = StartCli({"check", "--home", home.str(), file});
    WaitForFileSize(db(), std::uintmax_t{5} << 20);
    kill(running.pid, SIGKILL);
    FinishCli(running);
  }
  ASSERT_TRUE(fs::exists(db() + "-journal")) << "no kill came while a batch was written";
  chmod(home.str().c_str(), 0555);
  for (const char* path : {"", "-journal"}) chmod((db() + path).c_str(), 0444);
  ExpectReadersRefuse(
      "The check that wrote the results was interrupted, and its journal cannot be rolled back "
      "while the results file or its folder is read-only");
  chmod(home.str().c_str(), 0755);
}

// Results are their writer's alone: another user of a shared program folder
// is told why they cannot be read, in the system's words, not SQLite's.
TEST_F(CliProcessTest, ResultsTheUserMayNotReadAreRefusedInTheSystemsWords) {
  ASSERT_EQ(RunCli(Check("clean.txt", CleanSubmission(1))).status, 0);
  chmod(db().c_str(), 0);
  ExpectReadersRefuse("Cannot open the results database: Permission denied");
}

// Two members of a group share a program folder (2770): the error limit
// that one of them set holds for the other's checks, and a setting the
// other may not read is left as it is, never replaced by the default.
TEST_F(CliProcessTest, MembersOfAGroupSharingAProgramFolderKeepEachOthersErrorLimit) {
  if (geteuid() != 0) GTEST_SKIP() << "needs a second user";
  chmod(home.str().c_str(), 02770);
  const std::string file = files.str() + "/mistakes.txt";
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --mistakes --records 20 " + file).status, 0);
  chmod(file.c_str(), 0644);
  const std::vector<std::string> check = {"check", "--home", home.str(), file};
  const std::vector<std::string> other_member = {"setpriv", "--reuid=65533", "--regid=65534",
                                                 "--clear-groups", "--"};
  const std::string ini = home.str() + "/ErrSetLog.ini";
  ASSERT_EQ(RunCli(check, AsUnprivilegedUser()).status, 1);
  // The first member sets a limit of 1 in the file the check wrote.
  std::ofstream(ini, std::ios::trunc) << "[Maximum Error Count]:1\r\n";
  CliResult r = RunCli(check, other_member);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("\n1 or more errors were encountered."), std::string::npos) << r.out;
  EXPECT_EQ(ReadWholeFile(ini), "[Maximum Error Count]:1\r\n");
  // A setting left for its owner alone (by hand, or by an older version).
  chmod(ini.c_str(), 0600);
  r = RunCli(check, other_member);
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(ReadWholeFile(ini), "[Maximum Error Count]:1\r\n");
  struct stat info {};
  ASSERT_EQ(stat(ini.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 65534u);
}

// A folder a group shares without the set-group-ID bit (0770): the files a
// member leaves for the group are the folder's group's, not the member's
// own, so that the lock never shuts out a member of another own group.
TEST_F(CliProcessTest, MembersOfOtherOwnGroupsShareAProgramFolderWithoutTheSetGroupBit) {
  if (geteuid() != 0) GTEST_SKIP() << "needs a second user";
  ASSERT_EQ(chown(home.str().c_str(), 0, 1234), 0);
  chmod(home.str().c_str(), 0770);
  const std::vector<std::string> check = Check("clean.txt", CleanSubmission(1));
  for (const char* member : {"65534", "65533"}) {
    const CliResult r = RunCli(check, {"setpriv", std::string("--reuid=") + member,
                                       std::string("--regid=") + member, "--groups=1234", "--"});
    EXPECT_EQ(r.status, 0) << member << ": " << r.err;
  }
  for (const char* name : {kFolderLockFileName, "ErrSetLog.ini"}) {
    struct stat info {};
    ASSERT_EQ(stat((home.path() / name).c_str(), &info), 0);
    EXPECT_EQ(info.st_gid, 1234u) << name;
  }
}

// A batch's results folder that a group shares (2770) takes the batches of
// every member in turn: one member's summary does not refuse the next
// member's batch, which replaces it and leaves the first one's results.
TEST_F(CliProcessTest, MembersOfAGroupTakeTurnsInASharedBatchResultsFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "needs a second user";
  chmod(home.str().c_str(), 02770);
  const std::string clean = Check("clean.txt", CleanSubmission(1)).back();
  const std::vector<std::string> batch = {"batch", "--results", home.str(), clean};
  ASSERT_EQ(RunCli(batch, AsUnprivilegedUser()).status, 0);
  const CliResult r =
      RunCli(batch, {"setpriv", "--reuid=65533", "--regid=65534", "--clear-groups", "--"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadWholeFile(home.str() + "/batch.json").find(home.str() + "/clean.txt-2\""),
            std::string::npos);
  EXPECT_TRUE(fs::exists(home.path() / "clean.txt" / kResultsFileName));
  // A summary left for its writer alone (by an older version) is not taken
  // for a file no batch wrote.
  chmod((home.str() + "/batch.json").c_str(), 0600);
  EXPECT_EQ(RunCli(batch, AsUnprivilegedUser()).err,
            "lintaro-cli: " + home.str() +
                "/batch.json: cannot be read: Permission denied; choose another results folder\n");
}

// A report file stopped by Ctrl+C, a closed terminal or SIGTERM is not
// written, and its part-written temporary file (it holds SSNs) goes too.
TEST_F(CliProcessTest, AReportFileStoppedByASignalLeavesNothingBehind) {
  const std::string file = files.str() + "/mistakes.txt";
  ASSERT_EQ(RunShell(LINTARO_GEN_PATH " --mistakes --records 26000 " + file).status, 0);
  ASSERT_EQ(RunCli({"check", "--home", home.str(), "--max-errors", "25000", "-q", file}).status, 1);
  const fs::path out = files.path() / "report.txt";
  // The report being written is a file the process holds open in the folder
  // (with no name, where the file system allows).
  auto being_written = [&](pid_t pid) {
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
      if (fs::read_symlink(fd.path(), ec).string().starts_with(files.str() + "/")) return true;
    return false;
  };
  auto names_left = [&] {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(files.path()))
      if (entry.path().filename() != "mistakes.txt") names.push_back(entry.path().filename());
    return names;
  };
  for (int signal : {SIGINT, SIGHUP, SIGTERM}) {
    RunningCli running = StartCli({"report", "--home", home.str(), "-o", out.string()});
    for (int i = 0; i < 2000 && !being_written(running.pid); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(running.pid, signal);
    const CliResult r = FinishCli(running);
    EXPECT_EQ(r.status, 128 + signal) << r.err;
    EXPECT_EQ(r.err, "lintaro-cli: " + out.string() + ": not written: interrupted\n");
    EXPECT_EQ(names_left(), std::vector<std::string>{});
  }
}
#endif

// A file of a folder that the batch may not read is one line, "not
// tested", with no results folder, and never stops the others.
TEST_F(CliProcessTest, ABatchTellsAnUnreadableFileInOneLineAndMakesNoFolderForIt) {
  const std::string in = files.str() + "/in";
  fs::create_directory(in);
  fs::permissions(in, fs::perms::all);
  const std::string clean = Check("in/a.txt", CleanSubmission(1)).back();
  const std::string secret = Check("in/b.txt", CleanSubmission(1)).back();
  chmod(secret.c_str(), 0);
  const std::string results = home.str() + "/results";
  CliResult r = RunCli({"batch", "-j", "1", "--results", results, in}, AsUnprivilegedUser());
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "a.txt: 5 records, 0 errors, clean\nb.txt: not tested: " + secret +
                       ": cannot be read: Permission denied\n"
                       "2 submission(s): 1 clean, 0 with findings, 1 not tested; results in " +
                       results + "\n");
  EXPECT_TRUE(fs::exists(fs::path(results) / "a.txt" / kResultsFileName));
  EXPECT_FALSE(fs::exists(fs::path(results) / "b.txt"));
  // So is a file that is gone when its turn comes: its line says so.
  fs::remove(secret);
  Check("in/0-big.txt", CleanSubmission(60000));
  // (As the same user: a submission's folder of another user's is left for NAME-2.)
  RunningCli running =
      StartCli({"batch", "-j", "1", "--results", results, in}, AsUnprivilegedUser());
  ASSERT_TRUE(WaitForFileSize(results + "/0-big.txt/" + kResultsFileName, 1 << 20));
  fs::remove(clean);
  r = FinishCli(running);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.out.find("\na.txt: not tested: " + clean + ": not found\n"), std::string::npos)
      << r.out;
}

// A batch whose user may start no more processes or threads (a limit of
// one, the batch itself) checks every submission on its own thread.
TEST_F(CliProcessTest, ABatchThatCannotStartItsThreadsChecksEverySubmissionAllTheSame) {
  const std::string a = Check("a.txt", CleanSubmission(1)).back();
  const std::string b = Check("b.txt", CleanSubmission(2)).back();
  const std::string results = home.str() + "/results";
  // Leak checking of a sanitized build needs a thread of its own.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const CliResult r =
      RunCli({"batch", "-j", "4", "--results", results, a, b},
             AsUnprivilegedUser(
                 {"env", std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0",
                  "prlimit", "--nproc=1", "--"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "a.txt: 5 records, 0 errors, clean\nb.txt: 6 records, 0 errors, clean\n"
            "2 submission(s): 2 clean, 0 with findings, 0 not tested; results in " +
                results + "\n");
}

// A check refused for a file it may not read, a program folder it may not
// write, a lock file it may not write (another user's, or read-only to a
// user who is not root) or a folder named lintaro.lock: the last results
// stay whole, and no ErrSetLog.ini is written either.
TEST_F(CliProcessTest, ARefusedCheckKeepsTheLastResults) {
  const std::vector<std::string> check = Check("clean.txt", CleanSubmission(2));
  const std::string &file = check.back(), lock = home.str() + "/lintaro.lock";
  ASSERT_EQ(RunCli(check).status, 0);
  const std::string before = ReadWholeFile(db());
  const std::string unlockable =
      home.str() + ": the program folder cannot be locked for a test run: " + lock;
  struct Case {
    std::string err;
    std::function<void()> make, undo;
  };
  const std::vector<Case> cases = {
      {unlockable + ": Permission denied", [&] { chmod(lock.c_str(), 0444); },
       [&] { fs::remove(lock); }},
      {unlockable + ": Is a directory", [&] { fs::create_directory(lock); },
       [&] { fs::remove(lock); }},
      {home.str() + ": the program folder cannot be written",
       [&] { chmod(home.str().c_str(), 0555); }, [&] { chmod(home.str().c_str(), 0755); }},
      {file + ": cannot be read: Permission denied", [&] { chmod(file.c_str(), 0); },
       [&] { chmod(file.c_str(), 0644); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.err);
    fs::remove(home.path() / "ErrSetLog.ini");
    c.make();
    const CliResult r = RunCli(check, AsUnprivilegedUser());
    c.undo();
    EXPECT_EQ(r.status, 2) << r.out;
    EXPECT_EQ(r.err, "lintaro-cli: " + c.err + "\n");
    EXPECT_TRUE(ReadWholeFile(db()) == before) << "the last results were replaced";
    EXPECT_FALSE(fs::exists(home.path() / "ErrSetLog.ini"));
  }
}

TEST_F(CliProcessTest, ACopyInAFolderItCannotWriteKeepsItsResultsInThePerUserFolder) {
  const std::string clean = Check("clean.txt", CleanSubmission(1)).back();
  TempDir install, user;
  const fs::path copy = install.path() / "lintaro-cli";
  fs::copy_file(LINTARO_CLI_PATH, copy);
  fs::permissions(user.path(), fs::perms::all);
  chmod(install.str().c_str(), 0555);
  // The copy is run in place of the built program.
  std::vector<std::string> as_copy =
      AsUnprivilegedUser({"env", "HOME=" + user.str(), "XDG_DATA_HOME=" + user.str()});
  as_copy.insert(as_copy.end(),
                 {"/bin/sh", "-c", "shift; exec '" + copy.string() + "' \"$@\"", "sh"});
  CliResult r = RunCli({"check", clean}, as_copy);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(user.path() / "Lintaro" / kResultsFileName));
  EXPECT_FALSE(fs::exists(install.path() / kResultsFileName));
  EXPECT_EQ(RunCli({"report"}, as_copy).out, "No errors found in the submission!\n");
  chmod(install.str().c_str(), 0755);
}

}  // namespace
}  // namespace lintaro
