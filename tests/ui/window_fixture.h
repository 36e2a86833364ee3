// A main window over a temporary program folder, with scripted dialogs.
#ifndef LINTARO_TESTS_UI_WINDOW_FIXTURE_H_
#define LINTARO_TESTS_UI_WINDOW_FIXTURE_H_

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/error_limit.h"
#include "os/path.h"
#include "os/program_folder.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/fakes.h"
#include "support/line_diff.h"
#include "support/results_fixture.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/window_placement.h"

namespace lintaro::testing {

// Runs answer on the first modal dialog of type T shown from now on (a
// real message box or file dialog that a command opens).
template <class T>
void WhenModal(std::function<void(T*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      answer(modal);
    }
  });
  timer->start();
}

// Adds a failure unless tests/ui/relative holds text (LINTARO_UPDATE_GOLDEN=1
// rewrites it).
inline void ExpectUiFileHolds(const std::string& relative, const std::string& text) {
  ExpectFileHolds(std::string(LINTARO_SOURCE_DIR) + "/tests/ui/" + relative, text);
}

class WindowTest : public ::testing::Test {
 public:
  // A finding for WriteResults.
  struct Finding {
    int rec;
    std::string reference, entry, message;
  };

 protected:
  // Creates and shows the window (after the test has prepared the folder),
  // asking through with (the scripted prompts unless given).
  MainWindow& Open(Prompts* with = nullptr) {
    folders = ResolveProgramFolders(home.str(), "", "", "");
    if (!keep_placement) QFile::remove(WindowPlacement::DefaultFile());  // a first start
    window = std::make_unique<MainWindow>(folders, with ? *with : prompts, clock, metrics);
    window->show();
    QApplication::processEvents();
    return *window;
  }

  template <class T>
  T* Find(const char* name) const {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
  QAction* Action(const char* name) const { return Find<QAction>(name); }
  QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
  bool Visible(const char* name) const { return Find<QWidget>(name)->isVisible(); }

  // A submission file in the program folder; each record is followed by CR LF.
  std::string Submission(const std::string& name, const std::vector<std::string>& records) {
    return home.Write(name, JoinRecords(records));
  }
  // Tests a submission (named name) of one employee whose RCW (record 3)
  // has several faulty fields, among them State Abbreviation (row 12 in the
  // viewer) and a Location Address with a tab, and shows that record in the
  // record view.
  void ViewFaultyWageRecord(const std::string& name) {
    Run({Submission(name, {CleanRCA(), CleanRCE(),
                           CleanRCW({{122, "300\tELM"},
                                     {188, "XX"},
                                     {244, Cents(1000)},
                                     {255, Cents(1000)},
                                     {266, Cents(100)},
                                     {277, "0000001000A"},
                                     {574, Cents(5)},
                                     {585, Cents(6)}}),
                           CleanRCT(1), FinalRecord(1)})});
    Button("cmdView")->click();
    SelectTested(2);
  }
  // Makes row of the tested-records grid current (the viewer shows it).
  void SelectTested(int row) {
    auto* grid3 = Find<QTableView>("DBGrid3");
    grid3->setCurrentIndex(grid3->model()->index(row, 0));
    QApplication::processEvents();
  }
  std::string ResultsPath() const { return JoinPath(home.str(), kResultsFileName); }

  // Runs the Start command with the given files handed out by the dialog.
  void Run(const std::vector<std::string>& files) {
    for (const auto& f : files) prompts.files.push_back(f);
    Button("cmdStart")->click();
    QApplication::processEvents();
  }

  // A results file as a run leaves it: the files tested, one record per
  // ID numbered from 1, and the findings, each counted on its record.
  void WriteResults(const std::vector<std::string>& files, const std::vector<std::string>& ids,
                    const std::vector<Finding>& findings = {}) {
    ResultsFixture results(home.path());
    for (const auto& f : files) results.File(f);
    for (size_t i = 0; i < ids.size(); ++i) results.Record(static_cast<int64_t>(i + 1), ids[i]);
    for (const auto& f : findings) results.Error(f.rec, f.reference, f.entry, f.message);
  }

  TempDir home;
  bool keep_placement = false;  // Open restores the place the last window saved
  ScriptedPrompts prompts;
  FixedClock clock;
  ProgramFolders folders;
  ScreenMetrics metrics;  // as the window gets them: set before Open
  std::unique_ptr<MainWindow> window;
};

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_UI_WINDOW_FIXTURE_H_
