// The desktop program's arguments, read before any window exists.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "core/version.h"
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
        QStringList{"lintaro", "--home="}, QStringList{"lintaro", "--run", "a.txt", "b.txt"}})
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

}  // namespace
}  // namespace lintaro::testing
