// lintaro-cli report, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "reports/html_report.h"
#include "support/cli_runner.h"
#include "reports/report_fixture.h"
#include "reports/text_report.h"

namespace lintaro::testing {
namespace {

using CliRun = CliResult;

CliRun Cli(const std::string& args, const TempDir&) { return RunCliLine(args); }

// A strict JSON reader: true when text is exactly one valid JSON value.
class JsonChecker {
 public:
  explicit JsonChecker(const std::string& text) : s_(text) {}
  bool Valid() {
    Space();
    if (!Value()) return false;
    Space();
    return i_ == s_.size();
  }

 private:
  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool Literal(const char* word) {
    const std::string w = word;
    if (s_.compare(i_, w.size(), w) != 0) return false;
    i_ += w.size();
    return true;
  }
  bool Value() {
    if (i_ >= s_.size()) return false;
    switch (s_[i_]) {
      case '{': return Object();
      case '[': return Array();
      case '"': return String();
      case 't': return Literal("true");
      case 'f': return Literal("false");
      case 'n': return Literal("null");
      default: return Number();
    }
  }
  bool Object() {
    ++i_;
    Space();
    if (i_ < s_.size() && s_[i_] == '}') return ++i_, true;
    while (true) {
      Space();
      if (!String()) return false;
      Space();
      if (i_ >= s_.size() || s_[i_++] != ':') return false;
      Space();
      if (!Value()) return false;
      Space();
      if (i_ >= s_.size()) return false;
      if (s_[i_] == '}') return ++i_, true;
      if (s_[i_++] != ',') return false;
    }
  }
  bool Array() {
    ++i_;
    Space();
    if (i_ < s_.size() && s_[i_] == ']') return ++i_, true;
    while (true) {
      Space();
      if (!Value()) return false;
      Space();
      if (i_ >= s_.size()) return false;
      if (s_[i_] == ']') return ++i_, true;
      if (s_[i_++] != ',') return false;
    }
  }
  bool String() {
    if (i_ >= s_.size() || s_[i_] != '"') return false;
    ++i_;
    while (i_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (c == '"') return ++i_, true;
      if (c < 0x20) return false;
      if (c == '\\') {
        ++i_;
        if (i_ >= s_.size()) return false;
        const char e = s_[i_];
        if (e == 'u') {
          for (int k = 1; k <= 4; ++k)
            if (i_ + k >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i_ + k])))
              return false;
          i_ += 4;
        } else if (std::string("\"\\/bfnrt").find(e) == std::string::npos) {
          return false;
        }
        ++i_;
      } else if (c >= 0x80) {
        // A whole UTF-8 sequence.
        const int len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i_ + len > s_.size()) return false;
        for (int k = 1; k < len; ++k)
          if ((static_cast<unsigned char>(s_[i_ + k]) & 0xC0) != 0x80) return false;
        i_ += len;
      } else {
        ++i_;
      }
    }
    return false;
  }
  bool Number() {
    const size_t start = i_;
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    return i_ > start && std::isdigit(static_cast<unsigned char>(s_[i_ - 1]));
  }

  const std::string& s_;
  size_t i_ = 0;
};

class ReportCommandTest : public ::testing::Test {
 protected:
  // A stopped run with values that need escaping in every format.
  void BuildRun() {
    ResultsFixture f(home_.path());
    f.File("/in/caf\xC3\xA9 \"1\".txt", "12/06/2026");
    f.Record(2, "RCE", "987654321");
    f.Record(5, "RCW", "123456789");
    f.RecordsUpTo(9);
    f.Record(10, "RCF");
    f.Error(2, "Name <x>", "[CAF\xC9 & \"CO\"\\]", "Tab\there\r\nand a control \x01 char");
    f.Error(5, "SSN [Position 4 - 12]", "[12345678A]", "The SSN must be numeric.");
    f.Error(10, "Record Sequence", "[RCF]", "Out of sequence.", "C");
  }
  std::string Home() const { return "--home '" + home_.str() + "'"; }

  TempDir home_;
  TempDir scratch_;
};

TEST_F(ReportCommandTest, MissingEmptyOrForeignResultsAreRefusedWithStatusTwo) {
  CliRun missing = Cli("report " + Home(), scratch_);
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_NE(missing.err.find("no test results to report"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("ERRLOG2C.MDB was not found"), std::string::npos);

  home_.Write("ERRLOG2C.MDB", "");
  CliRun empty = Cli("report " + Home(), scratch_);
  EXPECT_EQ(empty.status, 2);
  EXPECT_NE(empty.err.find("is empty"), std::string::npos) << empty.err;

  home_.Write("ERRLOG2C.MDB", "this is not a database, it is a text file of some length");
  CliRun foreign = Cli("report " + Home(), scratch_);
  EXPECT_EQ(foreign.status, 2);
  EXPECT_NE(foreign.err.find("cannot read the test results"), std::string::npos) << foreign.err;
}

TEST_F(ReportCommandTest, DatabaseWithoutARunIsRefusedAndACleanRunSaysSo) {
  { ResultsFixture f(home_.path()); }
  CliRun none = Cli("report " + Home(), scratch_);
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("holds no test run"), std::string::npos) << none.err;

  std::filesystem::remove(home_.path() / "ERRLOG2C.MDB");
  {
    ResultsFixture f(home_.path());
    f.File("/in/clean.txt");
    f.RecordsUpTo(3);
  }
  for (const char* format : {"text", "html"}) {
    CliRun clean = Cli("report " + Home() + " --format " + format, scratch_);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, "No errors found in the submission!\n");
  }
  CliRun json = Cli("report " + Home() + " --format=json", scratch_);
  EXPECT_EQ(json.status, 0);
  EXPECT_TRUE(JsonChecker(json.out).Valid()) << json.out;
  EXPECT_NE(json.out.find("\"errors_found\": 0"), std::string::npos);
  EXPECT_NE(json.out.find("\"errors\": []"), std::string::npos);
}

TEST_F(ReportCommandTest, TextAndHtmlAreTheWholeReports) {
  BuildRun();
  std::unique_ptr<ResultsDb> db =
      ResultsDb::Open((home_.path() / "ERRLOG2C.MDB").string(), true);
  ReportBuffer text, html;
  BuildTextReport(*db, text);
  BuildHtmlReport(*db, html, 57);

  CliRun t = Cli("report " + Home(), scratch_);
  EXPECT_EQ(t.status, 0) << t.err;
  EXPECT_EQ(t.out, text.text);
  CliRun h = Cli("report " + Home() + " --format html", scratch_);
  EXPECT_EQ(h.status, 0) << h.err;
  EXPECT_EQ(h.out, html.text + "\r\n");

  // To a file, readable by its owner only; nothing on standard output.
  const std::filesystem::path out = scratch_.path() / "report.txt";
  CliRun f = Cli("report " + Home() + " --output '" + out.string() + "'", scratch_);
  EXPECT_EQ(f.status, 0) << f.err;
  EXPECT_TRUE(f.out.empty());
  EXPECT_EQ(ReadWholeFile(out.string()), text.text);
  struct stat info {};
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ReportCommandTest, JsonIsValidAndCarriesEveryError) {
  BuildRun();
  CliRun j = Cli("report " + Home() + " --format json", scratch_);
  ASSERT_EQ(j.status, 0) << j.err;
  EXPECT_TRUE(JsonChecker(j.out).Valid()) << j.out;
  EXPECT_NE(j.out.find("\"generated_from\": [\"/in/caf\xC3\xA9 \\\"1\\\".txt\"]"),
            std::string::npos)
      << j.out;
  EXPECT_NE(j.out.find("\"records_tested\": 10"), std::string::npos);
  EXPECT_NE(j.out.find("\"records_with_errors\": 3"), std::string::npos);
  EXPECT_NE(j.out.find("\"errors_found\": 3"), std::string::npos);
  EXPECT_NE(j.out.find("\"critical_stop\": {\"record_number\": 10, \"message\": "
                       "\"Out of sequence.\"}"),
            std::string::npos);
  EXPECT_NE(j.out.find("{\"error_number\": 1, \"record_number\": 2, \"record_id\": \"RCE\", "
                       "\"record_reference\": \"987654321\", \"identification\": "
                       "\"EIN:  987654321\", \"reference\": \"Name <x>\", \"user_entry\": "
                       "\"[CAF\xC3\x89 & \\\"CO\\\"\\\\]\", \"message\": "
                       "\"Tab\\there\\r\\nand a control \\u0001 char\", \"type\": \"\"}"),
            std::string::npos)
      << j.out;
  EXPECT_NE(j.out.find("\"record_id\": \"RCF\", \"record_reference\": \"\", "
                       "\"identification\": \"\""),
            std::string::npos);
  EXPECT_NE(j.out.find("\"type\": \"C\"}"), std::string::npos);
}

TEST_F(ReportCommandTest, BadArgumentsShowTheUsage) {
  BuildRun();
  CliRun format = Cli("report " + Home() + " --format pdf", scratch_);
  EXPECT_EQ(format.status, 2);
  EXPECT_NE(format.err.find("--format must be text, html or json"), std::string::npos);
  EXPECT_NE(format.err.find("Usage:"), std::string::npos);
  CliRun operand = Cli("report " + Home() + " extra.txt", scratch_);
  EXPECT_EQ(operand.status, 2);
  CliRun option = Cli("report " + Home() + " --max-errors 5", scratch_);
  EXPECT_EQ(option.status, 2);
  EXPECT_NE(option.err.find("unknown option --max-errors"), std::string::npos);
  CliRun no_value = Cli("report " + Home() + " --output", scratch_);
  EXPECT_EQ(no_value.status, 2);

  // The check command keeps its own options.
  CliRun check = Cli("check " + Home(), scratch_);
  EXPECT_EQ(check.status, 2);
  EXPECT_NE(check.err.find("no submission file given"), std::string::npos);
  CliRun limit = Cli("check " + Home() + " --max-errors 0 x.txt", scratch_);
  EXPECT_EQ(limit.status, 2);
  EXPECT_NE(limit.err.find("--max-errors must be a whole number"), std::string::npos);
}

}  // namespace
}  // namespace lintaro::testing
