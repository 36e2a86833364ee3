// The main window over real runs and results files: which commands each
// event leaves enabled, the captions it shows, and Exit during a run.
#include <sqlite3.h>
#include <sys/stat.h>

#include <QColor>
#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <thread>

#include "browse/commands.h"
#include "browse/window_texts.h"
#include "os/folder_lock.h"
#include "support/cli_runner.h"
#include "support/line_diff.h"
#include "support/pipe_release.h"
#include "support/recipe.h"
#include "ui/palette_colours.h"
#include "ui/progress_line.h"
#include "ui/record_view.h"
#include "window_fixture.h"

namespace lintaro::testing {
namespace {

const std::vector<WindowTest::Finding> kFindings = {
    {2, "Employee Name [Position 40 - 54]", "[J\xF6rg]", "Letters only."},  // code page 1252
    {2, "Tax Year [Position 4 - 7]", "[20X7]", "Must be numeric."},
    {4, "Wages [Position 100 - 110]", "[ABC]", "Money fields must be numeric."}};

// Leaves the results file as a check killed part-way does: its last batch
// in the rollback journal beside the file (the window must open the
// committed records, and none of the unfinished batch).
void KillCheckPartWay(const std::string& results) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(results.c_str(), &db), SQLITE_OK);
  // The run has not ended...
  sqlite3_exec(db, "UPDATE RUN SET Ending = NULL, Ended = NULL", nullptr, nullptr, nullptr);
  // A tiny cache makes the open batch spill pages into the file.
  sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN", nullptr, nullptr, nullptr);
  for (int i = 4; i < 400; ++i) {
    const std::string sql = "INSERT INTO RECORDS (Rec_Num, ID, Errors, Record) VALUES (" +
                            std::to_string(i) + ", 'RCW', 1, '" + std::string(1024, 'X') + "')";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  }
  // The process dies here: the file and its journal are what it leaves.
  for (const char* suffix : {"", "-journal"})
    std::filesystem::copy_file(results + suffix, results + ".killed" + suffix);
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  for (const char* suffix : {"", "-journal"})
    std::filesystem::rename(results + ".killed" + suffix, results + suffix);
}

// The window after each of the user's paths, written as a state file
// tests/ui/states/EVENT.state: the caption, the dialogs and message boxes
// shown, the widgets shown and their texts, the focus, the grids' and the
// viewer's rows and the commands enabled and disabled. LINTARO_UPDATE_GOLDEN=1 rewrites them.
class WindowStates : public WindowTest {
 protected:
  bool Enabled(const std::string& name) const {
    if (auto* menu = window->findChild<QMenu*>(name.c_str()))
      return menu->menuAction()->isEnabled();
    if (auto* action = window->findChild<QAction*>(name.c_str())) return action->isEnabled();
    const auto* widget = window->findChild<QWidget*>(name.c_str());
    return widget != nullptr && widget->isEnabled();
  }

  std::string State() const {
    std::string out = "title: " + window->windowTitle().toStdString() + "\n";
    for (const std::string& title : prompts.dialog_titles) out += "dialog: " + title + "\n";
    for (const ShownMessage& m : prompts.messages) out += "box: " + Escape(Describe(m)) + "\n";
    out += "shown:";
    for (const char* name :
         {"imgWagemark", "lblWelcome", "txtDisclosure", "lblRecCtr", "lblPrgrss1", "DBGrid1",
          "DBGrid2", "DBGrid3", "lblCritError", "txtCritError", "viewerArea"})
      if (window->findChild<QWidget*>(name)->isVisible()) out += std::string(" ") + name;
    out += "\n";
    for (const char* name :
         {"lblWelcome", "lblRecCtr", "lblRecords", "lblErrors", "DBGrid3Caption"}) {
      const auto* label = window->findChild<QLabel*>(name);
      if (label->isVisible())
        out += std::string(name) + ": " + Escape(Text(name).toStdString()) + "\n";
    }
    // The tested records: their rows and whether their header is drawn.
    if (const auto* grid3 = Find<QTableView>("DBGrid3"); grid3->isVisible())
      out +=
          "DBGrid3: " + std::to_string(grid3->model() != nullptr ? grid3->model()->rowCount() : 0) +
          " rows" + (grid3->horizontalHeader()->count() > 0 ? ", header" : ", no header") + "\n";
    const auto* crit = Find<QPlainTextEdit>("txtCritError");
    if (crit->isVisible()) out += "txtCritError: " + crit->toPlainText().toStdString() + "\n";
    if (QWidget* focus = window->focusWidget()) {
      out += "focus: " + focus->objectName().toStdString();
      if (focus == crit && crit->textCursor().selectedText() == crit->toPlainText())
        out += " (all selected)";
      out += "\n";
    }
    for (const char* name : {"DBGrid1", "DBGrid2"}) {  // the records' first 40 characters
      auto* grid = Find<QTableView>(name);
      if (!grid->isVisible()) continue;
      for (int row = 0; row < grid->model()->rowCount(); ++row) {
        out += name;
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
          QString cell = grid->model()->data(grid->model()->index(row, column)).toString();
          if (column == 2 && grid == Find<QTableView>("DBGrid1")) cell.truncate(40);
          out += " | " + Escape(cell.toUtf8().toStdString());
        }
        out += "\n";
      }
    }
    // The viewer's boxes, every one left (past the record's rows there
    // must be none); "marked" where the value box has the marked colour.
    const QColor plain = QLineEdit().palette().color(QPalette::Base);
    for (int i = 0; Visible("viewerArea") && window->record_view()->NameBox(i) != nullptr; ++i) {
      const QLineEdit* value = window->record_view()->ValueBox(i);
      const QColor back = value->palette().color(QPalette::Base);
      out += "row " + Escape(window->record_view()->NameBox(i)->text().toStdString()) + " | " +
             Escape(value->text().toStdString()) +
             (back == kMarkedFieldColour ? " | marked"
              : back == plain            ? ""
                                         : " | other colour") +
             "\n";
    }
    out += requests;
    std::string on = "enabled:", off = "disabled:";
    for (size_t c = 0; c < kCommandCount; ++c) {
      const std::string name(CommandName(static_cast<Command>(c)));
      (Enabled(name) ? on : off) += " " + name;
    }
    (Enabled("mnuVGoToRecord") ? on : off) += " mnuVGoToRecord";
    out += on + "\n" + off + "\n";
    for (size_t at = 0; (at = out.find(home.str(), at)) != std::string::npos;)
      out.replace(at, home.str().size(), "$home");
    return out;
  }
  std::string requests;  // the report requests the window made, and its commands during each
};

class WindowStateTest : public WindowStates, public ::testing::WithParamInterface<const char*> {
 protected:
  // A named pipe chosen as the submission is refused at once, and the last
  // results stay (View Last Test Results then shows them).
  void RunPipe() {
    const std::string pipe = home.str() + "/pipe.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string before = ReadWholeFile(ResultsPath());
    {
      PipeRelease guard(pipe);  // should the window wait on the pipe
      Run({pipe});
    }
    EXPECT_TRUE(ReadWholeFile(ResultsPath()) == before) << "the last results were replaced";
  }
  void Act(const std::string& event) {
    if (event.starts_with("LastWithErrors") || event == "ReportLastWithErrors" ||
        event == "PipeRefused")
      WriteResults({"/data/first.txt", "/data/second.txt"}, {"RCW", "RCW", "RCW", "RCW", "RCW"},
                   kFindings);
    if (event == "TestedOutOfReach") {  // a last record number no run reaches: damaged
      WriteResults({"/data/first.txt"}, {"RCA", "RCW"}, {{2, "r", "[u]", "m"}});
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(ResultsPath().c_str(), &db), SQLITE_OK);
      sqlite3_exec(db, "UPDATE RECORDS SET Rec_Num = 9223372036854775000 WHERE Rec_Num = 2",
                   nullptr, nullptr, nullptr);
      sqlite3_close(db);
    }
    if (event == "LastUnreadable") WriteResults({"/data/binary.bin"}, {});
    if (event == "LastInUse" || event == "ReportLastInUse" || event == "GridViewUnreadable")
      WriteResults({"/data/first.txt"}, {"RCW"}, {{1, "r", "[u]", "m"}});
    if (event == "LastKilled") {
      WriteResults({"/data/first.txt"}, {"RCW", "RCW", "RCW"}, {kFindings[0]});
      KillCheckPartWay(ResultsPath());
    }
    if (event == "LastNoErrors" || event == "GridViewNoErrors")
      WriteResults({"/data/part1.txt", "/data/part2.txt"}, {"RCA"});
    Open();
    if (event == "CleanRun") Run({Submission("clean.txt", CleanSubmission(3))});
    if (event == "NoValidData") Run({home.Write("empty.txt", "")});
    if (event == "HelpMissing") {
      std::filesystem::remove(folders.help_file);
      Action("mnuHContents")->trigger();
    }
    if (event == "FileNotFound") Run({home.str() + "/no-such-file.txt"});  // asked again: cancel
    if (event == "PipeRefused") RunPipe();
    if (event == "CriticalStop" || event == "RecordView")
      Run({Submission("crit.txt", {CleanRCA(), PaidRCW(), MakeRecord("RCF")})});
    if (event == "FolderInUse") {  // refused while another run holds the folder, then tested
      const std::string file = Submission("clean.txt", CleanSubmission(2));
      {
        FolderLock other = FolderLock::ForRun(home.str());
        Run({file});
      }
      Run({file});
    }
    if (event.starts_with("Viewer")) {  // the wage record's marks, then the employer record's
      ViewFaultyWageRecord("PAYROLL & CO.TXT");
      if (event == "ViewerEmployerRecord") SelectTested(1);
    }
    if (event == "RunWithFindings")
      Run({Submission("found.txt", {CleanRCA(), CleanRCE(), CleanRCW({{22, "J\tN"}, {188, "XX"}}),
                                    CleanRCT(1), FinalRecord(1)})});
    if (event == "RecordView") Button("cmdView")->click();
    if (event == "LastInUse") {  // a check elsewhere takes the folder: nothing more is read
      Button("cmdLast")->click();
      FolderLock other = FolderLock::ForRun(home.str());
      Action("mnuVRAll")->trigger();
      Button("cmdErrors")->click();
      Button("cmdPrint")->click();
      QApplication::processEvents();
      return;
    }
    if (event == "ReportLastInUse") {  // refused once: no report is asked for after it
      FolderLock other = FolderLock::ForRun(home.str());
      Action("mnuRLast")->trigger();
      QApplication::processEvents();
      return;
    }
    if (event.starts_with("Last") || event == "PipeRefused") Button("cmdLast")->click();
    if (event == "LastWithErrorsSecondRecord") {
      auto* grid1 = Find<QTableView>("DBGrid1");
      grid1->setCurrentIndex(grid1->model()->index(1, 0));
    }
    if (event == "ReportLastWithErrors") {  // no report window; the commands during each request
      window->set_report_requester([this](bool print) {
        requests += std::string(print ? "print" : "view") + " requested, cmdErrors " +
                    (Enabled("cmdErrors") ? "on" : "held") + ", mnuTPrint " +
                    (Enabled("mnuTPrint") ? "on" : "held") + "\n";
      });
      Action("mnuRLast")->trigger();
      Button("cmdPrint")->click();
    }
    if (event == "TestedThenNoErrors") {  // the tested records stay after "No errors found"
      Run({Submission("clean.txt", CleanSubmission(3))});
      Button("cmdView")->click();
      Button("cmdGrid")->click();
    }
    if (event == "GridViewNoErrors") {
      Button("cmdLast")->click();
      window->ViewRecordsWithErrors();
    }
    if (event == "TestedOutOfReach") window->ViewTestedRecords();
    if (event == "GridViewUnreadable") {  // removed, no database, its ending unreadable, damaged
      std::filesystem::remove(ResultsPath());
      window->ViewRecordsWithErrors();
      home.Write(kResultsFileName, "not a results database");
      window->ViewRecordsWithErrors();
      std::filesystem::remove(ResultsPath());
      WriteResults({"/data/first.txt"}, {"RCW"});
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(ResultsPath().c_str(), &db), SQLITE_OK);
      sqlite3_exec(db, "ALTER TABLE RUN RENAME COLUMN Ending TO Ended_How", nullptr, nullptr,
                   nullptr);
      sqlite3_close(db);
      window->ViewRecordsWithErrors();
      // A finding of a record the results do not hold: damaged, no grid.
      std::filesystem::remove(ResultsPath());
      WriteResults({"/data/first.txt"}, {"RCW"}, {{9, "r", "[u]", "m"}});
      window->ViewRecordsWithErrors();
    }
    QApplication::processEvents();
  }
};

TEST_P(WindowStateTest, AfterTheEvent) {
  Act(GetParam());
  EXPECT_FALSE(window->busy());
  ExpectUiFileHolds("states/" + std::string(GetParam()) + ".state", State());
}

INSTANTIATE_TEST_SUITE_P(
    Events, WindowStateTest,
    ::testing::Values("Opened", "CleanRun", "NoValidData", "FileNotFound", "CriticalStop",
                      "RunWithFindings", "RecordView", "LastWithErrors",
                      "LastWithErrorsSecondRecord", "LastNoReport", "LastUnreadable",
                      "LastNoErrors", "GridViewNoErrors", "GridViewUnreadable", "TestedOutOfReach",
                      "TestedThenNoErrors", "ReportLastWithErrors", "FolderInUse",
                      "ViewerWageRecord", "ViewerEmployerRecord", "LastKilled", "LastInUse",
                      "ReportLastInUse", "HelpMissing", "PipeRefused"),
    [](const auto& info) { return std::string(info.param); });

// The window during a run is in DuringRun.state: the counter moves, the
// commands are held, and Start Testing asks for no second file. The counter
// and bar a message of the run appears over are the run's last: a short run
// after a long one, and the first file of a submission when the next is asked for.
// Half-way through the file the bar can be seen: the part of its frame
// already filled is drawn in another colour than the part still empty. The
// run is started from the grid view: it shows the logo and the heading above
// the counter, as one started from the welcome does, not an empty block.
TEST_F(WindowStates, ProgressDuringTheRunAndTheLastRecordBeforeItsMessages) {
  WriteResults({"/data/first.txt"}, {"RCW", "RCW"}, {{1, "r", "[u]", "m"}});
  Open();
  Button("cmdLast")->click();
  auto share = [this] {
    return double(Find<QLabel>("lblPrgrss1")->width()) / Find<QLabel>("lblPrgrss2")->width();
  };
  // The window during the long run, busy with the wait cursor; then the title
  // and counter at each message of the runs, "full" where the bar is.
  std::string during;
  double middle = -1;
  QRgb filled = 0, empty = 0;
  window->set_record_observer([&](int32_t rec) {
    if (rec != 1500) return;
    window->RefreshProgress();
    middle = share();
    const QLabel* frame = Find<QLabel>("lblPrgrss2");
    const QImage line = window->progress_line()->grab().toImage();
    const int y = frame->geometry().center().y();
    filled = line.pixel(frame->x() + frame->width() / 4, y);
    empty = line.pixel(frame->x() + frame->width() * 3 / 4, y);
    const bool waiting = window->busy() && QApplication::overrideCursor() != nullptr &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    window->StartTesting();
    during = State() + (waiting ? "busy, wait cursor\n" : "not busy or no wait cursor\n");
  });
  prompts.on_message = [&](const ShownMessage& m) {
    EXPECT_TRUE(Find<QLabel>("lblPrgrss1")->isVisible()) << m.title;
    during += "message: " + m.title + " " + Text("lblRecCtr").toStdString() +
              (m.title == "Results" && share() == 1.0 ? " full" : "") + "\n";
  };
  Run({Submission("long.txt", CleanSubmission(3000))});
  EXPECT_NEAR(middle, 0.5, 0.05);
  EXPECT_NE(QColor(filled).name().toStdString(), QColor(empty).name().toStdString());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  window->set_record_observer(nullptr);
  Run({Submission("short.txt", CleanSubmission(36))});  // 40 records
  const std::vector<std::string> all = CleanSubmission(2);
  Run({Submission("part1.txt", {all.begin(), all.begin() + 3}),
       Submission("part2.txt", {all.begin() + 3, all.end()})});
  ExpectUiFileHolds("states/DuringRun.state", during);
}

// The letter after "&" in a caption, upper case, or 0.
QChar AccessLetter(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1].toUpper();
    ++i;
  }
  return {};
}

// The menu bar is reached from the keyboard: Alt with a menu's letter opens
// the menu even where a button is enabled, F10 and Alt alone open the first
// menu; no letter of the menu bar is also a control's.
TEST_F(WindowTest, KeyboardReachesTheMenuBar) {
  Open();
  Run({Submission("clean.txt", CleanSubmission(3))});  // every button caption is enabled
  QMenuBar* bar = window->menuBar();
  auto* test_menu = Find<QMenu>("mnuTest");
  std::map<QChar, QString> letters;
  for (QAction* menu : bar->actions()) letters[AccessLetter(menu->text())] = menu->text();
  for (auto* button : window->findChildren<QPushButton*>()) {
    const QChar letter = AccessLetter(button->text());
    EXPECT_FALSE(letters.contains(letter))
        << button->text().toStdString() << " and " << letters[letter].toStdString();
    letters[letter] = button->text();
  }
  auto opened = [&](const char* how) {
    QApplication::processEvents();
    QWidget* popup = QApplication::activePopupWidget();
    EXPECT_EQ(popup, test_menu) << how;
    if (popup != nullptr) popup->close();
    bar->setActiveAction(nullptr);
    QApplication::processEvents();
  };
  Button("cmdView")->setFocus();
  QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
  opened("Alt+T");
  QTest::keyClick(window.get(), Qt::Key_F10);
  opened("F10");
  Button("cmdView")->setFocus();
  QTest::keyPress(Button("cmdView"), Qt::Key_Alt, Qt::AltModifier);
  QTest::keyRelease(Button("cmdView"), Qt::Key_Alt);
  opened("Alt alone");
  // Alt with another key is no way into the menu bar.
  QTest::keyPress(Button("cmdView"), Qt::Key_Alt, Qt::AltModifier);
  QTest::keyClick(Button("cmdView"), Qt::Key_Q, Qt::AltModifier);
  QTest::keyRelease(Button("cmdView"), Qt::Key_Alt);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// Why testing stopped is read whole, at the window's first size, its
// smallest and a larger one: the box grows with its text, inside the area.
TEST_F(WindowTest, TheStoppingSentenceIsShownWhole) {
  {
    ResultsFixture results(home.path());
    results.File("/data/stopped.txt");
    results.Record(1, "RCW");
    std::string message = "The record is not a Korvel record.";
    for (int i = 0; i < 9; ++i) message += " Its first characters must name a record type.";
    results.Error(1, "Record Identifier [Position 1 - 3]", "[XYZ]", message, "C");
  }
  Open();
  Button("cmdLast")->click();
  auto* crit = Find<QPlainTextEdit>("txtCritError");
  const QWidget* area = Find<QWidget>("area");
  for (QSize size : {window->size(), window->minimumSize(), window->minimumSize() * 1.5}) {
    window->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(crit->verticalScrollBar()->maximum(), 0) << size.width() << "x" << size.height();
    EXPECT_LE(crit->geometry().bottom(), area->height()) << size.width();
    EXPECT_GT(crit->y(), Find<QWidget>("DBGrid2")->geometry().bottom());
  }
}

// Counts the paint events of each widget, by object name, while it lives,
// and keeps what they painted (in the widget's own coordinates).
class PaintCounter : public QObject {
 public:
  PaintCounter() { qApp->installEventFilter(this); }
  ~PaintCounter() override { qApp->removeEventFilter(this); }
  std::map<std::string, int> counts;
  std::map<std::string, QRegion> painted;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    const std::string name = object->objectName().toStdString();
    ++counts[name];
    painted[name] += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

// Once the run has been shown, only the counter and the bar (with the part
// of its frame the bar grew over) are painted, and no more often than the
// progress line's interval, however often the run hands the window its
// events: here at every record, with an interval longer than the run, so
// that the line is drawn again only when the file has been read.
TEST_F(WindowTest, ARunPaintsOnlyItsCounterAndBarAndNotAtEveryRoundOfEvents) {
  Open();
  window->progress_line()->set_paint_interval(std::chrono::hours(1));
  std::optional<PaintCounter> paints;
  window->set_record_observer([&](int32_t rec) {
    QApplication::processEvents();
    if (rec == 2) paints.emplace();
  });
  prompts.on_message = [&](const ShownMessage&) {
    std::string seen;
    for (const auto& [name, count] : paints->counts)
      seen += name + " " + std::to_string(count) + "\n";
    EXPECT_EQ(seen, "lblPrgrss1 1\nlblPrgrss2 1\nlblRecCtr 1\nprogressLine 1\n");
    paints.reset();
  };
  Run({Submission("clean.txt", CleanSubmission(2000))});
  EXPECT_FALSE(paints.has_value());  // the run's message was shown
}

// A new count drawn by the timer repaints the counter's text and the strip
// the bar grew by since it was last drawn, not the whole counter line and
// bar: at a screen scale of 2 each pixel repainted is four.
TEST_F(WindowTest, ACountDrawnRepaintsTheCounterTextAndTheBarsNewStripAlone) {
  Open();
  ProgressLine* line = window->progress_line();
  line->set_paint_interval(std::chrono::hours(1));
  // Draws what waits as the timer does, and paints it.
  auto draw_by_timer = [line] {
    line->set_paint_interval(std::chrono::milliseconds(0));
    QTest::qWait(20);
    line->set_paint_interval(std::chrono::hours(1));
    QApplication::processEvents();
  };
  const auto* counter = Find<QLabel>("lblRecCtr");
  const auto* frame = Find<QLabel>("lblPrgrss2");
  const auto* bar = Find<QLabel>("lblPrgrss1");
  int bar_before = 0;
  std::optional<PaintCounter> paints;
  window->set_record_observer([&](int32_t rec) {
    QApplication::processEvents();
    if (rec == 1000) {
      draw_by_timer();
      bar_before = bar->width();
    } else if (rec == 1500) {
      paints.emplace();
      draw_by_timer();
      ASSERT_GT(bar->width(), bar_before);
      const QRect strip(bar_before, 0, bar->width() - bar_before, bar->height());
      EXPECT_EQ(paints->painted["lblPrgrss1"] - strip, QRegion())
          << "bar " << paints->painted["lblPrgrss1"].boundingRect().width();
      EXPECT_EQ(paints->painted["lblPrgrss2"] - strip, QRegion())
          << "frame " << paints->painted["lblPrgrss2"].boundingRect().width();
      // The counter: no wider than the longest count, and a character more.
      const QFontMetrics metrics = counter->fontMetrics();
      const QString longest = ToQString(ProcessingRecordText(INT32_MAX));
      const QRect text(0, 0, metrics.horizontalAdvance(longest) + metrics.height(),
                       counter->height());
      EXPECT_EQ(paints->painted["lblRecCtr"] - text, QRegion())
          << "counter " << paints->painted["lblRecCtr"].boundingRect().width();
      const QRegion line_drawn =
          QRegion(text.translated(counter->pos())) + QRegion(strip.translated(frame->pos()));
      EXPECT_EQ(paints->painted["progressLine"] - line_drawn, QRegion())
          << "line " << paints->painted["progressLine"].boundingRect().width();
      EXPECT_EQ(paints->counts["lblRecCtr"], 1);
      // Shown whole, where the line is wide enough.
      EXPECT_GE(counter->width(),
                std::min(line->width(), metrics.horizontalAdvance(counter->text())));
      paints.reset();
      // On the screen the bar's colour fills the strip, and the frame's
      // stays beyond it.
      const QImage screen = window->screen()->grabWindow(window->winId()).toImage();
      const QPoint in_strip = frame->mapTo(window.get(), strip.center());
      const QPoint beyond =
          frame->mapTo(window.get(), QPoint(frame->width() * 7 / 8, strip.center().y()));
      const qreal ratio = screen.devicePixelRatio();
      EXPECT_EQ(QColor(screen.pixel(in_strip * ratio)).name().toStdString(), "#1f4e8c");
      EXPECT_EQ(QColor(screen.pixel(beyond * ratio)).name().toStdString(), "#ffffff");
    }
  });
  Run({Submission("clean.txt", CleanSubmission(3000))});
  EXPECT_GT(bar_before, 0);
}

// Results another check (lintaro-cli, another window) replaces while the
// views show them: the next row chosen, Go to Record or a row scrolled into
// view says so, and the views let go of them, rather than show records of
// one check under the rows of the other; a view opened again shows the new
// results, in the grid and the viewer alike. Results deleted are told as
// deleted. Written in
// tests/ui/traces/replaced_results.trace.
TEST_F(WindowStates, ViewsOfReplacedResultsSaySoAndMixNothing) {
  int generation = 0;
  auto replace = [&](int records, std::vector<Finding> findings) {
    std::filesystem::remove(ResultsPath());
    WriteResults({"/data/check" + std::to_string(++generation) + ".txt"},
                 std::vector<std::string>(static_cast<size_t>(records), "RCF"), findings);
  };
  std::string trace;
  auto note = [&](const std::string& step) {
    QApplication::processEvents();
    trace += "== " + step + "\n" + State();
    prompts.messages.clear();
  };
  replace(6, {{3, "r", "[a]", "m"}, {5, "r", "[b]", "m"}});
  Open();
  Button("cmdLast")->click();
  Button("cmdView")->click();
  SelectTested(1);
  replace(3, {{2, "r", "[c]", "m"}});
  SelectTested(2);
  note("record view, replaced, a tested record chosen");
  window->ViewTestedRecords();
  SelectTested(2);
  note("record view opened again");
  replace(4, {});
  window->set_record_number_asker(
      [](int64_t, const std::function<bool(int64_t)>& accept) -> std::optional<int64_t> {
        return accept(2) ? std::optional<int64_t>(2) : std::nullopt;
      });
  window->GoToRecord();
  note("record view, replaced, Go to Record");
  replace(5, {{1, "r", "[d]", "m"}, {4, "r", "[e]", "m"}});
  window->ViewRecordsWithErrors();
  prompts.messages.clear();
  replace(2, {{2, "r", "[f]", "m"}});
  auto* grid1 = Find<QTableView>("DBGrid1");
  grid1->setCurrentIndex(grid1->model()->index(1, 0));
  note("grid view, replaced, a record with errors chosen");
  // Rows past those read so far are read as the grid scrolls to them.
  replace(300, {});
  window->ViewTestedRecords();
  replace(2, {});
  auto* grid3 = Find<QTableView>("DBGrid3");
  QAbstractItemModel* rows = grid3->model();
  grid3->scrollToBottom();
  grid3->viewport()->repaint();
  EXPECT_TRUE(rows->data(rows->index(299, 0)).isNull());  // not read from the old file
  QApplication::processEvents();
  note("record view, replaced, rows scrolled into view");
  // Results deleted, not replaced, say so.
  window->ViewTestedRecords();
  SelectTested(0);
  std::filesystem::remove(ResultsPath());
  SelectTested(1);
  note("record view, deleted, a tested record chosen");
  ExpectUiFileHolds("traces/replaced_results.trace", trace);
}

// Tab follows the screen, in the grid view and in the record view (the
// viewer's rows between the tested records and the commands), both ways:
// written in tests/ui/traces/tab_order.trace.
TEST_F(WindowTest, TabFollowsTheScreen) {
  Open();
  Run({Submission("crit.txt", {CleanRCA(), PaidRCW(), MakeRecord("RCF")})});
  std::string trace;
  auto walk = [&](const char* view, const char* from, int steps, bool back) {
    Find<QWidget>(from)->setFocus();
    trace += std::string(view) + (back ? ", Shift+Tab:" : ", Tab:") + " " + from;
    for (int i = 0; i < steps; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                      back ? Qt::ShiftModifier : Qt::NoModifier);
      trace += " " + QApplication::focusWidget()->objectName().toStdString();
    }
    trace += "\n";
  };
  walk("grid view", "DBGrid1", 10, false);
  walk("grid view", "cmdStart", 4, true);
  Button("cmdView")->click();
  SelectTested(0);
  walk("record view", "DBGrid3", 4, false);
  walk("record view", "cmdStart", 3, true);
  ExpectUiFileHolds("traces/tab_order.trace", trace);
}

// On a dark desktop with its font at 200%, every text the window colours
// itself still reads: the heading, the stopping sentence and the values of
// fields in error on their light yellow (contrast of at least 4.5 to 1); and
// every caption, heading and label of the window is as large as its text
// needs. Under a dark style sheet the fields in error stay yellow.
TEST_F(WindowTest, ADarkDesktopAtTwiceTheFontLeavesEveryTextReadableAndWhole) {
  const QPalette light = QApplication::palette();
  QPalette dark = light;
  for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
    dark.setColor(role, QColor(0x20, 0x20, 0x24));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    dark.setColor(role, QColor(0xe8, 0xe8, 0xe8));
  QApplication::setPalette(dark);
  const QFont normal = QApplication::font();
  QFont twice = normal;
  twice.setPointSizeF(normal.pointSizeF() * 2);
  QApplication::setFont(twice);
  Open();
  auto readable = [](const QWidget* w, QPalette::ColorRole text, QPalette::ColorRole back) {
    return ContrastRatio(w->palette().color(text), w->palette().color(back));
  };
  auto fits = [&](const char* name) {
    const QWidget* w = Find<QWidget>(name);
    const QSize needed = w->sizeHint();
    EXPECT_GE(w->height(), needed.height()) << name;
    if (qobject_cast<const QPushButton*>(w) != nullptr) {
      EXPECT_GE(w->width(), needed.width()) << name;
    }
  };
  EXPECT_GE(readable(Find<QLabel>("lblWelcome"), QPalette::WindowText, QPalette::Window), 4.5);
  for (const char* name : {"lblWelcome", "cmdStart", "cmdView", "cmdGrid", "cmdErrors", "cmdPrint",
                           "cmdLast", "cmdExit"})
    fits(name);
  Run({Submission("crit.txt", {CleanRCA(), PaidRCW(), MakeRecord("RCF")})});
  EXPECT_GE(readable(Find<QPlainTextEdit>("txtCritError"), QPalette::Text, QPalette::Base), 4.5);
  for (const char* name :
       {"lblRecords", "DBGrid1Caption", "lblErrors", "DBGrid2Caption", "lblCritError"})
    fits(name);
  ViewFaultyWageRecord("wage.txt");
  int marked = 0;
  for (int i = 0; window->record_view()->ValueBox(i) != nullptr; ++i) {
    const QLineEdit* value = window->record_view()->ValueBox(i);
    marked += value->palette().color(QPalette::Base) == kMarkedFieldColour;
    EXPECT_GE(readable(value, QPalette::Text, QPalette::Base), 4.5) << i;
  }
  EXPECT_GT(marked, 0);
  window.reset();
  QApplication::setPalette(light);
  QApplication::setFont(normal);

  // A dark style sheet (lintaro -stylesheet) paints over the palette: the
  // fields in error are still drawn in yellow.
  qApp->setStyleSheet("QWidget { background-color: #1e1e1e; color: #e0e0e0; }");
  Open();
  ViewFaultyWageRecord("wage.txt");
  QLineEdit* state = window->record_view()->ValueBox(12);  // State Abbreviation, in error
  const QImage drawn = state->grab().toImage();
  EXPECT_TRUE(state->accessibleDescription().contains("in error"));
  EXPECT_EQ(drawn.pixelColor(drawn.width() - 4, drawn.height() / 2), kMarkedFieldColour);
  window.reset();
  qApp->setStyleSheet(QString());
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
    // The window processes its events only every few milliseconds of a run;
    // records are slowed until it has taken the click, however fast the
    // machine checks them.
    if (clicked && window->isVisible()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  Run({Submission("big.txt", CleanSubmission(20000))});
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->last_summary().outcome, RunOutcome::kAborted);
  EXPECT_TRUE(prompts.messages.empty());  // what the run records of the abort: tests/run
}

}  // namespace
}  // namespace lintaro::testing
