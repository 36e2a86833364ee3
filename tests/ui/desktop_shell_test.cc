// The desktop shell: finding the default browser through the desktop's
// settings and starting it with an argument list.
#include "ui/desktop_shell.h"

#include <gtest/gtest.h>

#include <map>

#include "support/fakes.h"

namespace lintaro::testing {
namespace {

struct Started {
  QString program;
  QStringList args;
};

// A desktop whose settings the test writes: the default handler per MIME
// type, the installed .desktop files, $BROWSER, and what was started.
class FakeDesktop {
 public:
  std::map<QString, QString> defaults;       // MIME type -> desktop file id
  std::map<QString, QString> desktop_files;  // id -> file contents
  QString browser_variable;
  bool start_succeeds = true;
  std::vector<Started> started;
  std::vector<QStringList> queries;

  DesktopShell::Environment Env() {
    DesktopShell::Environment env;
    env.run = [this](const QString& program, const QStringList& args) -> std::optional<QString> {
      EXPECT_EQ(program, "xdg-mime");
      queries.push_back(args);
      if (args.size() != 3 || args[0] != "query" || args[1] != "default") return std::nullopt;
      auto it = defaults.find(args[2]);
      return it == defaults.end() ? QString("\n") : it->second + "\n";
    };
    env.variable = [this](const char* name) {
      return QString(name) == "BROWSER" ? browser_variable : QString();
    };
    env.locate_desktop_file = [this](const QString& id) -> QString {
      auto it = desktop_files.find(id);
      if (it == desktop_files.end()) return {};
      const std::string path = dir.Write(id.toStdString(), it->second.toStdString());
      return QString::fromStdString(path);
    };
    env.start_detached = [this](const QString& program, const QStringList& args) {
      started.push_back({program, args});
      return start_succeeds;
    };
    return env;
  }

  TempDir dir;
};

TEST(ExecLine, SplitsByTheDesktopEntryQuotingRules) {
  EXPECT_EQ(SplitExecLine("firefox %u"), (QStringList{"firefox", "%u"}));
  EXPECT_EQ(SplitExecLine("\"/opt/My Browser/run\"  --flag \"a \\\"b\\\" \\\\c\" 100%%"),
            (QStringList{"/opt/My Browser/run", "--flag", "a \"b\" \\c", "100%"}));
  EXPECT_EQ(SplitExecLine("  "), QStringList{});
  EXPECT_EQ(SplitExecLine("run \"\""), (QStringList{"run", ""}));
  EXPECT_EQ(ExecOfDesktopEntry("[Desktop Entry]\nName=B\nExec=b --new %U\n"
                               "[Desktop Action new]\nExec=b --private %U\n"),
            "b --new %U");
  EXPECT_EQ(ExecOfDesktopEntry("[Desktop Action x]\nExec=x\n"), "");
  EXPECT_EQ(ExecOfDesktopEntry("[Desktop Entry]\nExecutable=no\nExec = yes %f\n"), "yes %f");
}

TEST(DesktopShell, TheDesktopsHttpHandlerOpensTheTargetAsOneArgument) {
  FakeDesktop desktop;
  desktop.defaults["x-scheme-handler/http"] = "web-browser.desktop";
  desktop.desktop_files["web-browser.desktop"] =
      "[Desktop Entry]\nType=Application\nName=Web\nExec=\"/opt/Web Browser/web\" --new-window "
      "%u --class Web\nIcon=web\n";
  desktop.browser_variable = "lynx";
  DesktopShell shell(desktop.Env());

  const std::optional<std::string> browser = shell.FindAssociatedProgram("/tmp/temphtm.HTM");
  ASSERT_TRUE(browser);
  EXPECT_EQ(*browser, "/opt/Web Browser/web --new-window --class Web");
  ASSERT_EQ(desktop.queries.size(), 1u);
  EXPECT_EQ(desktop.queries[0], (QStringList{"query", "default", "x-scheme-handler/http"}));

  // The target takes the field code's place, whole, whatever it holds.
  const std::string target = "file:///tmp/a b;rm -rf ~/$(x)/temphtm.HTM";
  EXPECT_TRUE(shell.OpenProgram(*browser, target));
  ASSERT_EQ(desktop.started.size(), 1u);
  EXPECT_EQ(desktop.started[0].program, "/opt/Web Browser/web");
  EXPECT_EQ(desktop.started[0].args,
            (QStringList{"--new-window", QString::fromStdString(target), "--class", "Web"}));

  // No print verb: printing declines, so the caller opens the report.
  EXPECT_FALSE(shell.PrintDocument("/tmp/temphtm.HTM"));
  desktop.start_succeeds = false;
  EXPECT_FALSE(shell.OpenProgram(*browser, target));
}

TEST(DesktopShell, FallsBackToTheHtmlHandlerThenToTheBrowserVariable) {
  FakeDesktop desktop;
  desktop.defaults["text/html"] = "viewer.desktop";
  desktop.desktop_files["viewer.desktop"] = "[Desktop Entry]\nExec=viewer %F\n";
  DesktopShell html_shell(desktop.Env());
  EXPECT_EQ(html_shell.FindAssociatedProgram("f"), "viewer");
  EXPECT_TRUE(html_shell.OpenProgram("viewer", "file:///x.HTM"));
  EXPECT_EQ(desktop.started.back().args, QStringList{"file:///x.HTM"});

  // A handler whose desktop file is missing, then $BROWSER with "%s".
  FakeDesktop other;
  other.defaults["x-scheme-handler/http"] = "gone.desktop";
  other.browser_variable = ":mybrowser --url=%s --quiet:lynx";
  DesktopShell env_shell(other.Env());
  const std::optional<std::string> browser = env_shell.FindAssociatedProgram("f");
  ASSERT_TRUE(browser);
  EXPECT_EQ(*browser, "mybrowser --url=%s --quiet");
  EXPECT_TRUE(env_shell.OpenProgram(*browser, "https://example.test/a b"));
  EXPECT_EQ(other.started.back().program, "mybrowser");
  EXPECT_EQ(other.started.back().args, (QStringList{"--url=https://example.test/a b", "--quiet"}));

  // Nothing configured: no browser.
  FakeDesktop none;
  DesktopShell no_shell(none.Env());
  EXPECT_EQ(no_shell.FindAssociatedProgram("f"), std::nullopt);
  EXPECT_EQ(none.queries.size(), 2u);  // http, then text/html
}

}  // namespace
}  // namespace lintaro::testing
