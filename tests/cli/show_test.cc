// lintaro-cli show: a stored record as the viewer shows it, and the
// messages and exit status when it cannot be shown.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>

#include "browse/record_viewer.h"
#include "browse/viewer_text.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/sample_records.h"
#include "support/wage_records.h"

namespace lintaro {
namespace {

using Result = testing::CliResult;

class ShowTest : public ::testing::Test {
 protected:
  Result Cli(const std::string& args) { return testing::RunCliLine(args); }
  std::string Home() const { return "--home '" + home.str() + "' "; }
  // Checks the records as one submission file in the program folder.
  void Check(const std::vector<std::string>& records) {
    const std::string f = files.Write("w2c file.txt", testing::JoinRecords(records));
    Result r = Cli("check " + Home() + "'" + f + "'");
    ASSERT_LE(r.status, 1) << r.err;
  }

  testing::TempDir home, files;
};

TEST_F(ShowTest, PrintsEveryRowWithTheViewersMarks) {
  // Correct Social Security Wages above the 2007 wage base, and a name
  // with an accented letter (code page 1252 byte 0xC9), which names may
  // not hold.
  const std::string rcw = testing::CleanRCW({{72, "REN\xC9"},
                                             {288, testing::Cents(9000000)},
                                             {299, testing::Cents(9750001)}});
  Check({testing::CleanRCA(), testing::CleanRCE(), rcw, testing::CleanRCT(1),
         testing::FinalRecord(1)});
  Result r = Cli("show " + Home() + "3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  std::vector<std::string> lines;
  std::istringstream in(r.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 78u);
  EXPECT_EQ(lines[0], "  0 Record Identifier [RCW]");
  EXPECT_EQ(lines[6], "* 6 Employee's Correct First Name [REN\xC3\x89           ]");
  EXPECT_EQ(lines[24], "* 24 Correct Social Security Wages [00009750001]");

  // The same marks as the viewer model, line for line.
  auto db = ResultsDb::Open((home.path() / kResultsFileName).string(), true);
  RecordViewer viewer(*db);
  ASSERT_EQ(viewer.ViewFile(3), ViewResult::kShown);
  ASSERT_FALSE(viewer.MarkedRows().empty());
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], ViewerRowLine(static_cast<int>(i), viewer.rows()[i]));
    EXPECT_EQ(lines[i][0] == '*', viewer.rows()[i].marked) << i;
  }
}

TEST_F(ShowTest, RecordsThatCannotBeShownExitTwoWithAMessage) {
  Check(testing::CleanSubmission(1));
  Result missing = Cli("show " + Home() + "99");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "lintaro-cli: record 99 is not stored in the last test's results (5 record(s) "
            "tested)\n");

  for (const char* bad : {"0", "-1", "3x", ""}) {
    Result r = Cli("show " + Home() + "'" + bad + "'");
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("Usage:"), std::string::npos) << bad;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Cli("show " + Home()).status, 2);
  EXPECT_EQ(Cli("show " + Home() + "1 2").status, 2);
  EXPECT_EQ(Cli("show --color " + Home() + "1").status, 2);
}

TEST_F(ShowTest, MissingOrForeignResultsExitTwo) {
  Result none = Cli("show " + Home() + "1");
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "lintaro-cli: there are no test results in " + home.str() +
                          " (no ERRLOG2C.MDB)\n");

  home.Write(kResultsFileName, "This is not a results database, just text.\n");
  Result foreign = Cli("show " + Home() + "1");
  EXPECT_EQ(foreign.status, 2);
  EXPECT_EQ(foreign.err.rfind("lintaro-cli: the test results cannot be read: ", 0), 0u)
      << foreign.err;
  EXPECT_EQ(foreign.out, "");
}

TEST(ViewerText, ControlCharactersCannotReachTheTerminal) {
  EXPECT_EQ(PrintableUtf8("A\x1b[2JB"), "A\xEF\xBF\xBD[2JB");
  EXPECT_EQ(PrintableUtf8(std::string("\0\x7f\x9d", 3)), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(PrintableUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");  // euro sign, e acute
  EXPECT_EQ(ViewerRowLine(5, ViewerRow{"City", "A\tB", true}), "* 5 City [A\xEF\xBF\xBD" "B]");
}

}  // namespace
}  // namespace lintaro
