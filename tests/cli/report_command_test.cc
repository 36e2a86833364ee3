// lintaro-cli report, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "reports/csv_report.h"
#include "reports/html_report.h"
#include "reports/report_fixture.h"
#include "reports/text_report.h"
#include "support/cli_runner.h"
#include "support/json_reader.h"

namespace lintaro::testing {
namespace {

class ReportCommandTest : public ::testing::Test {
 protected:
  // A stopped run with values that need escaping in every format.
  void BuildRun() {
    ResultsFixture f(home_.path());
    f.File("/in/caf\xC3\xA9 \"1\".txt", "12/06/2026");
    f.Record(2, "RCE", "987654321");
    f.Record(5, "RCW", "123456789");
    f.Record(10, "RCF");
    f.Error(2, "Name <x>", "[CAF\xC9 & \"CO\"\\]", "Tab\there\r\nand a control \x01 char");
    f.Error(5, "SSN [Position 4 - 12]", "[12345678A]", "The SSN must be numeric.");
    f.Error(10, "Record Sequence", "[RCF]", "Out of sequence.", "C");
  }
  CliResult Report(const std::string& args = "") {
    return RunCliLine("report --home '" + home_.str() + "' " + args);
  }
  // Status 2, nothing on standard output and, when given, `says` in the message.
  void ExpectRefused(const std::string& args, const std::string& says = "") {
    CliResult r = Report(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.out.empty()) << args;
    if (!says.empty()) {
      EXPECT_NE(r.err.find(says), std::string::npos) << args << ": " << r.err;
    }
  }
  TempDir home_, scratch_;
};

TEST_F(ReportCommandTest, ResultsThatCannotBeReportedAreRefusedWithStatusTwo) {
  ExpectRefused("", "no test results to report");
  ExpectRefused("", "ERRLOG2C.MDB was not found");
  home_.Write("ERRLOG2C.MDB", "");
  ExpectRefused("", "is empty");
  home_.Write("ERRLOG2C.MDB", "this is not a database, it is a text file of some length");
  ExpectRefused("", "cannot read the test results");
  std::filesystem::remove(home_.path() / "ERRLOG2C.MDB");
  { ResultsFixture f(home_.path()); }
  ExpectRefused("", "holds no test run");
  // A clean run says so in every format.
  std::filesystem::remove(home_.path() / "ERRLOG2C.MDB");
  {
    ResultsFixture f(home_.path());
    f.File("/in/clean.txt");
    f.RecordsUpTo(3);
  }
  for (const char* format : {"text", "html"})
    EXPECT_EQ(Report(std::string("--format ") + format).out,
              "No errors found in the submission!\n");
  CliResult json = Report("--format=json");
  EXPECT_EQ(json.status, 0);
  EXPECT_TRUE(IsStrictJson(json.out)) << json.out;
  EXPECT_EQ(JsonAt(json.out, "$.outcome"), "clean");
  EXPECT_EQ(JsonAt(json.out, "$.errors_found"), "0");
  EXPECT_EQ(JsonAt(json.out, "$.errors"), "[]");
  EXPECT_EQ(Report("-f csv").out, kCsvHeader);
  // A file asked for is always written: a clean run's whole report.
  for (const char* format : {"text", "html"}) {
    const std::string file = (scratch_.path() / (std::string("clean.") + format)).string();
    CliResult r = Report(std::string("-f ") + format + " -o '" + file + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string written = ReadWholeFile(file);
    EXPECT_NE(written.find("LINTARO TAX YEAR 2007 ERROR REPORT"), std::string::npos) << format;
    EXPECT_NE(written.find("Error(s) found"), std::string::npos) << format;
  }
}

TEST_F(ReportCommandTest, TextHtmlAndJsonAreTheWholeReports) {
  BuildRun();
  auto db = ResultsDb::Open((home_.path() / "ERRLOG2C.MDB").string(), true);
  ReportBuffer text, html;
  BuildTextReport(*db, text);
  BuildHtmlReport(*db, html, 57);
  CliResult t = Report();
  EXPECT_EQ(t.status, 0) << t.err;
  EXPECT_EQ(t.out, text.text);
  CliResult h = Report("--format html");
  EXPECT_EQ(h.status, 0) << h.err;
  EXPECT_EQ(h.out, html.text + "\r\n");
  // To a file, readable by its owner only; nothing on standard output.
  const std::string out = (scratch_.path() / "report.txt").string();
  CliResult f = Report("--output '" + out + "'");
  EXPECT_EQ(f.status, 0) << f.err;
  EXPECT_TRUE(f.out.empty());
  EXPECT_EQ(ReadWholeFile(out), text.text);
  struct stat info {};
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  CliResult j = Report("--format json");
  ASSERT_EQ(j.status, 0) << j.err;
  const std::vector<std::pair<std::string, std::string>> values = {
      {"$.generated_from[0]", "/in/caf\xC3\xA9 \"1\".txt"},
      {"$.records_tested", "10"},
      {"$.records_with_errors", "3"},
      {"$.errors_found", "3"},
      {"$.outcome", "critical_stop"},
      {"$.report_date", "2026-12-06"},
      {"$.critical_stop.record_number", "10"},
      {"$.critical_stop.message", "Out of sequence."},
      {"$.errors[0].ein", "987654321"},
      {"$.errors[0].employer_ein", "         "},
      {"$.errors[2].employer_ein", "null"},
      {"$.errors[0].user_entry", "CAF\xC3\x89 & \"CO\"\\"},
      {"$.errors[0].message", "Tab\there\r\nand a control \x01 char"},
      {"$.errors[0].positions", "null"},
      {"$.errors[0].critical", "false"},
      {"$.errors[1].field", "SSN"},
      {"$.errors[1].positions", "{\"start\":4,\"end\":12}"},
      {"$.errors[2].record_id", "RCF"},
      {"$.errors[2].ssn", "<missing>"},
      {"$.errors[2].ein", "<missing>"},
      {"$.errors[2].critical", "true"}};
  for (const auto& [path, value] : values) EXPECT_EQ(JsonAt(j.out, path), value) << path;
}

TEST_F(ReportCommandTest, BadArgumentsAreUsageErrors) {
  BuildRun();
  ExpectRefused("--format pdf", "--format must be text, html, json or csv");
  ExpectRefused("--format pdf", "Try 'lintaro-cli --help'.");
  ExpectRefused("extra.txt");
  ExpectRefused("--max-errors 5", "unknown option --max-errors");
  ExpectRefused("--output", "option --output needs a value");
  ExpectRefused("--employer 12345", "--employer must be an EIN of nine digits");
  ExpectRefused("--employer 98-7654321",
                "the last test's results hold no employer record with EIN 987654321");
}

}  // namespace
}  // namespace lintaro::testing
