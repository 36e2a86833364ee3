// lintaro-screenshot-tour: the desktop program's views as PNG files, for
// scripts/screenshots. It opens the real main window over a program folder
// and takes the tour (screenshot_tour.h) in it.
//
//   lintaro-screenshot-tour HOME PICTURES
#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <cstdio>

#include "browse/window_texts.h"
#include "os/program_folder.h"
#include "platform/platform.h"
#include "tools/screenshot_tour/screenshot_tour.h"
#include "tools/screenshot_tour/tour_desktop.h"
#include "ui/artwork.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/screen_metrics.h"

int main(int argc, char** argv) {
  using namespace lintaro;
  QApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 3) {
    std::fputs("usage: lintaro-screenshot-tour HOME PICTURES\n", stderr);
    return 2;
  }
  QApplication::setApplicationName(kProgramName);
  QApplication::setWindowIcon(ProgramIcon());

  const ProgramFolders folders =
      ResolveProgramFolders(ToStdString(QCoreApplication::applicationDirPath()),
                            ToStdString(arguments[1]), "", PerUserDataFolder());
  if (!folders.problem.empty()) {
    std::fprintf(stderr, "lintaro-screenshot-tour: %s\n", folders.problem.c_str());
    return 1;
  }
  ApplyTourDesktop();
  UnattendedPrompts prompts;
  SystemClock clock;
  MainWindow window(folders, prompts, clock, MeasureScreenMetrics());
  window.show();
  QTimer::singleShot(0, &window, [&window, &prompts, pictures = arguments[2]] {
    const bool ok = RunScreenshotTour(window, prompts, pictures);
    window.close();
    QCoreApplication::exit(ok ? 0 : 1);
  });
  return QApplication::exec();
}
