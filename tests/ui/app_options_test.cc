// The desktop program as a process: its arguments, read before any window
// exists, help and version with no display, one copy per user session, and
// its unattended runs.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <regex>

#include "core/version.h"
#include "run/run_ending.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "support/line_diff.h"
#include "support/recipe.h"
#include "ui/app.h"
#include "ui/qt_platform.h"

namespace lintaro::testing {
namespace {

// What each command line gives, or the problem it is refused with, in
// tests/ui/traces/app_options.trace. The window system's own options are
// left to it; "--" ends the options; files named by the user are tested in
// the window as usual, a --run without a user answers its own questions;
// the screenshot tour is a program of its own (tools/screenshot_tour).
TEST(AppOptionsTest, HomeFilesRunFilesToolkitOptionsAndUsageErrors) {
  std::string trace;
  for (const QStringList& args : {QStringList{"--home", "/srv/lintaro", "a.txt", "b.txt"},
                                  {"--home=/srv/lintaro", "--run", "a.txt", "--run=b.txt"},
                                  {"-platform", "offscreen", "-reverse", "--", "--odd.txt"},
                                  {"--colour"},
                                  {"--home"},
                                  {"--home="},
                                  {"--run", "a.txt", "b.txt"},
                                  {"--screenshots", "pictures"}}) {
    const AppOptions o = ParseAppOptions(QStringList{"lintaro"} + args);
    trace += "lintaro " + args.join(' ').toStdString() + "\n";
    trace += o.problem.isEmpty() ? "  home [" + o.home.toStdString() + "] files [" +
                                       o.files.join(' ').toStdString() + "] run [" +
                                       o.run_files.join(' ').toStdString() + "]" +
                                       (o.unattended ? " unattended\n" : "\n")
                                 : "  problem: " + o.problem.toStdString() + "\n";
  }
  ExpectFileHolds(LINTARO_SOURCE_DIR "/tests/ui/traces/app_options.trace", trace);
}

// A file name reaches the program as bytes, not always UTF-8 (a name in
// Latin-1 from an old disk, as a file manager hands it on). Whatever the
// bytes, they go through Qt's strings and come back unchanged; text in
// UTF-8, also past the 16-bit range, reads as the characters it holds.
TEST(AppOptionsTest, AnyBytesOfAFileNameGoThroughQtAndBackUnchanged) {
  for (const std::string& bytes :
       {std::string("plain.txt"), std::string("caf\xC3\xA9 \xF0\x9F\x93\x84.txt"),
        std::string("caf\xE9.txt"),                    // Latin-1
        std::string("\x80\xBF lead \xC3"),             // stray continuations, one cut short
        std::string("\xC0\xAF \xE0\x80\xAF"),          // overlong forms of "/"
        std::string("\xED\xA0\x80 \xF4\x90\x80\x80"),  // a surrogate, past U+10FFFF
        std::string("\xE9\xC3\xA9\xF5")}) {
    EXPECT_EQ(ToStdString(ToQString(bytes)), bytes) << Escape(bytes);
  }
  EXPECT_EQ(ToQString("caf\xC3\xA9 \xF0\x9F\x93\x84"), QString::fromUtf8("café 📄"));
  EXPECT_EQ(ToQString("caf\xE9\xC3"), QString("caf") + QChar(0xDCE9) + QChar(0xDCC3));
  EXPECT_EQ(AbsoluteFilePath(ToQString("/srv/./in/../caf\xE9.txt")), "/srv/caf\xE9.txt");
}

// Two copies of the real program in one user session.
TEST(InstanceLockTest, SecondCopyOfTheProgramSaysItIsRunningAndEnds) {
  TempDir runtime, home;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.str()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("LINTARO_UNATTENDED", "1");
  auto start = [&](QProcess& lintaro, const QStringList& more) {
    lintaro.setProcessEnvironment(env);
    lintaro.start(LINTARO_GUI_PATH,
                  QStringList{"--home", QString::fromStdString(home.str())} + more);
  };

  QProcess first;
  start(first, {});
  ASSERT_TRUE(first.waitForStarted(10000));
  const auto lock = runtime.path() / "lintaro-2007.lock";
  for (int i = 0; i < 200 && !std::filesystem::exists(lock); ++i) QThread::msleep(25);
  ASSERT_TRUE(std::filesystem::exists(lock));

  QProcess second;
  start(second, {});
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_EQ(QString::fromUtf8(second.readAllStandardError()).trimmed(),
            "Lintaro 2007: This program is already running.");
  // An unattended run refused so tested nothing: its status is not that of
  // findings.
  QProcess unattended;
  start(unattended, {"--run", LINTARO_SOURCE_DIR "/samples/clean.txt"});
  ASSERT_TRUE(unattended.waitForFinished(10000));
  EXPECT_EQ(unattended.exitCode(), 2);

  // The first copy is unaffected.
  EXPECT_EQ(first.state(), QProcess::Running);
  first.kill();
  first.waitForFinished(10000);

  // A copy that died leaves a lock that the next start takes over.
  QProcess third;
  start(third, {"--run", QString::fromStdString(home.str()) + "/missing.txt"});
  ASSERT_TRUE(third.waitForFinished(20000));
  EXPECT_EQ(third.exitCode(), 2);  // a file that is not there is not tested
  EXPECT_FALSE(QString::fromUtf8(third.readAllStandardError()).contains("already running"));
}

// The program as a shell starts it, its output and standard error matched
// by patterns (regex_search). Help and version work where no window can be
// shown at all. lintaro --run ends with lintaro-cli check's status, and
// never calls a run that did not reach its end, or counts it could not
// print, a success: a full disk (a file size limit), a full standard
// output and one whose reader is gone. A lock that cannot be made at all
// is not taken for a copy running: the program says where it could not make it, and the
// status says that nothing was tested. The run's time is written with a
// decimal point whatever the user's locale (the window takes it from the
// environment), as the scripts that read it expect, and the system's
// reasons in the words of the messages around them. A file whose name is
// not UTF-8 is found and tested. A program folder anyone may write in is
// refused.
TEST(UnattendedRunTest, ItsStatusIsTheRunsVerdict) {
  const std::string comma = "LC_ALL=de_DE.UTF-8";  // a decimal comma
  locale_t found = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
  if (found != nullptr) freelocale(found);
  TempDir runtime, home, files, open;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  std::filesystem::permissions(open.path(), std::filesystem::perms::all);
  const std::string big = files.Write("big.txt", JoinRecords(CleanSubmission(12000)));
  const std::string latin1 = files.Write("caf\xE9.txt", JoinRecords(CleanSubmission(3)));
  const std::string clean = "--run '" LINTARO_SOURCE_DIR "/samples/clean.txt'";
  const std::string no_display = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
  const std::string full = "lintaro: write error: No space left on device\n$";
  struct Case {
    std::string shell_prefix, env, args;  // the shell's, the program's environment, arguments
    int status;
    std::string out, err;
  } cases[] = {
      {"", no_display, "--help", 0, R"(^Usage: lintaro \[--home DIR\] \[FILE\.\.\.\]\n)", "^$"},
      {"", no_display, "--version", 0,
       "^lintaro " + std::regex_replace(kLintaroVersion, std::regex("[.]"), "\\.") + "\n$", "^$"},
      {"", no_display, "--help >/dev/full", 2, "^$", full},
      {"", no_display, "--colour", 2, "^$",
       "^lintaro: Unknown option 'colour'\\.\nTry 'lintaro --help'\\.\n$"},
      {"", "", "--run '" LINTARO_SOURCE_DIR "/samples/mistakes.txt'", 1, "^Records tested: ", ""},
      {"", "", "--run '" + files.str() + "/missing.txt'", 2, "^Records tested: 0\n", ""},
      {"", "", "--run '" + latin1 + "'", 0, "^Records tested: 7\nErrors found: 0\n", ""},
      {"ulimit -f 16000; ", "", "--run '" + big + "'", 2,
       "^Testing did not finish: these results cover only records 1 to ", ""},
      {"", "", clean + " >/dev/full", 2, "", full},
      // A pipe whose reader is gone: the FIFO's one reader closes.
      {"mkfifo " + files.str() + "/p; exec 3<>" + files.str() + "/p >" + files.str() + "/p 3<&-; ",
       "", clean, 2, "", "lintaro: write error: Broken pipe\n$"},
      {"", "XDG_RUNTIME_DIR=/proc TMPDIR=/proc", clean, 2, "^$",
       R"(^(?![\s\S]*already running)[\s\S]*Lintaro 2007: /proc/lintaro-2007\.lock: )"},
      {"", comma, clean, 0,
       "^Records tested: 16\nErrors found: 0\nWindow run: [0-9]+\\.[0-9]{3} s\n$", ""},
      {"", comma, clean + " >/dev/full", 2, "", full},
      // A program folder anyone may write in (the last --home wins): nothing
      // is tested, read or written there.
      {"", "", "--home '" + open.str() + "' " + clean, 2, "^Records tested: 0\n",
       "may be written by others; choose a folder only you may write in\\.\n"},
  };
  for (const Case& c : cases) {
    if (found == nullptr && c.env == comma) continue;
    const std::string line = c.shell_prefix + "XDG_RUNTIME_DIR='" + runtime.str() +
                             "' QT_QPA_PLATFORM=offscreen LINTARO_UNATTENDED=1 " +
                             (c.env == no_display ? "exec " + no_display : c.env + " exec") +
                             " '" LINTARO_GUI_PATH "' --home '" + home.str() + "' " + c.args;
    const CliResult r = RunShell(line);
    EXPECT_EQ(r.status, c.status) << line << ": " << r.out << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(c.out))) << line << ": " << r.out;
    EXPECT_TRUE(std::regex_search(r.err, std::regex(c.err))) << line << ": " << r.err;
  }
  EXPECT_TRUE(std::filesystem::is_empty(open.path()));
  if (found == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/deps makes it)";
}

// SIGINT, SIGTERM and SIGHUP (Ctrl+C in the terminal it was started from,
// a closed terminal, a logout or kill) stop a check in the window as they
// stop lintaro-cli check: at the next record, its results kept and ending
// as stopped by a signal, the program ending with the signal's status.
TEST(UnattendedRunTest, SignalsStopTheCheckAndRecordWhy) {
  TempDir runtime, home, files;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  const std::string big = files.Write("big.txt", JoinRecords(CleanSubmission(60000)));
  const std::string db = home.str() + "/" + kResultsFileName;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.str()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  for (const auto& [signal, status] :
       {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}}) {
    std::filesystem::remove(db);
    QProcess lintaro;
    lintaro.setProcessEnvironment(env);
    lintaro.start(LINTARO_GUI_PATH, {"--home", QString::fromStdString(home.str()), "--run",
                                     QString::fromStdString(big)});
    ASSERT_TRUE(lintaro.waitForStarted(10000));
    std::error_code ec;
    for (int i = 0; i < 2000 && !(std::filesystem::file_size(db, ec) > (1u << 20) && !ec); ++i)
      QThread::msleep(5);
    ASSERT_GT(std::filesystem::file_size(db, ec), 1u << 20) << signal;
    kill(static_cast<pid_t>(lintaro.processId()), signal);
    ASSERT_TRUE(lintaro.waitForFinished(20000)) << signal;
    EXPECT_EQ(lintaro.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(lintaro.exitCode(), status) << signal;
    const std::string out = QString::fromUtf8(lintaro.readAllStandardOutput()).toStdString();
    EXPECT_EQ(out.rfind("Testing did not finish: these results cover only records 1 to ", 0), 0u)
        << out;
    auto stored = ResultsDb::Open(db, true);
    const StoredRunEnding ending = ReadStoredRunEnding(*stored);
    ASSERT_TRUE(ending.run.has_value()) << signal;
    EXPECT_EQ(ending.run->ending, RunEnding::kStoppedBySignal) << signal;
    const ErrorRow last = stored->ReadLastError().value_or(ErrorRow{});
    EXPECT_EQ(last.reference + " / " + last.user_entry, "Test Aborted / Stopped by a signal");
    // No half-written file is left in the program folder.
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
      EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
  // A message box waiting for an answer (the file given is not there) does
  // not keep the program from ending.
  QProcess waiting;
  waiting.setProcessEnvironment(env);
  waiting.start(LINTARO_GUI_PATH, {"--home", QString::fromStdString(home.str()),
                                   QString::fromStdString(files.str() + "/missing.txt")});
  ASSERT_TRUE(waiting.waitForStarted(10000));
  QThread::msleep(1500);
  kill(static_cast<pid_t>(waiting.processId()), SIGTERM);
  ASSERT_TRUE(waiting.waitForFinished(20000));
  EXPECT_EQ(waiting.exitCode(), 143);
}

}  // namespace
}  // namespace lintaro::testing
