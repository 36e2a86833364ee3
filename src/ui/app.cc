#include "ui/app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "browse/window_texts.h"
#include "core/tax_year.h"
#include "core/version.h"
#include "os/program_folder.h"
#include "reports/outcome.h"
#include "run/run_ending.h"
#include "ui/artwork.h"
#include "ui/handed_files.h"
#include "ui/main_window.h"
#include "ui/qt_platform.h"
#include "ui/signal_stop.h"

namespace lintaro {
namespace {

constexpr auto kUsage =
    "Usage: lintaro [--home DIR] [FILE...]\n"
    "Tests files of corrected wage and tax statements of tax year " +
    kTaxYearText +
    " (Korvel format)\n"
    "in a window, and shows the errors found and the error report.\n"
    "\n"
    "With FILE, testing starts at once, as Start Testing does with that file chosen;\n"
    "several FILEs are the successive files of one submission. A file dropped on the\n"
    "window is tested the same way.\n"
    "\n"
    "Options:\n"
    "  --home DIR     keep the results file ERRLOG2C.MDB and the error-limit setting\n"
    "                 ErrSetLog.ini in DIR (the program folder)\n"
    "  -h, --help     display this help and exit\n"
    "  --version      display the version and exit\n"
    "\n"
    "Environment:\n"
    "  LINTARO_HOME        the program folder when --home is not given; without\n"
    "                      either, an installed copy keeps its files in\n"
    "                      $XDG_DATA_HOME/Lintaro (~/.local/share/Lintaro), and a copy\n"
    "                      run from its build folder in that folder\n"
    "  LINTARO_UNATTENDED  when 1, message boxes are written to standard error\n"
    "                      instead of being shown\n";

// Options of the window system that the application object reads itself.
constexpr const char* kToolkitValueOptions[] = {"platform",        "platformtheme", "display",
                                                "geometry",        "style",         "stylesheet",
                                                "qwindowgeometry", "qwindowtitle"};

void AddHidden(QCommandLineParser& parser, QCommandLineOption option) {
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(option);
}

}  // namespace

QString InstanceLockPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  return folder + "/lintaro-" + kTaxYearText.c_str() + ".lock";
}

bool AcquireInstanceLock(QLockFile& lock) {
  // A running copy holds the lock however long it runs; a copy that died
  // leaves a lock that is taken over.
  lock.setStaleLockTime(0);
  return lock.tryLock(0);
}

QString AppHelpText() { return QString::fromUtf8(kUsage.c_str()); }

QString AppVersionText() { return "lintaro " + QString::fromLatin1(kLintaroVersion); }

AppOptions ParseAppOptions(const QStringList& arguments) {
  AppOptions o;
  o.unattended = qEnvironmentVariableIntValue("LINTARO_UNATTENDED") != 0;
  QCommandLineParser parser;
  // "-platform xcb" as the window system writes its options.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption home("home", "", "DIR");
  const QCommandLineOption help(QStringList{"h", "help"});
  const QCommandLineOption version("version");
  const QCommandLineOption run("run", "", "FILE");
  parser.addOptions({home, help, version, run});
  for (const char* name : kToolkitValueOptions) AddHidden(parser, {name, "", "VALUE"});
  AddHidden(parser, QCommandLineOption("reverse"));
  if (!parser.parse(arguments)) {
    o.problem = parser.errorText();
    return o;
  }
  o.help = parser.isSet(help);
  o.version = parser.isSet(version);
  o.home = parser.value(home);
  if (parser.isSet(home) && o.home.isEmpty()) o.problem = "--home needs a folder";
  for (const QString& file : parser.values(run))
    if (!file.isEmpty()) o.run_files << file;
  o.files = parser.positionalArguments();
  if (!o.files.isEmpty() && !o.run_files.isEmpty()) o.problem = "FILE cannot be given with --run";
  if (!o.run_files.isEmpty()) o.unattended = true;
  return o;
}

namespace {

// Standard output written to its end: status, or 2 with a word on standard
// error where it could not be (a full disk, a pipe whose reader is gone).
int FlushedStandardOutput(int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
  std::fprintf(stderr, "lintaro: write error: %s\n",
               std::generic_category().message(errno).c_str());
  return 2;
}

// --help, --version and usage errors, answered before any window exists.
// Returns the exit status, or nothing when the program goes on.
std::optional<int> AnswerWithoutWindow(const AppOptions& options) {
  if (!options.problem.isEmpty()) {
    std::fprintf(stderr, "lintaro: %s\nTry 'lintaro --help'.\n",
                 options.problem.toLocal8Bit().constData());
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage.c_str(), stdout);
    return FlushedStandardOutput(0);
  }
  if (options.version) {
    std::printf("%s\n", AppVersionText().toLocal8Bit().constData());
    return FlushedStandardOutput(0);
  }
  return std::nullopt;
}

// The status of an unattended run, as lintaro-cli check gives it: 0 tested
// to the end without findings, 1 findings, 2 no verdict (the run failed,
// was stopped, found no records or had no file to test).
int UnattendedRunStatus(ReportedOutcome outcome) {
  switch (outcome) {
    case ReportedOutcome::kClean:
      return 0;
    case ReportedOutcome::kFindings:
    case ReportedOutcome::kErrorLimit:
    case ReportedOutcome::kCriticalStop:
      return 1;
    case ReportedOutcome::kAborted:
    case ReportedOutcome::kNoValidData:
    case ReportedOutcome::kFailed:
    case ReportedOutcome::kIncomplete:
      break;
  }
  return 2;
}

// Seconds with three decimals and a decimal point: printf would take the
// point from the locale that QApplication set from the environment.
std::string SecondsText(double seconds) {
  char text[32];
  const auto [end, ec] =
      std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 3);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

// The unattended run of the --run files: prints its counts and time, sets
// the program's status from how it ended and closes the window at the end.
// Counts of a run that did not reach its end are said to be no verdict.
void ScheduleUnattendedRun(MainWindow& window, int& status) {
  QTimer::singleShot(0, &window, [&window, &status] {
    QElapsedTimer timer;
    timer.start();
    window.StartTesting();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const RunSummary& s = window.last_summary();
    const ReportedOutcome outcome = OutcomeOfRun(s);
    status = UnattendedRunStatus(outcome);
    if ((outcome == ReportedOutcome::kFailed || outcome == ReportedOutcome::kAborted) &&
        s.records_tested > 0)
      std::printf("%s\n", UnfinishedRunNotice(s.records_tested).c_str());
    std::printf("Records tested: %lld\nErrors found: %lld\nWindow run: %s s\n",
                static_cast<long long>(s.records_tested), static_cast<long long>(s.errors),
                SecondsText(seconds).c_str());
    status = FlushedStandardOutput(status);
    window.close();
  });
}

}  // namespace

int RunApp(int argc, char** argv) {
  QStringList arguments;
  // As given, whatever their encoding: file names go back to bytes unchanged.
  for (int i = 0; i < argc; ++i) arguments << ToQString(argv[i]);
  const AppOptions options = ParseAppOptions(arguments);
  if (std::optional<int> status = AnswerWithoutWindow(options)) return *status;

  QApplication app(argc, argv);
  // QApplication takes the user's locale from the environment. The system's
  // reasons in our messages ("No space left on device") stay in the words
  // of the rest of the message, as lintaro-cli gives them: in another
  // language they would also come in its character set, which a message
  // box does not read.
  std::setlocale(LC_MESSAGES, "C");
  QApplication::setApplicationName(kProgramName);
  QApplication::setApplicationVersion(QString::fromLatin1(kLintaroVersion));
  QApplication::setWindowIcon(ProgramIcon());

  QtPrompts screen_prompts;
  std::deque<std::string> run_files;
  for (const QString& f : options.run_files) run_files.push_back(ToStdString(f));
  UnattendedPrompts unattended(run_files);
  HandedFilePrompts prompts(options.unattended ? static_cast<Prompts&>(unattended)
                                               : screen_prompts);

  QLockFile lock(InstanceLockPath());
  if (!AcquireInstanceLock(lock)) {
    if (lock.error() == QLockFile::LockFailedError) {
      prompts.Message(kWindowTitle, kAlreadyRunning, Icon::kCritical, Buttons::kOk);
      // An unattended run's status is its verdict: here nothing was tested.
      return options.run_files.isEmpty() ? 1 : 2;
    }
    // No copy holds it: it could not be made (a folder missing or read-only).
    prompts.Message(kWindowTitle, InstanceLockProblem(ToStdString(InstanceLockPath())),
                    Icon::kCritical, Buttons::kOk);
    return 2;
  }

  const ProgramFolders folders = ResolveProgramFolders(
      ToStdString(QCoreApplication::applicationDirPath()), ToStdString(options.home),
      ToStdString(qEnvironmentVariable("LINTARO_HOME")), PerUserDataFolder());
  if (!folders.problem.empty())
    prompts.Message(kWindowTitle, folders.problem, Icon::kExclamation, Buttons::kOk);

  SystemClock clock;
  MainWindow window(folders, prompts, clock, MeasureScreenMetrics());
  screen_prompts.set_parent(&window);
  FileHandOver hand_over(window, prompts);
  // A signal closes the window as Exit does, and every dialog open (their
  // event loops end), so that nothing waits for an answer; the program then
  // ends with the signal's status.
  SignalStop signal_stop([&window](int) {
    window.StopForSignal();
    QCoreApplication::exit(1);
  });
  window.show();

  int run_status = 0;
  if (!options.run_files.isEmpty())
    ScheduleUnattendedRun(window, run_status);
  else
    hand_over.Start(options.files);
  const int shown = app.exec();
  if (signal_stop.signal() != 0) return signal_stop.exit_status();
  return shown != 0 ? shown : run_status;
}

}  // namespace lintaro
