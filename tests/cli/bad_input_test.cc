// Bad input of every kind gets a clear message and exit status, and loses
// nothing already stored.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::CliResult;
using testing::RunCli;

// Root reads and writes anything: permission cases run the checker as the
// unprivileged user instead.
std::vector<std::string> AsUnprivilegedUser() {
  if (geteuid() != 0) return {};
  return {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
}

class BadInputTest : public ::testing::Test {
 protected:
  BadInputTest() {
    // The unprivileged user must reach the temporary folders.
    std::filesystem::permissions(home.path(), std::filesystem::perms::all);
    std::filesystem::permissions(files.path(), std::filesystem::perms::all);
  }
  CliResult Check(const std::vector<std::string>& args,
                  const std::vector<std::string>& prefix = {}) {
    std::vector<std::string> all = {"check", "--home", home.str()};
    all.insert(all.end(), args.begin(), args.end());
    return RunCli(all, prefix);
  }
  std::string db() const { return home.str() + "/ERRLOG2C.MDB"; }
  std::string Clean() const {
    std::string f = files.Write("clean.txt", testing::JoinRecords(testing::CleanSubmission(2)));
    chmod(f.c_str(), 0644);  // readable by the unprivileged user
    return f;
  }
  CliResult Report(const std::vector<std::string>& more = {},
                   const std::vector<std::string>& prefix = {}) {
    std::vector<std::string> args = {"report", "--home", home.str()};
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(args, prefix);
  }

  testing::TempDir home, files;
};

TEST_F(BadInputTest, UnreadableFileOrReadOnlyProgramFolderKeepsTheLastResults) {
  std::string f = Clean();
  chmod(f.c_str(), 0);
  CliResult denied = Check({f}, AsUnprivilegedUser());
  EXPECT_EQ(denied.status, 2) << denied.err;
  EXPECT_EQ(denied.err, "lintaro-cli: " + f + " cannot be read: Permission denied\n");
  chmod(f.c_str(), 0644);
  ASSERT_EQ(Check({f}).status, 0);
  const auto before = std::filesystem::file_size(db());
  chmod(home.str().c_str(), 0555);
  CliResult r = Check({Clean()}, AsUnprivilegedUser());
  chmod(home.str().c_str(), 0755);
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_EQ(r.err, "lintaro-cli: The program folder " + home.str() + " cannot be written.\n");
  // The results of the last check are still there and whole.
  EXPECT_EQ(std::filesystem::file_size(db()), before);
  EXPECT_EQ(ResultsDb::Open(db(), true)->CountRecords(), 6);
}

TEST_F(BadInputTest, ATwoGigabyteLineStopsAtTheFirstRecord) {
  const std::string f = files.str() + "/huge.txt";
  int fd = open(f.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, (2LL << 30) + 7), 0);  // sparse: 2 GiB of byte 0, no line break
  ASSERT_EQ(pwrite(fd, "XYZ", 3, 0), 3);
  close(fd);
  CliResult r = Check({f});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("Records tested: 1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Record 1 must be RCA record."), std::string::npos) << r.out;
}

TEST_F(BadInputTest, BytesZeroAndTwentySixInsideARecordAreInvalidCharacters) {
  auto records = testing::CleanSubmission(1);
  records[2][699] = '\0';    // position 700, a blank filler of the RCW
  records[2][700] = '\x1a';  // position 701
  CliResult r = Check({files.Write("s.txt", testing::JoinRecords(records))});
  EXPECT_EQ(r.status, 1);
  auto stored = ResultsDb::Open(db(), true);
  auto errors = stored->ReadErrorsOf(3);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].reference, "Blank [Position 684 - 705]");
  EXPECT_TRUE(errors[0].error.starts_with(
      "Invalid character found in position(s) 700 and 701 of this record."));
  EXPECT_EQ(stored->ReadRecord(3)->record, records[2]);  // stored whole, with both bytes
}

TEST_F(BadInputTest, ResultsFilesThatCannotBeRead) {
  // Not a database.
  home.Write("ERRLOG2C.MDB", std::string(10000, '\x07'));
  for (const CliResult& r : {Report(), RunCli({"show", "--home", home.str(), "1"})}) {
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
  }
  // An older layout.
  std::filesystem::remove(db());
  sqlite3* raw = nullptr;
  sqlite3_open(db().c_str(), &raw);
  sqlite3_exec(raw, "CREATE TABLE ERRORS (Err_Num INTEGER, Rec_Num INTEGER)", nullptr, nullptr,
               nullptr);
  sqlite3_close(raw);
  CliResult r = Report();
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not a results database"), std::string::npos) << r.err;

  // Locked by another program: the report waits a little, then says so.
  std::filesystem::remove(db());
  ASSERT_EQ(Check({Clean()}).status, 0);
  sqlite3_open(db().c_str(), &raw);
  ASSERT_EQ(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  r = Report();
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("locked"), std::string::npos) << r.err;
  sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  // Nothing was lost: once free, the report is there.
  EXPECT_EQ(Report().status, 0);
}

TEST_F(BadInputTest, NothingOpensANetworkConnection) {
  if (access("/usr/bin/strace", X_OK) != 0) GTEST_SKIP() << "strace is not installed";
  const std::string log = files.str() + "/trace.txt";
  // Leak checking of a sanitized build does not work under a tracer.
  std::vector<std::string> trace = {"env",
                                    "ASAN_OPTIONS=detect_leaks=0",
                                    "/usr/bin/strace",
                                    "-f",
                                    "-qq",
                                    "-e",
                                    "trace=socket,connect",
                                    "-o",
                                    log};
  auto records = testing::CleanSubmission(1);
  records[2].replace(71, 8, "<SCRIPT>");  // the correct first name: reported
  ASSERT_EQ(Check({files.Write("s.txt", testing::JoinRecords(records))}, trace).status, 1);
  EXPECT_EQ(testing::ReadWholeFile(log), "");
  ASSERT_EQ(Report({"--format", "html"}, trace).status, 0);
  EXPECT_EQ(testing::ReadWholeFile(log), "");
}

// Lower-cases ASCII letters, to search markup whatever its case.
std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

TEST(HtmlReportSafety, MarkupFromTheSubmissionIsShownAsText) {
  testing::TempDir home, files;
  // Every kind of stored text that reaches the report carries markup: the
  // file name (Generated from), the submitter's EIN (its heading), the
  // employee's SSN (reference and heading), names and amounts (entries).
  const std::string evil = "<SCRIPT>\"&</PR>";  // 15 characters
  auto records = testing::CleanSubmission(1);
  records[0].replace(3, 9, "<U>&\"</PR");       // submitter's EIN
  records[2].replace(12, 9, "</PRE>&\"<");      // employee's correct SSN
  records[2].replace(71, 15, evil);             // correct first name
  records[2].replace(254, 11, "<I>\"&</I>  ");  // correct wages
  const std::string name = files.Write("<script>&\".txt", testing::JoinRecords(records));
  ASSERT_EQ(RunCli({"check", "--home", home.str(), name}).status, 1);
  CliResult r = RunCli({"report", "--home", home.str(), "--format", "html"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string html = Lower(r.out);
  for (const char* raw : {"<script", "<u>", "<i>", "</i>", "</pr>", "</pr\"", "\"&<"})
    EXPECT_EQ(html.find(raw), std::string::npos) << raw;
  EXPECT_NE(html.find("&lt;script&gt;&quot;&amp;&lt;/pr&gt;"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;&amp;&quot;.txt"), std::string::npos);
  EXPECT_NE(html.find("&lt;u&gt;&amp;&quot;&lt;/pr"), std::string::npos);
  EXPECT_NE(html.find("&lt;/pre&gt;&amp;&quot;&lt;"), std::string::npos);
  // The report's own markup is intact: as many closing pre tags as opening.
  auto count = [&](const std::string& tag) {
    size_t n = 0;
    for (size_t p = 0; (p = html.find(tag, p)) != std::string::npos; ++p) ++n;
    return n;
  };
  EXPECT_EQ(count("<pre"), count("</pre>"));
}

}  // namespace
}  // namespace lintaro
