// Times the desktop program's record grids over the results of a large
// check, on Qt's offscreen platform: "View Tested Records" (the grid and
// the first record in the viewer), Ctrl+End, the scroll bar dragged to the
// end, Go to Record, and a walk of page after page; and the program's
// resident memory after each step.
//
//   grid_bench HOME      (HOME: a program folder holding ERRLOG2C.MDB)
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <cstdio>
#include <string>

#include "os/program_folder.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/screen_metrics.h"

namespace {

// Resident memory of this process in MiB, from /proc/self/statm.
double ResidentMiB() {
  QFile statm("/proc/self/statm");
  if (!statm.open(QIODevice::ReadOnly)) return -1;
  const QList<QByteArray> fields = statm.readAll().split(' ');
  if (fields.size() < 2) return -1;
  return fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0);
}

void Report(const char* step, const QElapsedTimer& timer) {
  std::printf("%-34s %9.3f s %9.1f MiB\n", step, timer.nsecsElapsed() / 1e9, ResidentMiB());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: grid_bench HOME\n");
    return 2;
  }
  QApplication app(argc, argv);
  const lintaro::ProgramFolders folders = lintaro::ResolveProgramFolders(argv[1], "", "", "");
  lintaro::UnattendedPrompts prompts;
  lintaro::SystemClock clock;
  lintaro::MainWindow window(folders, prompts, clock, lintaro::MeasureScreenMetrics());
  window.resize(1152, 921);
  window.show();
  QApplication::processEvents();
  std::printf("%-34s %11s %13s\n", "step", "time", "resident");
  QElapsedTimer timer;
  timer.start();
  Report("window shown", timer);

  timer.restart();
  window.ViewTestedRecords();
  QApplication::processEvents();
  Report("View Tested Records", timer);
  auto* grid = window.findChild<QTableView*>("DBGrid3");
  if (grid == nullptr || grid->model() == nullptr) return 1;
  std::printf("rows in the grid: %d\n", grid->model()->rowCount());

  timer.restart();
  QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
  QApplication::processEvents();
  Report("Ctrl+End (last record shown)", timer);

  timer.restart();
  grid->verticalScrollBar()->setValue(0);
  QApplication::processEvents();
  grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
  QApplication::processEvents();
  Report("scroll bar to the top and the end", timer);

  const int middle = grid->model()->rowCount() / 2;
  window.set_record_number_asker([&](int64_t, const std::function<bool(int64_t)>& accept) {
    return accept(middle + 1) ? std::optional<int64_t>(middle + 1) : std::nullopt;
  });
  timer.restart();
  window.GoToRecord();
  QApplication::processEvents();
  Report("Go to Record (the middle one)", timer);

  // Page after page from the top: memory must not grow with the rows seen.
  QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
  for (int walk : {2000, 8000}) {
    timer.restart();
    for (int i = 0; i < walk; ++i) {
      QTest::keyClick(grid, Qt::Key_PageDown);
      if (i % 50 == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    Report(walk == 2000 ? "2,000 pages down" : "8,000 pages further down", timer);
  }
  std::printf("last record shown: %s\n", window.windowTitle().toUtf8().constData());
  return 0;
}
