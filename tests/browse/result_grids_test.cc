#include "browse/result_grids.h"

#include <gtest/gtest.h>

#include <fstream>

#include "browse/window_texts.h"
#include "core/error_limit.h"
#include "store/results_db.h"
#include "support/fakes.h"

namespace lintaro {
namespace {

using testing::TempDir;

TEST(ResultGridTextsTest, SelectionsAndLabels) {
  EXPECT_EQ(ErrorsOfRecordSql(12),
            "Select Reference, User_Entry, Error From Errors Where Rec_Num = 12");
  EXPECT_EQ(ErrorsOfSelectedRecordSql(7),
            "Select Errors.Reference, Errors.User_Entry, Errors.Error From Errors Where "
            "Errors.Rec_Num = 7");
  EXPECT_NE(std::string(kRecordsWithErrorsSql).find("Record  From"), std::string::npos);
  EXPECT_NE(std::string(kTestedRecordsSql).find("Record  From"), std::string::npos);

  EXPECT_EQ(RecordsLabel(200000, 3), "200000 Record(s) Tested, 3 Record(s) with Error(s)");
  EXPECT_EQ(ErrorsLabelOnOpen(4), "Record Number 4 Error(s)");
  EXPECT_EQ(ErrorsLabelOnRowChange(4), "Record Number 4");
  EXPECT_EQ(TestedGridCaption(12), "12 Record(s) Tested");
  EXPECT_EQ(GridViewCaption("/home/a/W2C.TXT"), "Records With Errors - W2C.TXT");
  EXPECT_EQ(GridViewCaption("C:\\DATA\\W2C.TXT"), "Records With Errors - W2C.TXT");
  EXPECT_EQ(RecordViewCaption(3, 9, "/x/y.txt"), "Record Number 3 of 9 Tested Record(s) - y.txt");
  EXPECT_EQ(NoErrorsFoundIn({"/a/one.txt", "/a/two.txt"}),
            "No errors found in /a/one.txt; /a/two.txt");
}

TEST(ResultGridTextsTest, CriticalSentenceOnlyForCriticalLastFinding) {
  ErrorRow row;
  row.rec_num = 2;
  row.error = "Record 2 must be RCE record.";
  EXPECT_EQ(CritErrorText(row), "");
  row.type = "C";
  EXPECT_EQ(CritErrorText(row),
            "Execution of Testing was terminated due to the Critical Error in Record 2:  Record 2 "
            "must be RCE record.");
  EXPECT_EQ(CritErrorText(std::nullopt), "");
}

class LastResultsTest : public ::testing::Test {
 protected:
  std::unique_ptr<ResultsDb> Create() { return ResultsDb::Create(JoinPath(dir.str(), kResultsFileName)); }
  void AddRecord(ResultsDb& db, int64_t n, int errors) {
    RecordRow r;
    r.rec_num = n;
    r.id = "RCW";
    r.errors = errors;
    r.record = std::string(1024, 'X');
    db.InsertRecord(r);
  }
  TempDir dir;
};

TEST_F(LastResultsTest, NoFile) { EXPECT_EQ(InspectLastResults(dir.str()).kind, LastResults::kNoFile); }

TEST_F(LastResultsTest, EmptyRecordsTable) {
  {
    auto db = Create();
    db->InsertMisc("/data/empty.txt", "12/06/2026");
  }
  const LastResults r = InspectLastResults(dir.str());
  EXPECT_EQ(r.kind, LastResults::kNoRecords);
  EXPECT_EQ(r.paths, (std::vector<std::string>{"/data/empty.txt"}));
}

TEST_F(LastResultsTest, NoErrorsListsEveryFile) {
  {
    auto db = Create();
    db->InsertMisc("/data/part1.txt", "12/06/2026");
    db->InsertMisc("/data/part2.txt", "12/06/2026");
    AddRecord(*db, 1, 0);
  }
  const LastResults r = InspectLastResults(dir.str());
  EXPECT_EQ(r.kind, LastResults::kNoErrors);
  EXPECT_EQ(NoErrorsFoundIn(r.paths), "No errors found in /data/part1.txt; /data/part2.txt");
}

TEST_F(LastResultsTest, Errors) {
  {
    auto db = Create();
    db->InsertMisc("/data/w2c.txt", "12/06/2026");
    AddRecord(*db, 1, 1);
    ErrorRow e;
    e.rec_num = 1;
    e.reference = "Record Length";
    db->InsertError(e);
  }
  EXPECT_EQ(InspectLastResults(dir.str()).kind, LastResults::kErrors);
}

TEST_F(LastResultsTest, FileThatIsNoDatabase) {
  std::ofstream(JoinPath(dir.str(), kResultsFileName)) << "not a database at all, just text";
  const LastResults r = InspectLastResults(dir.str());
  EXPECT_EQ(r.kind, LastResults::kCannotOpen);
  EXPECT_FALSE(r.problem.empty());
}

TEST(WindowTextsTest, FixedTexts) {
  EXPECT_EQ(WelcomeText(), "Welcome To Lintaro 2007\r\n For Tax Year 2007\r\n Korvel Submissions");
  EXPECT_EQ(DisclaimerText().substr(0, 26), "\r\nDISCLAIMER STATEMENT\r\n\r\n");
  EXPECT_NE(DisclaimerText().find("submissions. Using this application greatly reduces "
                                  "submission rejections. Please be aware"),
            std::string::npos);
  EXPECT_EQ(ToolTipOf(Command::cmdGrid), "View Records With Errors");
  EXPECT_EQ(ToolTipOf(Command::cmdExit), "Exit");
  EXPECT_EQ(CommandCaption(Command::mnuVRecords), "Recor&ds");
  EXPECT_EQ(ProcessingRecordText(17), "Processing Record Number: 17");
  EXPECT_EQ(AboutCaption(), "About Lintaro / Tax Year 2007");
  EXPECT_EQ(AboutNameText(), "Product Name: \r\nLintaro FOR TAX YEAR 2007");
  EXPECT_EQ(AboutVersionText(), "Major version number:  1\r\nMinor version number:  0");
  EXPECT_EQ(AboutRevisionText(), "Revision number:  0");
  EXPECT_EQ(ToLineFeeds("a\r\nb\rc\n"), "a\nb\rc\n");
}

}  // namespace
}  // namespace lintaro
