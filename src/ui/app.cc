#include "ui/app.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "browse/window_texts.h"
#include "core/program_folder.h"
#include "core/version.h"
#include "ui/artwork.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/screenshot_tour.h"

namespace lintaro {
namespace {

ScreenMetrics g_metrics;

const char* kUsage =
    "Usage: lintaro [--home DIR] [--run FILE ...] [--screenshots DIR]\n"
    "  --home DIR         program folder (default: the executable's folder, or LINTARO_HOME)\n"
    "  --run FILE         test FILE (repeat for the next files of one submission) in the\n"
    "                     window without asking, print the time taken, and quit\n"
    "  --screenshots DIR  show the main views in turn and save them as PNG files in DIR\n"
    "Set LINTARO_UNATTENDED=1 to write message boxes to standard error instead.\n";

}  // namespace

const ScreenMetrics& Metrics() { return g_metrics; }

void RecordScreenMetrics() {
  if (QScreen* screen = QGuiApplication::primaryScreen())
    g_metrics.screen_width = screen->geometry().width();
  // The pointer's size as the desktop configures it.
  bool ok = false;
  const int size = qEnvironmentVariableIntValue("XCURSOR_SIZE", &ok);
  if (ok && size > 0) g_metrics.cursor_width = g_metrics.cursor_height = size;
}

QString InstanceLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder + "/lintaro-2007.lock";
}

bool AcquireInstanceLock(QLockFile& lock) {
  // A running copy holds the lock however long it runs; a copy that died
  // leaves a lock that is taken over.
  lock.setStaleLockTime(0);
  return lock.tryLock(0);
}

AppOptions ParseAppOptions(const QStringList& arguments) {
  AppOptions o;
  o.unattended = qEnvironmentVariableIntValue("LINTARO_UNATTENDED") != 0;
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    auto value = [&](const QString& name, QString& out) {
      if (a == name) {
        if (i + 1 >= arguments.size()) {
          o.problem = name + " needs a value";
          return true;
        }
        out = arguments[++i];
        return true;
      }
      if (a.startsWith(name + "=")) {
        out = a.mid(name.size() + 1);
        return true;
      }
      return false;
    };
    QString file;
    if (value("--home", o.home)) continue;
    if (value("--screenshots", o.screenshots)) continue;
    if (value("--run", file)) {
      if (!file.isEmpty()) o.run_files << file;
      continue;
    }
    if (a == "--help" || a == "-h") {
      o.help = true;
      continue;
    }
    o.problem = "unknown argument " + a;
  }
  if (!o.run_files.isEmpty() || !o.screenshots.isEmpty()) o.unattended = true;
  return o;
}

int RunApp(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kProgramName);
  QApplication::setApplicationVersion(QString::fromLatin1(kLintaroVersion));
  QApplication::setWindowIcon(ProgramIcon());

  const AppOptions options = ParseAppOptions(QApplication::arguments());
  if (options.help || !options.problem.isEmpty()) {
    if (!options.problem.isEmpty())
      std::fprintf(stderr, "lintaro: %s\n", options.problem.toUtf8().constData());
    std::fputs(kUsage, options.help ? stdout : stderr);
    return options.help ? 0 : 2;
  }

  QtPrompts screen_prompts;
  std::deque<std::string> files;
  for (const QString& f : options.run_files) files.push_back(ToStdString(f));
  UnattendedPrompts unattended(files);
  Prompts& prompts = options.unattended ? static_cast<Prompts&>(unattended) : screen_prompts;

  QLockFile lock(InstanceLockPath());
  if (!AcquireInstanceLock(lock)) {
    prompts.Message(kWindowTitle, kAlreadyRunning, Icon::kCritical, Buttons::kOk);
    return 1;
  }
  RecordScreenMetrics();

  const ProgramFolders folders = ResolveProgramFolders(
      ToStdString(QCoreApplication::applicationDirPath()), ToStdString(options.home),
      ToStdString(qEnvironmentVariable("LINTARO_HOME")),
      ToStdString(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
  if (!folders.problem.empty())
    prompts.Message(kWindowTitle, folders.problem, Icon::kExclamation, Buttons::kOk);

  SystemClock clock;
  MainWindow window(folders, prompts, clock);
  screen_prompts.set_parent(&window);
  window.show();

  if (!options.screenshots.isEmpty()) {
    QTimer::singleShot(0, &window, [&] {
      const bool ok = RunScreenshotTour(window, unattended, options.screenshots);
      window.close();
      QCoreApplication::exit(ok ? 0 : 1);
    });
  } else if (!options.run_files.isEmpty()) {
    QTimer::singleShot(0, &window, [&] {
      QElapsedTimer timer;
      timer.start();
      window.StartTesting();
      const double seconds = timer.nsecsElapsed() / 1e9;
      const RunSummary& s = window.last_summary();
      std::printf("Records tested: %lld\nErrors found: %lld\nWindow run: %.3f s\n",
                  static_cast<long long>(s.records_tested), static_cast<long long>(s.errors),
                  seconds);
      std::fflush(stdout);
      window.close();
    });
  }
  return app.exec();
}

}  // namespace lintaro
