#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <filesystem>

#include "support/fakes.h"

namespace lintaro::testing {
namespace {

// Two copies of the real program in one user session.
TEST(InstanceLockTest, SecondCopyOfTheProgramSaysItIsRunningAndEnds) {
  TempDir runtime, home;
  std::filesystem::permissions(runtime.path(), std::filesystem::perms::owner_all);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.str()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("LINTARO_UNATTENDED", "1");
  const QStringList args = {"--home", QString::fromStdString(home.str())};

  QProcess first;
  first.setProcessEnvironment(env);
  first.start(LINTARO_GUI_PATH, args);
  ASSERT_TRUE(first.waitForStarted(10000));
  const auto lock = runtime.path() / "lintaro-2007.lock";
  for (int i = 0; i < 200 && !std::filesystem::exists(lock); ++i) QThread::msleep(25);
  ASSERT_TRUE(std::filesystem::exists(lock));

  QProcess second;
  second.setProcessEnvironment(env);
  second.start(LINTARO_GUI_PATH, args);
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_EQ(QString::fromUtf8(second.readAllStandardError()).trimmed(),
            "Lintaro 2007: This program is already running.");

  // The first copy is unaffected.
  EXPECT_EQ(first.state(), QProcess::Running);
  first.kill();
  first.waitForFinished(10000);

  // A copy that died leaves a lock that the next start takes over.
  QProcess third;
  third.setProcessEnvironment(env);
  third.start(LINTARO_GUI_PATH, {"--home", QString::fromStdString(home.str()), "--run",
                                 QString::fromStdString(home.str()) + "/missing.txt"});
  ASSERT_TRUE(third.waitForFinished(20000));
  EXPECT_EQ(third.exitCode(), 0);
  EXPECT_FALSE(QString::fromUtf8(third.readAllStandardError()).contains("already running"));
}

}  // namespace
}  // namespace lintaro::testing
