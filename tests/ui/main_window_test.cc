// The main window over real runs and results files: which commands each
// event leaves enabled, the captions it shows, and Exit during a run.
#include <sqlite3.h>

#include <QMenu>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "window_fixture.h"

namespace lintaro::testing {
namespace {

QString Cell(QTableView* grid, int row, int column) {
  return grid->model()->data(grid->model()->index(row, column)).toString();
}

const std::vector<WindowTest::Finding> kFindings = {
    {2, "Employee Name [Position 40 - 54]", "[J\xF6rg]", "Letters only."},  // code page 1252
    {2, "Tax Year [Position 4 - 7]", "[20X7]", "Must be numeric."},
    {4, "Wages [Position 100 - 110]", "[ABC]", "Money fields must be numeric."}};

// What the user did, the message it gave (empty: none) and the commands it
// left enabled and disabled.
struct EnableCase {
  const char* event;
  const char* message;
  std::vector<const char*> on, off;
};
void PrintTo(const EnableCase& c, std::ostream* os) { *os << c.event; }

class EnableRulesTest : public WindowTest, public ::testing::WithParamInterface<EnableCase> {
 protected:
  void Act(const std::string& event) {
    if (event == "LastWithErrors" || event == "ReportLastWithErrors")
      WriteResults({"/data/first.txt", "/data/second.txt"}, {"RCW", "RCW", "RCW", "RCW", "RCW"},
                   kFindings);
    if (event == "LastUnreadable") WriteResults({"/data/binary.bin"}, {});
    if (event == "LastNoErrors" || event == "GridViewNoErrors")
      WriteResults({"/data/part1.txt", "/data/part2.txt"}, {"RCA"});
    Open();
    if (event == "CleanRun") Run({Submission("clean.txt", CleanRecords(3))});
    if (event == "NoValidData") Run({home.Write("empty.txt", "")});
    if (event == "CriticalStop" || event == "RecordView")
      Run({Submission("crit.txt", {CleanRCA(), PaidRCW(), MakeRecord("RCF")})});
    if (event == "RecordView") Button("cmdView")->click();
    if (event.rfind("Last", 0) == 0) Button("cmdLast")->click();
    if (event == "ReportLastWithErrors") {
      window->set_report_requester([](bool) {});  // no report window
      Action("mnuRLast")->trigger();
    }
    if (event == "GridViewNoErrors") {
      Button("cmdLast")->click();
      window->ViewRecordsWithErrors();
    }
    QApplication::processEvents();
  }
  bool Enabled(const char* name) {
    if (auto* menu = window->findChild<QMenu*>(name)) return menu->menuAction()->isEnabled();
    if (auto* action = window->findChild<QAction*>(name)) return action->isEnabled();
    return Button(name)->isEnabled();
  }
};

TEST_P(EnableRulesTest, CommandsAfterTheEvent) {
  const EnableCase& c = GetParam();
  Act(c.event);
  EXPECT_EQ(LastMessage() ? LastMessage()->text : "", c.message);
  for (const char* name : c.on) EXPECT_TRUE(Enabled(name)) << name;
  for (const char* name : c.off) EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(window->busy());
}

INSTANTIATE_TEST_SUITE_P(
    Events, EnableRulesTest,
    ::testing::Values(
        EnableCase{"Opened",
                   "",
                   {"cmdStart", "cmdLast", "cmdExit", "mnuTSet", "mnuVReport", "mnuRLast"},
                   {"cmdView", "cmdGrid", "cmdErrors", "cmdPrint", "mnuVRecords", "mnuVRErrors",
                    "mnuRCurrent", "mnuTPrint"}},
        EnableCase{
            "CleanRun",
            "Testing Completed.\r\nThere were no errors found.",
            {"cmdStart", "cmdView", "mnuTStart", "mnuVRecords", "mnuVRAll"},
            {"cmdGrid", "cmdErrors", "cmdLast", "mnuTOpenLast", "mnuVRErrors", "mnuVReport"}},
        EnableCase{"NoValidData",
                   "Warning: The file contains no valid data.",
                   {"cmdStart"},
                   {"cmdView", "cmdGrid", "cmdErrors"}},
        EnableCase{"CriticalStop",
                   "",
                   {"cmdStart", "cmdView", "cmdErrors", "cmdPrint", "mnuRCurrent", "mnuTPrint",
                    "mnuVRErrors"},
                   {"cmdGrid", "cmdLast", "mnuRLast"}},
        EnableCase{"RecordView", "", {"cmdGrid", "cmdErrors"}, {"cmdView", "cmdLast"}},
        EnableCase{"LastWithErrors",
                   "",
                   {"cmdErrors", "cmdView", "mnuRCurrent"},
                   {"cmdLast", "mnuTOpenLast", "mnuRLast"}},
        EnableCase{"LastNoReport",
                   "No Report Found!",
                   {"cmdStart"},
                   {"cmdLast", "mnuTOpenLast", "mnuVReport"}},
        EnableCase{"LastUnreadable",
                   "Unreadable data was found in the last File tested!\r\nPlease check to make "
                   "sure that File entered contains ASCII Text only.",
                   {"cmdStart"},
                   {"cmdLast", "cmdView", "mnuVRecords", "mnuRLast"}},
        EnableCase{"LastNoErrors",
                   "No errors found in /data/part1.txt; /data/part2.txt",
                   {"cmdView", "mnuVRAll"},
                   {"mnuVRErrors", "cmdLast"}},
        EnableCase{"GridViewNoErrors",
                   "No errors found in the submission within the scope of this program, as "
                   "outlined in the User Manual.",
                   {"cmdView"},
                   {"cmdGrid", "mnuVRErrors"}},
        EnableCase{"ReportLastWithErrors", "", {"cmdErrors", "cmdPrint"}, {"mnuRLast"}}),
    [](const auto& info) { return std::string(info.param.event); });

TEST_F(WindowTest, CleanRunCaptionsAndResults) {
  Open();
  EXPECT_EQ(Text("lblWelcome"), "Welcome To Lintaro 2007\n For Tax Year 2007\n Korvel Submissions");
  EXPECT_EQ(ReadWholeFile(JoinPath(home.str(), "ErrSetLog.ini")).substr(0, 25),
            "[Maximum Error Count]:500");
  Run({Submission("clean.txt", CleanRecords(3))});
  EXPECT_EQ(prompts.dialog_titles, std::vector<std::string>{"Please Enter File Name to be Tested"});
  ASSERT_NE(LastMessage(), nullptr);
  EXPECT_EQ(Describe(*LastMessage()),
            "Results | information ok | Testing Completed.\r\nThere were no errors found.");
  EXPECT_EQ(window->windowTitle(), "Lintaro 2007");
  for (const char* shown : {"imgWagemark", "lblWelcome"}) EXPECT_TRUE(Visible(shown)) << shown;
  for (const char* hidden : {"txtDisclosure", "lblRecCtr", "lblPrgrss1", "DBGrid1"})
    EXPECT_FALSE(Visible(hidden)) << hidden;
  EXPECT_EQ(ResultsDb::Open(ResultsPath(), true)->CountRecords(), 7);
}

TEST_F(WindowTest, CriticalStopShowsTheGridsWithTheSentenceSelected) {
  Open();
  Run({Submission("crit.txt", {CleanRCA(), PaidRCW(), MakeRecord("RCF")})});
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kCriticalStop);
  EXPECT_EQ(window->windowTitle(), "Records With Errors - crit.txt");
  EXPECT_EQ(Text("lblRecords"), "2 Record(s) Tested, 1 Record(s) with Error(s)");
  EXPECT_EQ(Text("lblErrors"), "Record Number 2 Error(s)");
  for (const char* shown : {"DBGrid1", "DBGrid2", "lblCritError", "txtCritError"})
    EXPECT_TRUE(Visible(shown)) << shown;
  for (const char* hidden : {"imgWagemark", "lblWelcome", "DBGrid3"})
    EXPECT_FALSE(Visible(hidden)) << hidden;
  auto* grid1 = Find<QTableView>("DBGrid1");
  ASSERT_EQ(grid1->model()->rowCount(), 1);
  EXPECT_EQ(Cell(grid1, 0, 0) + " " + Cell(grid1, 0, 1), "2 1");
  auto* grid2 = Find<QTableView>("DBGrid2");
  ASSERT_EQ(grid2->model()->rowCount(), 1);
  EXPECT_EQ(Cell(grid2, 0, 1) + " " + Cell(grid2, 0, 2), "[RCW] Record 2 must be RCE record.");

  auto* crit = Find<QPlainTextEdit>("txtCritError");
  EXPECT_EQ(crit->toPlainText(),
            "Execution of Testing was terminated due to the Critical Error in Record 2:  Record 2 "
            "must be RCE record.");
  EXPECT_EQ(window->focusWidget(), crit);
  EXPECT_EQ(crit->textCursor().selectedText(), crit->toPlainText());
}

TEST_F(WindowTest, RunWithFindingsShowsTheGridsWithoutACriticalError) {
  Open();
  Run({Submission("found.txt",
                  {CleanRCA(), CleanRCE(), CleanRCW({{188, "XX"}}), CleanRCT(1), FinalRecord(1)})});
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kFindings);
  EXPECT_EQ(window->windowTitle(), "Records With Errors - found.txt");
  EXPECT_EQ(Text("lblRecords"), "5 Record(s) Tested, 1 Record(s) with Error(s)");
  EXPECT_EQ(Text("lblErrors"), "Record Number 3 Error(s)");
  EXPECT_EQ(Find<QPlainTextEdit>("txtCritError")->toPlainText(), "Not Applicable.");
  EXPECT_GE(Find<QTableView>("DBGrid2")->model()->rowCount(), 1);
}

TEST_F(WindowTest, LastResultsFollowTheChosenRecord) {
  WriteResults({"/data/first.txt", "/data/second.txt"}, {"RCW", "RCW", "RCW", "RCW", "RCW"},
               kFindings);
  Open();
  Button("cmdLast")->click();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(window->windowTitle(), "Records With Errors - second.txt");
  EXPECT_EQ(Text("lblRecords"), "5 Record(s) Tested, 2 Record(s) with Error(s)");
  EXPECT_EQ(Find<QPlainTextEdit>("txtCritError")->toPlainText(), "Not Applicable.");
  auto* grid2 = Find<QTableView>("DBGrid2");
  ASSERT_EQ(grid2->model()->rowCount(), 2);
  EXPECT_EQ(Cell(grid2, 0, 1), QString::fromUtf8("[J\xC3\xB6rg]"));

  auto* grid1 = Find<QTableView>("DBGrid1");
  grid1->setCurrentIndex(grid1->model()->index(1, 0));
  EXPECT_EQ(Text("lblErrors"), "Record Number 4");
  grid2 = Find<QTableView>("DBGrid2");
  ASSERT_EQ(grid2->model()->rowCount(), 1);
  EXPECT_EQ(Cell(grid2, 0, 2), "Money fields must be numeric.");
}

TEST_F(WindowTest, ReportRequestsHoldTheReportCommands) {
  WriteResults({"/data/first.txt"}, {"RCW", "RCW"}, {kFindings[0]});
  Open();
  std::vector<bool> requests;
  bool held = false;
  window->set_report_requester([&](bool print) {
    requests.push_back(print);
    held = !Button("cmdErrors")->isEnabled() && !Action("mnuTPrint")->isEnabled();
  });
  Action("mnuRLast")->trigger();
  EXPECT_TRUE(held);
  Button("cmdPrint")->click();
  EXPECT_EQ(requests, (std::vector<bool>{false, true}));
  EXPECT_TRUE(Button("cmdErrors")->isEnabled());
}

TEST_F(WindowTest, FileNotFoundAsksAgain) {
  Open();
  Run({home.str() + "/no-such-file.txt"});
  EXPECT_EQ(prompts.Titles(),
            (std::vector<std::string>{"Submission File Not Found", "Submission File Name Error"}));
  EXPECT_EQ(prompts.dialog_titles.size(), 2u);  // asked again, then cancelled
  EXPECT_TRUE(Button("cmdStart")->isEnabled());
}

// During a run the counter and bar move and the commands are held; the
// counter and bar a message of the run appears over are the run's last: a
// short run after a long one, and the first file of a submission when the
// next is asked for.
TEST_F(WindowTest, ProgressDuringTheRunAndTheLastRecordBeforeItsMessages) {
  Open();
  auto share = [this] {
    return double(Find<QLabel>("lblPrgrss1")->width()) / Find<QLabel>("lblPrgrss2")->width();
  };
  bool busy_seen = false, nested_refused = false;
  std::string counter;
  double middle = -1;
  window->set_record_observer([&](int32_t rec) {
    if (rec != 1500) return;
    window->RefreshProgress();
    counter = Text("lblRecCtr").toStdString();
    middle = share();
    busy_seen = window->busy() && QApplication::overrideCursor() != nullptr &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    for (const char* held : {"mnuTStart", "mnuTSet", "mnuTOpenLast"})
      EXPECT_FALSE(Action(held)->isEnabled()) << held;
    EXPECT_FALSE(Button("cmdStart")->isEnabled());
    window->StartTesting();
    nested_refused = prompts.dialog_titles.size() == 1;
  });
  std::vector<std::string> seen;  // title and counter at each message, "full" bar at the end
  prompts.on_message = [&](const ShownMessage& m) {
    EXPECT_TRUE(Find<QLabel>("lblPrgrss1")->isVisible()) << m.title;
    seen.push_back(m.title + " " + Text("lblRecCtr").toStdString() +
                   (m.title == "Results" && share() == 1.0 ? " full" : ""));
  };
  Run({Submission("long.txt", CleanRecords(3000))});
  EXPECT_EQ(counter, "Processing Record Number: 1500");
  EXPECT_NEAR(middle, 0.5, 0.05);
  EXPECT_TRUE(busy_seen);
  EXPECT_TRUE(nested_refused);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(window->last_summary().records_tested, 3004);
  window->set_record_observer(nullptr);
  Run({Submission("short.txt", CleanRecords(36))});  // 40 records
  const std::vector<std::string> all = CleanRecords(2);
  Run({Submission("part1.txt", {all.begin(), all.begin() + 3}),
       Submission("part2.txt", {all.begin() + 3, all.end()})});
  EXPECT_EQ(seen, (std::vector<std::string>{"Results Processing Record Number: 3004 full",
                                            "Results Processing Record Number: 40 full",
                                            "Missing Final Record Processing Record Number: 3",
                                            "Results Processing Record Number: 6 full"}));
}

TEST_F(WindowTest, ExitDuringRunRecordsTestAborted) {
  Open();
  bool clicked = false;
  window->set_record_observer([&](int32_t rec) {
    if (rec == 300 && !clicked) {
      clicked = true;
      // The click arrives through the window's event processing.
      QTimer::singleShot(0, Button("cmdExit"), &QPushButton::click);
    }
  });
  Run({Submission("big.txt", CleanRecords(20000))});
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kAborted);
  EXPECT_TRUE(prompts.messages.empty());

  // The run's own recording of the abort is tested in tests/core.
  auto db = ResultsDb::Open(ResultsPath(), true);
  const int64_t records = db->CountRecords();
  EXPECT_GE(records, 300);
  EXPECT_LT(records, 20004);
  auto last = db->ReadLastError();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->reference + " | " + last->user_entry, "Test Aborted | Exit was chosen");
  EXPECT_EQ(last->rec_num, records);
}

TEST_F(WindowTest, ExitAfterCompletedRunLeavesResultsUnchanged) {
  Open();
  Run({Submission("crit.txt", {MakeRecord("RCA"), MakeRecord("RCW")})});
  const std::string before = ReadWholeFile(ResultsPath());
  Action("mnuTExit")->trigger();
  EXPECT_FALSE(window->isVisible());
  window.reset();
  EXPECT_EQ(ReadWholeFile(ResultsPath()), before);
}

}  // namespace
}  // namespace lintaro::testing

namespace lintaro::testing {
namespace {

// A check killed part-way leaves its last batch in the rollback journal
// beside the file. The window must still open the results: the committed
// records, and none of the unfinished batch.
TEST_F(WindowTest, LastResultsOfAKilledCheckOpen) {
  WriteResults({"/data/first.txt"}, {"RCW", "RCW", "RCW"}, {kFindings[0]});
  const std::string killed = home.str() + "/killed";
  std::filesystem::create_directories(killed);
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(ResultsPath().c_str(), &db), SQLITE_OK);
    // A tiny cache makes the open batch spill pages into the file.
    sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN", nullptr, nullptr, nullptr);
    for (int i = 4; i < 400; ++i) {
      const std::string sql = "INSERT INTO RECORDS (Rec_Num, ID, Errors, Record) VALUES (" +
                              std::to_string(i) + ", 'RCW', 1, '" + std::string(1024, 'X') + "')";
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    // The process dies here: the file and its journal are what it leaves.
    std::filesystem::copy_file(ResultsPath(), killed + "/ERRLOG2C.MDB");
    ASSERT_TRUE(std::filesystem::exists(ResultsPath() + "-journal"));
    std::filesystem::copy_file(ResultsPath() + "-journal", killed + "/ERRLOG2C.MDB-journal");
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  std::filesystem::remove(ResultsPath());
  std::filesystem::copy_file(killed + "/ERRLOG2C.MDB", ResultsPath());
  std::filesystem::copy_file(killed + "/ERRLOG2C.MDB-journal", ResultsPath() + "-journal");

  Open();
  Button("cmdLast")->click();
  EXPECT_TRUE(prompts.messages.empty()) << prompts.messages[0].text;
  EXPECT_EQ(Text("lblRecords"), "3 Record(s) Tested, 1 Record(s) with Error(s)");
  EXPECT_EQ(Find<QTableView>("DBGrid2")->model()->rowCount(), 1);
}

}  // namespace
}  // namespace lintaro::testing
