// The desktop program as a process: its arguments, read before any window
// exists, help and version with no display, and one copy per user session.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <regex>

#include "browse/window_texts.h"
#include "core/tax_year.h"
#include "core/version.h"
#include "run/run_ending.h"
#include "store/results_db.h"
#include "support/clean_records.h"
#include "support/cli_runner.h"
#include "support/fakes.h"
#include "ui/app.h"

namespace lintaro::testing {
namespace {

TEST(AppOptionsTest, HomeFilesRunFilesAndToolkitOptions) {
  AppOptions o = ParseAppOptions({"lintaro", "--home", "/srv/lintaro", "a.txt", "b.txt"});
  EXPECT_TRUE(o.problem.isEmpty()) << o.problem.toStdString();
  EXPECT_EQ(o.home, "/srv/lintaro");
  EXPECT_EQ(o.files, (QStringList{"a.txt", "b.txt"}));
  EXPECT_FALSE(o.unattended);  // files named by the user are tested in the window as usual

  o = ParseAppOptions({"lintaro", "--home=/srv/lintaro", "--run", "a.txt", "--run=b.txt"});
  EXPECT_EQ(o.home, "/srv/lintaro");
  EXPECT_EQ(o.run_files, (QStringList{"a.txt", "b.txt"}));
  EXPECT_TRUE(o.unattended);  // a run without a user answers its own questions

  // The window system's own options are left to it; "--" ends the options.
  o = ParseAppOptions({"lintaro", "-platform", "offscreen", "-reverse", "--", "--odd.txt"});
  EXPECT_TRUE(o.problem.isEmpty()) << o.problem.toStdString();
  EXPECT_EQ(o.files, QStringList{"--odd.txt"});
}

TEST(AppOptionsTest, UsageErrors) {
  for (const QStringList& wrong :
       {QStringList{"lintaro", "--colour"}, QStringList{"lintaro", "--home"},
        QStringList{"lintaro", "--home="}, QStringList{"lintaro", "--run", "a.txt", "b.txt"},
        // The screenshot tour is a program of its own (tools/screenshot_tour).
        QStringList{"lintaro", "--screenshots", "pictures"}})
    EXPECT_FALSE(ParseAppOptions(wrong).problem.isEmpty()) << wrong.join(' ').toStdString();
}

// Help and version work where no window can be shown at all.
TEST(AppOptionsTest, HelpAndVersionNeedNoDisplay) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  struct Case {
    QStringList args;
    int status;
    QString out, err;  // start of standard output and of standard error
  } cases[] = {
      {{"--help"}, 0, "Usage: lintaro [--home DIR] [FILE...]\n", ""},
      {{"--version"}, 0, "lintaro " + QString::fromLatin1(kLintaroVersion) + "\n", ""},
      {{"--colour"}, 2, "", "lintaro: Unknown option 'colour'.\nTry 'lintaro --help'.\n"},
  };
  for (const Case& c : cases) {
    QProcess lintaro;
    lintaro.setProcessEnvironment(env);
    lintaro.start(LINTARO_GUI_PATH, c.args);
    ASSERT_TRUE(lintaro.waitForFinished(10000));
    const QString out = QString::fromUtf8(lintaro.readAllStandardOutput());
    const QString err = QString::fromUtf8(lintaro.readAllStandardError());
    const std::string what = c.args.join(' ').toStdString();
    EXPECT_EQ(lintaro.exitStatus(), QProcess::NormalExit) << what;
    EXPECT_EQ(lintaro.exitCode(), c.status) << what;
    EXPECT_TRUE(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out))
        << what << ": " << out.toStdString();
    EXPECT_EQ(err, c.err) << what;
  }
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

// A lock that cannot be made at all is not taken for a copy running: the
// program says where it could not make it, and --run's status says that
// nothing was tested.
TEST(InstanceLockTest, ALockThatCannotBeMadeIsNotACopyRunning) {
  TempDir home;
  const CliResult r = RunShell(
      "XDG_RUNTIME_DIR=/proc TMPDIR=/proc QT_QPA_PLATFORM=offscreen LINTARO_UNATTENDED=1 exec '" +
      std::string(LINTARO_GUI_PATH) + "' --home '" + home.str() +
      "' --run '" LINTARO_SOURCE_DIR "/samples/clean.txt'");
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string said =
      std::string(kWindowTitle) + ": /proc/lintaro-" + kTaxYearText.c_str() + ".lock: ";
  EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("already running"), std::string::npos) << r.err;
}

// lintaro --run ends with lintaro-cli check's status, and never calls a run
// that did not reach its end, or counts it could not print, a success: a
// full disk (a file size limit, its signal ignored) and a full standard
// output.
TEST(UnattendedRunTest, ItsStatusIsTheRunsVerdict) {
  TempDir runtime, home, files;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  const std::string big = files.Write("big.txt", JoinRecords(CleanSubmission(12000)));
  struct Case {
    std::string shell_prefix, file, redirect;
    int status;
    std::string out, err;  // start of standard output, standard error's last line
  } cases[] = {
      {"", LINTARO_SOURCE_DIR "/samples/clean.txt", "", 0, "Records tested: ", ""},
      {"", LINTARO_SOURCE_DIR "/samples/mistakes.txt", "", 1, "Records tested: ", ""},
      {"", files.str() + "/missing.txt", "", 2, "Records tested: 0\n", ""},
      {"ulimit -f 16000; trap '' XFSZ; ", big, "", 2,
       "Testing did not finish: these results cover only records 1 to ", ""},
      {"", LINTARO_SOURCE_DIR "/samples/clean.txt", ">/dev/full", 2, "",
       "lintaro: write error: No space left on device"},
  };
  for (const Case& c : cases) {
    const CliResult r = RunShell(
        c.shell_prefix + "XDG_RUNTIME_DIR='" + runtime.str() +
        "' QT_QPA_PLATFORM=offscreen LINTARO_UNATTENDED=1 exec '" LINTARO_GUI_PATH "' --home '" +
        home.str() + "' --run '" + c.file + "' " + c.redirect);
    const std::string what = c.shell_prefix + c.file + c.redirect;
    EXPECT_EQ(r.status, c.status) << what << ": " << r.out << r.err;
    EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << what << ": " << r.out;
    if (!c.err.empty()) {
      EXPECT_TRUE(r.err.ends_with(c.err + "\n")) << what << ": " << r.err;
    }
  }
}

// The run's time is written with a decimal point whatever the user's
// locale (the window takes it from the environment), as the scripts that
// read it expect, and the system's reasons in the words of the messages
// around them.
TEST(UnattendedRunTest, ItsTimeIsWrittenAlikeInEveryLocale) {
  constexpr const char* kDecimalComma = "de_DE.UTF-8";
  if (locale_t found = newlocale(LC_ALL_MASK, kDecimalComma, nullptr)) {
    freelocale(found);
  } else {
    GTEST_SKIP() << kDecimalComma << " is not installed (scripts/deps makes it)";
  }
  TempDir runtime, home;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  const CliResult r = RunShell(
      std::string("LC_ALL=") + kDecimalComma + " XDG_RUNTIME_DIR='" + runtime.str() +
      "' QT_QPA_PLATFORM=offscreen LINTARO_UNATTENDED=1 exec '" + LINTARO_GUI_PATH "' --home '" +
      home.str() + "' --run '" LINTARO_SOURCE_DIR "/samples/clean.txt'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::regex_search(
      r.out,
      std::regex("^Records tested: 16\nErrors found: 0\nWindow run: [0-9]+\\.[0-9]{3} s\n$")))
      << r.out;
  const CliResult full = RunShell(
      std::string("LC_ALL=") + kDecimalComma + " XDG_RUNTIME_DIR='" + runtime.str() +
      "' QT_QPA_PLATFORM=offscreen LINTARO_UNATTENDED=1 exec '" + LINTARO_GUI_PATH "' --home '" +
      home.str() + "' --run '" LINTARO_SOURCE_DIR "/samples/clean.txt' >/dev/full");
  EXPECT_EQ(full.status, 2);
  EXPECT_TRUE(full.err.ends_with("lintaro: write error: No space left on device\n")) << full.err;
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
