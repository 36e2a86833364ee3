#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSqlQueryModel>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "browse/window_texts.h"
#include "ui/record_view.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

QString Cell(QTableView* grid, int row, int column) {
  return grid->model()->data(grid->model()->index(row, column)).toString();
}

using WindowStartTest = WindowTest;

TEST_F(WindowStartTest, WelcomeTextsCommandsAndMenus) {
  Open();
  EXPECT_EQ(window->windowTitle(), "Lintaro 2007");
  EXPECT_EQ(Text("lblWelcome"), "Welcome To Lintaro 2007\n For Tax Year 2007\n Korvel Submissions");
  auto* disclaimer = Find<QPlainTextEdit>("txtDisclosure");
  EXPECT_TRUE(disclaimer->toPlainText().startsWith("\nDISCLAIMER STATEMENT\n\nThe Lintaro"));
  EXPECT_EQ(disclaimer->textCursor().position(), 1);
  for (const char* shown : {"imgWagemark", "lblWelcome", "txtDisclosure", "Shape1"})
    EXPECT_TRUE(Visible(shown)) << shown;
  for (const char* hidden : {"DBGrid1", "DBGrid2", "DBGrid3", "lblRecords", "lblErrors",
                             "lblCritError", "txtCritError", "lblRecCtr", "lblFName"})
    EXPECT_FALSE(Visible(hidden)) << hidden;
  EXPECT_EQ(Find<QPlainTextEdit>("txtCritError")->toPlainText(), "None Found.");
  EXPECT_EQ(Text("lblRecords"), "RECORDS");
  EXPECT_EQ(Text("lblErrors"), "ERRORS");
  EXPECT_EQ(Text("lblCritError"), "Lintaro Testing Stopped");

  // The seven commands with captions, access keys and tool tips.
  const std::pair<const char*, const char*> commands[] = {
      {"cmdStart", "&Start Testing"},          {"cmdView", "View &Tested Records"},
      {"cmdGrid", "View Records &With Errors"}, {"cmdErrors", "View Error &Report"},
      {"cmdPrint", "&Print Error Report"},     {"cmdLast", "View &Last Test Results"},
      {"cmdExit", "E&xit"}};
  for (const auto& [name, caption] : commands) {
    QPushButton* b = Button(name);
    EXPECT_EQ(b->text(), caption);
    EXPECT_EQ(b->toolTip(), QString(caption).remove('&'));
  }
  EXPECT_TRUE(Button("cmdStart")->isEnabled());
  EXPECT_TRUE(Button("cmdLast")->isEnabled());
  EXPECT_TRUE(Button("cmdExit")->isEnabled());
  for (const char* off : {"cmdView", "cmdGrid", "cmdErrors", "cmdPrint"})
    EXPECT_FALSE(Button(off)->isEnabled()) << off;

  // Menus, their entries in order, and the submenus.
  QList<QAction*> top = window->menuBar()->actions();
  ASSERT_EQ(top.size(), 3);
  EXPECT_EQ(top[0]->text(), "&Test");
  EXPECT_EQ(top[1]->text(), "&View");
  EXPECT_EQ(top[2]->text(), "&Help");
  QStringList test_entries;
  for (QAction* a : top[0]->menu()->actions())
    if (!a->isSeparator()) test_entries << a->text();
  EXPECT_EQ(test_entries,
            (QStringList{"&Start New", "Open &Last", "&Print Report", "Set &Error(s)", "E&xit"}));
  auto* report = Find<QMenu>("mnuVReport");
  auto* records = Find<QMenu>("mnuVRecords");
  EXPECT_EQ(report->title(), "&Report");
  EXPECT_EQ(records->title(), "Recor&ds");
  EXPECT_EQ(Action("mnuRLast")->text(), "&Last");
  EXPECT_EQ(Action("mnuRCurrent")->text(), "&Current");
  EXPECT_EQ(Action("mnuVRAll")->text(), "All &Tested");
  EXPECT_EQ(Action("mnuVRErrors")->text(), "&With Errors");
  EXPECT_EQ(Action("mnuHContents")->text(), "&Contents");
  EXPECT_EQ(Action("mnuHAbout")->text(), "&About");
  EXPECT_TRUE(report->menuAction()->isEnabled());
  EXPECT_FALSE(records->menuAction()->isEnabled());
  EXPECT_FALSE(Action("mnuVRErrors")->isEnabled());  // inside the disabled submenu
  EXPECT_FALSE(Action("mnuRCurrent")->isEnabled());
  EXPECT_FALSE(Action("mnuTPrint")->isEnabled());
  EXPECT_TRUE(Action("mnuTSet")->isEnabled());

  // The error limit file is created with the default limit.
  EXPECT_EQ(window->max_errors(), 500);
  EXPECT_EQ(ReadAll(JoinPath(home.str(), "ErrSetLog.ini")).substr(0, 25),
            "[Maximum Error Count]:500");

  // Centred on the screen.
  const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((window->frameGeometry().center() - centre).manhattanLength(), 40);
}

TEST_F(WindowStartTest, CommandColumnKeepsItsPlaceOnResize) {
  Open();
  for (QSize size : {QSize(900, 640), QSize(1200, 800)}) {
    window->resize(size);
    QApplication::processEvents();
    const int right = window->centralWidget()->width() - window->Twips(240);
    int previous_bottom = 0;
    int width = -1;
    for (const char* name :
         {"cmdStart", "cmdView", "cmdGrid", "cmdErrors", "cmdPrint", "cmdLast", "cmdExit"}) {
      const QRect g = Button(name)->geometry();
      EXPECT_EQ(g.x() + g.width(), right) << name;
      EXPECT_GT(g.y(), previous_bottom - 1) << name;
      if (width >= 0) {
        EXPECT_EQ(g.width(), width);
      }
      width = g.width();
      previous_bottom = g.y() + g.height();
    }
    // The shared area ends left of the command column.
    EXPECT_LT(Find<QWidget>("Shape1")->geometry().right(), Button("cmdStart")->x());
  }
  EXPECT_EQ(window->Twips(1440), window->logicalDpiX());
}

TEST_F(WindowTest, CleanRunReturnsToWelcome) {
  Open();
  const std::string file = Submission("clean.txt", CleanRecords(3));
  Run({file});
  ASSERT_EQ(prompts.dialog_titles.size(), 1u);
  EXPECT_EQ(prompts.dialog_titles[0], "Please Enter File Name to be Tested");
  EXPECT_EQ(prompts.dialog_filters[0], kOpenFileFilter);
  ASSERT_NE(LastMessage(), nullptr);
  EXPECT_EQ(LastMessage()->title, "Results");
  EXPECT_EQ(LastMessage()->text, "Testing Completed.\r\nThere were no errors found.");
  EXPECT_EQ(LastMessage()->icon, Icon::kInformation);

  EXPECT_EQ(window->windowTitle(), "Lintaro 2007");
  EXPECT_TRUE(Visible("imgWagemark"));
  EXPECT_TRUE(Visible("lblWelcome"));
  EXPECT_FALSE(Visible("txtDisclosure"));
  EXPECT_FALSE(Visible("lblRecCtr"));
  EXPECT_FALSE(Visible("lblPrgrss1"));
  EXPECT_FALSE(window->busy());
  EXPECT_FALSE(window->run_state().Testing);

  EXPECT_TRUE(Button("cmdStart")->isEnabled());
  EXPECT_TRUE(Button("cmdView")->isEnabled());
  EXPECT_FALSE(Button("cmdGrid")->isEnabled());
  EXPECT_FALSE(Button("cmdLast")->isEnabled());
  EXPECT_FALSE(Action("mnuTOpenLast")->isEnabled());
  EXPECT_TRUE(Find<QMenu>("mnuVRecords")->menuAction()->isEnabled());
  EXPECT_TRUE(Action("mnuVRAll")->isEnabled());
  EXPECT_FALSE(Action("mnuVRErrors")->isEnabled());
  EXPECT_FALSE(Find<QMenu>("mnuVReport")->menuAction()->isEnabled());
  EXPECT_TRUE(Action("mnuTStart")->isEnabled());

  auto db = ResultsDb::Open(ResultsPath(), true);
  EXPECT_EQ(db->CountRecords(), 7);
  EXPECT_EQ(db->CountErrors(), 0);
}

TEST_F(WindowTest, CleanRunInFilingSeasonOffersOnlineServices) {
  clock.date = {2008, 1, 15};
  Open();
  int opened = 0;
  window->set_online_services([&] { ++opened; });
  prompts.answers.push_back(Answer::kYes);
  Run({Submission("clean.txt", CleanRecords())});
  ASSERT_NE(LastMessage(), nullptr);
  EXPECT_EQ(LastMessage()->buttons, Buttons::kYesNo);
  EXPECT_EQ(opened, 1);
}

TEST_F(WindowTest, EmptyFileHasNoValidData) {
  Open();
  Run({home.Write("empty.txt", "")});
  ASSERT_NE(LastMessage(), nullptr);
  EXPECT_EQ(LastMessage()->text, "Warning: The file contains no valid data.");
  EXPECT_EQ(LastMessage()->icon, Icon::kExclamation);
  EXPECT_FALSE(Button("cmdView")->isEnabled());
  EXPECT_TRUE(Button("cmdStart")->isEnabled());
}

TEST_F(WindowTest, CriticalStopOpensGridsWithTheSentenceSelected) {
  Open();
  Run({Submission("crit.txt", {testing::CleanRCA(), testing::PaidRCW(), MakeRecord("RCF")})});
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kCriticalStop);
  EXPECT_EQ(window->windowTitle(), "Records With Errors - crit.txt");
  EXPECT_EQ(Text("lblRecords"), "2 Record(s) Tested, 1 Record(s) with Error(s)");
  EXPECT_EQ(Text("lblErrors"), "Record Number 2 Error(s)");
  EXPECT_EQ(Text("DBGrid1Caption"), "Record(s)");
  EXPECT_EQ(Text("DBGrid2Caption"), "Lintaro Error(s) that Need to be Corrected");
  for (const char* shown : {"DBGrid1", "DBGrid2", "lblRecords", "lblErrors", "lblCritError",
                            "txtCritError"})
    EXPECT_TRUE(Visible(shown)) << shown;
  for (const char* hidden : {"imgWagemark", "lblWelcome", "lblRecCtr", "DBGrid3"})
    EXPECT_FALSE(Visible(hidden)) << hidden;

  auto* grid1 = Find<QTableView>("DBGrid1");
  ASSERT_EQ(grid1->model()->rowCount(), 1);
  EXPECT_EQ(Cell(grid1, 0, 0), "2");
  EXPECT_EQ(Cell(grid1, 0, 1), "1");
  EXPECT_TRUE(Cell(grid1, 0, 2).startsWith("RCW"));
  EXPECT_EQ(grid1->model()->headerData(2, Qt::Horizontal).toString(), "Record Data");
  EXPECT_EQ(grid1->model()->data(grid1->model()->index(0, 0), Qt::TextAlignmentRole).toInt(),
            Qt::AlignCenter);
  EXPECT_EQ(grid1->columnWidth(0), window->Twips(800));
  auto* grid2 = Find<QTableView>("DBGrid2");
  ASSERT_EQ(grid2->model()->rowCount(), 1);
  EXPECT_EQ(Cell(grid2, 0, 0), "Sequence of Records [Position 1 - 3]");
  EXPECT_EQ(Cell(grid2, 0, 1), "[RCW]");
  EXPECT_EQ(Cell(grid2, 0, 2), "Record 2 must be RCE record.");
  EXPECT_EQ(grid2->model()->headerData(1, Qt::Horizontal).toString(), "User Entry");

  auto* crit = Find<QPlainTextEdit>("txtCritError");
  const QString sentence =
      "Execution of Testing was terminated due to the Critical Error in Record 2:  Record 2 "
      "must be RCE record.";
  EXPECT_EQ(crit->toPlainText(), sentence);
  EXPECT_EQ(window->focusWidget(), crit);
  EXPECT_EQ(crit->textCursor().selectedText(), sentence);
  EXPECT_EQ(crit->textCursor().position(), 0);
  EXPECT_EQ(crit->textCursor().anchor(), sentence.size());

  EXPECT_TRUE(Button("cmdStart")->isEnabled());
  EXPECT_TRUE(Button("cmdView")->isEnabled());
  EXPECT_TRUE(Button("cmdErrors")->isEnabled());
  EXPECT_TRUE(Button("cmdPrint")->isEnabled());
  EXPECT_FALSE(Button("cmdGrid")->isEnabled());
  EXPECT_FALSE(Button("cmdLast")->isEnabled());
  EXPECT_TRUE(Action("mnuRCurrent")->isEnabled());
  EXPECT_TRUE(Action("mnuTPrint")->isEnabled());
  EXPECT_TRUE(Action("mnuVRErrors")->isEnabled());
  EXPECT_FALSE(Action("mnuRLast")->isEnabled());
  EXPECT_FALSE(window->busy());
}

TEST_F(WindowTest, TestedRecordsGrid) {
  Open();
  Run({Submission("crit.txt", {MakeRecord("RCA"), MakeRecord("RCW")})});
  Button("cmdView")->click();
  QApplication::processEvents();
  auto* grid3 = Find<QTableView>("DBGrid3");
  EXPECT_TRUE(grid3->isVisible());
  EXPECT_EQ(Text("DBGrid3Caption"), "2 Record(s) Tested");
  EXPECT_EQ(grid3->model()->rowCount(), 2);
  EXPECT_EQ(grid3->height() + Find<QLabel>("DBGrid3Caption")->height(), window->Twips(1510));
  EXPECT_EQ(grid3->currentIndex().row(), 0);
  EXPECT_EQ(window->windowTitle(), "Record Number 1 of 2 Tested Record(s) - crit.txt");
  EXPECT_FALSE(Visible("DBGrid1"));
  EXPECT_TRUE(Visible("lblFName"));
  EXPECT_EQ(Text("lblFData"), "Field Data");
  EXPECT_TRUE(Button("cmdGrid")->isEnabled());
  EXPECT_FALSE(Button("cmdView")->isEnabled());

  grid3->setCurrentIndex(grid3->model()->index(1, 0));
  ASSERT_NE(window->recordView()->viewer(), nullptr);
  EXPECT_EQ(window->recordView()->viewer()->rec_num(), 2);
  EXPECT_EQ(window->windowTitle(), "Record Number 2 of 2 Tested Record(s) - crit.txt");

  // Back to the grids.
  Button("cmdGrid")->click();
  EXPECT_TRUE(Visible("DBGrid1"));
  EXPECT_FALSE(Visible("DBGrid3"));
  EXPECT_FALSE(Visible("lblFName"));
}

// A results file with ordinary findings, as the record checks leave them.
void WriteFindings(const std::string& path) {
  auto db = ResultsDb::Create(path);
  db->InsertMisc("/data/first.txt", "12/06/2026");
  db->InsertMisc("/data/second.txt", "12/06/2026");
  const int errors[] = {0, 2, 0, 1, 0};
  for (int i = 0; i < 5; ++i) {
    RecordRow r;
    r.rec_num = i + 1;
    r.id = "RCW";
    r.errors = errors[i];
    r.record = MakeRecord("RCW");
    db->InsertRecord(r);
  }
  auto add = [&](int rec, const char* ref, const char* entry, const char* message) {
    ErrorRow e;
    e.rec_num = rec;
    e.reference = ref;
    e.user_entry = entry;
    e.error = message;
    db->InsertError(e);
  };
  add(2, "Employee Name [Position 40 - 54]", "[J\xF6rg]", "Letters only.");  // code page 1252
  add(2, "Tax Year [Position 4 - 7]", "[20X7]", "Must be numeric.");
  add(4, "Wages [Position 100 - 110]", "[ABC]", "Money fields must be numeric.");
}

TEST_F(WindowTest, LastResultsWithFindingsAndRowChange) {
  WriteFindings(ResultsPath());
  Open();
  Button("cmdLast")->click();
  QApplication::processEvents();
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(window->windowTitle(), "Records With Errors - second.txt");
  EXPECT_EQ(Text("lblRecords"), "5 Record(s) Tested, 2 Record(s) with Error(s)");
  EXPECT_EQ(Find<QPlainTextEdit>("txtCritError")->toPlainText(), "Not Applicable.");
  EXPECT_EQ(window->focusWidget(), Find<QTableView>("DBGrid1"));
  EXPECT_EQ(Text("lblErrors"), "Record Number 2 Error(s)");
  auto* grid2 = Find<QTableView>("DBGrid2");
  ASSERT_EQ(grid2->model()->rowCount(), 2);
  EXPECT_EQ(Cell(grid2, 0, 1), QString::fromUtf8("[J\xC3\xB6rg]"));  // stored UTF-8, shown as is

  auto* grid1 = Find<QTableView>("DBGrid1");
  grid1->setCurrentIndex(grid1->model()->index(1, 0));
  EXPECT_EQ(Text("lblErrors"), "Record Number 4");
  grid2 = Find<QTableView>("DBGrid2");
  ASSERT_EQ(grid2->model()->rowCount(), 1);
  EXPECT_EQ(Cell(grid2, 0, 2), "Money fields must be numeric.");

  EXPECT_FALSE(Button("cmdLast")->isEnabled());
  EXPECT_FALSE(Action("mnuTOpenLast")->isEnabled());
  EXPECT_FALSE(Action("mnuRLast")->isEnabled());
  EXPECT_TRUE(Button("cmdErrors")->isEnabled());
}

TEST_F(WindowTest, ReportLastReopensAndRequestsTheReport) {
  WriteFindings(ResultsPath());
  Open();
  std::vector<bool> requests;
  bool held = false;
  window->set_report_requester([&](bool print) {
    requests.push_back(print);
    // The report commands wait for the request to end.
    held = !Button("cmdErrors")->isEnabled() && !Button("cmdPrint")->isEnabled() &&
           !Action("mnuRCurrent")->isEnabled() && !Action("mnuTPrint")->isEnabled();
  });
  Action("mnuRLast")->trigger();
  EXPECT_TRUE(Visible("DBGrid1"));
  EXPECT_EQ(requests, std::vector<bool>{false});
  EXPECT_TRUE(held);
  EXPECT_TRUE(Button("cmdErrors")->isEnabled());
  Button("cmdPrint")->click();
  EXPECT_EQ(requests, (std::vector<bool>{false, true}));
  EXPECT_FALSE(Action("mnuRLast")->isEnabled());
}

TEST_F(WindowTest, ReportLastWithoutFindingsRequestsNoReport) {
  Open();
  int requests = 0;
  window->set_report_requester([&](bool) { ++requests; });
  Action("mnuRLast")->trigger();
  EXPECT_EQ(prompts.messages.back().text, "No Report Found!");
  EXPECT_EQ(requests, 0);
}

TEST_F(WindowTest, LastResultsWithoutResultsFile) {
  Open();
  Action("mnuTOpenLast")->trigger();  // the menu entry runs the same command
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Results");
  EXPECT_EQ(prompts.messages[0].text, "No Report Found!");
  EXPECT_EQ(prompts.messages[0].icon, Icon::kInformation);
  EXPECT_FALSE(Button("cmdLast")->isEnabled());
  EXPECT_FALSE(Action("mnuTOpenLast")->isEnabled());
  EXPECT_FALSE(Find<QMenu>("mnuVReport")->menuAction()->isEnabled());
  EXPECT_FALSE(Visible("txtDisclosure"));
  EXPECT_TRUE(Button("cmdStart")->isEnabled());
}

TEST_F(WindowTest, LastResultsWithEmptyRecordsTable) {
  {
    auto db = ResultsDb::Create(ResultsPath());
    db->InsertMisc("/data/binary.bin", "12/06/2026");
  }
  Open();
  Button("cmdLast")->click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Results");
  EXPECT_EQ(prompts.messages[0].text,
            "Unreadable data was found in the last File tested!\r\nPlease check to make sure "
            "that File entered contains ASCII Text only.");
  EXPECT_EQ(prompts.messages[0].icon, Icon::kExclamation);
  EXPECT_FALSE(Button("cmdLast")->isEnabled());
  EXPECT_FALSE(Button("cmdView")->isEnabled());
  EXPECT_FALSE(Find<QMenu>("mnuVRecords")->menuAction()->isEnabled());
  EXPECT_FALSE(Action("mnuRLast")->isEnabled());
}

TEST_F(WindowTest, LastResultsWithoutErrorsNamesEveryFile) {
  {
    auto db = ResultsDb::Create(ResultsPath());
    db->InsertMisc("/data/part1.txt", "12/06/2026");
    db->InsertMisc("/data/part2.txt", "12/06/2026");
    RecordRow r;
    r.rec_num = 1;
    r.id = "RCA";
    r.record = MakeRecord("RCA");
    db->InsertRecord(r);
  }
  Open();
  Button("cmdLast")->click();
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Last Report Results");
  EXPECT_EQ(prompts.messages[0].text, "No errors found in /data/part1.txt; /data/part2.txt");
  EXPECT_TRUE(Button("cmdView")->isEnabled());
  EXPECT_TRUE(Action("mnuVRAll")->isEnabled());
  EXPECT_FALSE(Action("mnuVRErrors")->isEnabled());
  EXPECT_FALSE(Button("cmdLast")->isEnabled());

  // Records > With Errors on these results: no findings to show.
  window->ViewRecordsWithErrors();
  EXPECT_EQ(prompts.messages.back().text,
            "No errors found in the submission within the scope of this program, as outlined "
            "in the User Manual.");
  EXPECT_EQ(prompts.messages.back().icon, Icon::kNone);
  EXPECT_FALSE(Visible("DBGrid1"));
}

TEST_F(WindowTest, MissingFinalRecordThenCancel) {
  Open();
  Run({Submission("part1.txt", {MakeRecord("RCA"), MakeRecord("RCE"), MakeRecord("RCW"),
                                MakeRecord("RCT")})});
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].title, "Missing Final Record");
  EXPECT_EQ(prompts.messages[0].icon, Icon::kExclamation);
  ASSERT_EQ(prompts.dialog_titles.size(), 2u);
  EXPECT_EQ(prompts.dialog_titles[1], "Please Enter Next File Name to be Tested");
  EXPECT_EQ(Find<QPlainTextEdit>("txtCritError")->toPlainText(),
            "Execution of Testing was terminated due to the Critical Error in Record 4:  "
            "Submission must not end with RCT record. RCF record was not found. Submission must "
            "end with a final record.");
}

TEST_F(WindowTest, MissingFinalRecordContinuesInTheNextFile) {
  Open();
  const std::string part1 =
      Submission("part1.txt", {testing::CleanRCA(), testing::CleanRCE(), testing::PaidRCW()});
  const std::string part2 =
      Submission("part2.txt", {testing::PaidRCT(1), testing::PaidRCF(1)});
  Run({part1, part2});
  ASSERT_EQ(prompts.Titles(), (std::vector<std::string>{"Missing Final Record", "Results"}));
  auto db = ResultsDb::Open(ResultsPath(), true);
  EXPECT_EQ(db->CountRecords(), 5);
  EXPECT_EQ(db->ReadMisc().size(), 2u);
}

TEST_F(WindowTest, FileNotFoundAsksAgain) {
  Open();
  Run({home.str() + "/no-such-file.txt"});
  EXPECT_EQ(prompts.Titles(),
            (std::vector<std::string>{"Submission File Not Found", "Submission File Name Error"}));
  // The dialog came again at once and was cancelled.
  EXPECT_EQ(prompts.dialog_titles.size(), 2u);
  EXPECT_TRUE(Button("cmdStart")->isEnabled());
}

TEST_F(WindowTest, ProgressAndBusyPointerDuringRun) {
  Open();
  const std::string file = Submission("big.txt", CleanRecords(3000));
  bool busy_seen = false, nested_refused = false;
  QString counter;
  double share = -1;
  window->set_record_observer([&](int32_t rec) {
    if (rec != 1500) return;
    window->RefreshProgress();
    counter = Text("lblRecCtr");
    share = double(Find<QLabel>("lblPrgrss1")->width()) / Find<QLabel>("lblPrgrss2")->width();
    busy_seen = window->busy() && QApplication::overrideCursor() != nullptr &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    // Starting another run from the menu during a run does nothing.
    EXPECT_FALSE(Action("mnuTStart")->isEnabled());
    EXPECT_FALSE(Action("mnuTSet")->isEnabled());
    EXPECT_FALSE(Button("cmdStart")->isEnabled());
    window->StartTesting();
    nested_refused = prompts.dialog_titles.size() == 1;
  });
  Run({file});
  EXPECT_EQ(counter, "Processing Record Number: 1500");
  EXPECT_GT(share, 0.45);
  EXPECT_LT(share, 0.55);
  EXPECT_TRUE(busy_seen);
  EXPECT_TRUE(nested_refused);
  EXPECT_FALSE(window->busy());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(window->last_summary().records_tested, 3004);
}

TEST_F(WindowTest, ExitDuringRunRecordsTestAborted) {
  Open();
  const std::string file = Submission("big.txt", CleanRecords(20000));
  bool clicked = false;
  window->set_record_observer([&](int32_t rec) {
    if (rec == 300 && !clicked) {
      clicked = true;
      // The click arrives through the window's event processing.
      QTimer::singleShot(0, Button("cmdExit"), &QPushButton::click);
    }
  });
  Run({file});
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kAborted);
  EXPECT_TRUE(prompts.messages.empty());

  auto db = ResultsDb::Open(ResultsPath(), true);
  const int64_t records = db->CountRecords();
  EXPECT_GE(records, 300);
  EXPECT_LT(records, 20004);
  auto last = db->ReadLastError();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->reference, "Test Aborted");
  EXPECT_EQ(last->user_entry, "Exit was chosen");
  EXPECT_EQ(last->error,
            "The last file did not complete testing because the Exit Button was selected while "
            "processing.");
  EXPECT_EQ(last->type, "");
  EXPECT_EQ(last->rec_num, records);
  EXPECT_EQ(db->ReadRecord(records)->errors, 1);
  EXPECT_EQ(db->CountErrors(), 1);
}

TEST_F(WindowTest, ExitAfterCompletedRunLeavesResultsUnchanged) {
  Open();
  Run({Submission("crit.txt", {MakeRecord("RCA"), MakeRecord("RCW")})});
  const std::string before = ReadAll(ResultsPath());
  Action("mnuTExit")->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ReadAll(ResultsPath()), before);
  window.reset();
  EXPECT_EQ(ReadAll(ResultsPath()), before);
}

}  // namespace
}  // namespace lintaro::testing
