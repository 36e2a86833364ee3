// lintaro-cli report, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>

#include "reports/html_report.h"
#include "reports/report_fixture.h"
#include "reports/text_report.h"
#include "support/cli_runner.h"

namespace lintaro::testing {
namespace {

// A strict JSON reader: true when the text is exactly one JSON value.
struct Json {
  const std::string& s;
  size_t i = 0;
  char Peek() { return i < s.size() ? s[i] : '\0'; }
  void Space() { while (i < s.size() && s[i] && std::strchr(" \n\r\t", s[i])) ++i; }
  bool Eat(char c) { return Space(), Peek() == c ? (++i, true) : false; }
  bool List(char close, bool keys) {
    if (Eat(close)) return true;
    do {
      if (keys && !(Eat('"') && String() && Eat(':'))) return false;
      if (!Value()) return false;
    } while (Eat(','));
    return Eat(close);
  }
  bool String() {
    for (; i < s.size(); ++i) {
      const auto c = static_cast<unsigned char>(s[i]);
      if (c == '"') return ++i, true;
      if (c < 0x20) return false;
      if (c != '\\') continue;
      const char e = ++i < s.size() ? s[i] : '\0';
      if (e == 'u') {
        for (int k = 0; k < 4; ++k)
          if (!std::isxdigit(static_cast<unsigned char>(++i < s.size() ? s[i] : 'x'))) return false;
      } else if (!e || !std::strchr("\"\\/bfnrt", e)) {
        return false;
      }
    }
    return false;
  }
  bool Value() {
    Space();
    if (Eat('{')) return List('}', true);
    if (Eat('[')) return List(']', false);
    if (Eat('"')) return String();
    for (const char* w : {"true", "false", "null"})
      if (s.compare(i, std::strlen(w), w) == 0) return i += std::strlen(w), true;
    const size_t start = i;
    if (Peek() == '-') ++i;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++i;
    return i > start && std::isdigit(static_cast<unsigned char>(s[i - 1]));
  }
  bool Valid() { return Value() && (Space(), i == s.size()); }
};

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
    EXPECT_EQ(Report(std::string("--format ") + format).out, "No errors found in the submission!\n");
  CliResult json = Report("--format=json");
  EXPECT_EQ(json.status, 0);
  EXPECT_TRUE(Json{json.out}.Valid()) << json.out;
  EXPECT_NE(json.out.find("\"errors_found\": 0"), std::string::npos);
  EXPECT_NE(json.out.find("\"errors\": []"), std::string::npos);
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
  EXPECT_TRUE(Json{j.out}.Valid()) << j.out;
  for (const std::string& part :
       {std::string("\"generated_from\": [\"/in/caf\xC3\xA9 \\\"1\\\".txt\"]"),
        std::string("\"records_tested\": 10"), std::string("\"records_with_errors\": 3"),
        std::string("\"errors_found\": 3"),
        std::string("\"critical_stop\": {\"record_number\": 10, \"message\": \"Out of sequence.\"}"),
        std::string("{\"error_number\": 1, \"record_number\": 2, \"record_id\": \"RCE\", "
                    "\"record_reference\": \"987654321\", \"identification\": \"EIN:  987654321\", "
                    "\"reference\": \"Name <x>\", \"user_entry\": \"[CAF\xC3\x89 & \\\"CO\\\"\\\\]\", "
                    "\"message\": \"Tab\\there\\r\\nand a control \\u0001 char\", \"type\": \"\"}"),
        std::string("\"record_id\": \"RCF\", \"record_reference\": \"\", \"identification\": \"\""),
        std::string("\"type\": \"C\"}")})
    EXPECT_NE(j.out.find(part), std::string::npos) << part << "\n" << j.out;
}

TEST_F(ReportCommandTest, BadArgumentsShowTheUsage) {
  BuildRun();
  ExpectRefused("--format pdf", "--format must be text, html or json");
  ExpectRefused("--format pdf", "Usage:");
  ExpectRefused("extra.txt");
  ExpectRefused("--max-errors 5", "unknown option --max-errors");
  ExpectRefused("--output");
}

}  // namespace
}  // namespace lintaro::testing
