// The desktop shell: finding the default browser through the desktop's
// settings and starting it with an argument list.
#include "ui/desktop_shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "support/fakes.h"
#include "support/line_diff.h"

namespace lintaro::testing {
namespace {

// A desktop whose settings the test writes: the default handler per MIME
// type, the installed .desktop files and $BROWSER. The log holds what the
// shell asked ("xdg-mime query default TYPE") and started ("start
// PROGRAM | ARG | ...").
struct FakeDesktop {
  FakeDesktop(std::map<QString, QString> mime_defaults = {}, std::map<QString, QString> files = {},
              QString browser = {}, bool starts = true)
      : defaults(mime_defaults),
        desktop_files(files),
        browser_variable(browser),
        start_succeeds(starts) {}

  std::map<QString, QString> defaults;       // MIME type -> desktop file id
  std::map<QString, QString> desktop_files;  // id -> file contents
  QString browser_variable;
  bool start_succeeds;
  QStringList log;
  TempDir dir;

  DesktopShell::Environment Env() {
    DesktopShell::Environment env;
    env.run = [this](const QString& program, const QStringList& args) -> std::optional<QString> {
      log << program + " " + args.join(' ');
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
      return QString::fromStdString(dir.Write(id.toStdString(), it->second.toStdString()));
    };
    env.start_detached = [this](const QString& program, const QStringList& args) {
      log << (QStringList{"start " + program} + args).join(" | ");
      return start_succeeds;
    };
    return env;
  }
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

// Finds the browser on the desktop and opens target with it; what was
// found, then the desktop's log.
std::string FindAndOpen(FakeDesktop& desktop, const std::string& target) {
  DesktopShell shell(desktop.Env());
  const std::optional<std::string> found = shell.FindAssociatedProgram("/tmp/temphtm.HTM");
  EXPECT_TRUE(!found || shell.OpenProgram(*found, target));
  return "found: " + found.value_or("(none)") + "\n" + desktop.log.join('\n').toStdString() +
         "\n\n";
}

// The browser is the desktop's http handler, else its HTML handler, else
// the first of $BROWSER; the target takes the field code's place (or
// "%s"'s), whole, whatever it holds. Compared with desktop_shell.trace.
TEST(DesktopShell, FindsTheBrowserAndOpensTheTargetAsOneArgument) {
  FakeDesktop web{{{"x-scheme-handler/http", "web-browser.desktop"}},
                  {{"web-browser.desktop",
                    "[Desktop Entry]\nType=Application\nName=Web\nExec=\"/opt/Web Browser/web\" "
                    "--new-window %u --class Web\nIcon=web\n"}},
                  "lynx"};
  std::string trace = FindAndOpen(web, "file:///tmp/a b;rm -rf ~/$(x)/temphtm.HTM");
  FakeDesktop viewer{{{"text/html", "viewer.desktop"}},
                     {{"viewer.desktop", "[Desktop Entry]\nExec=viewer %F\n"}}};
  trace += FindAndOpen(viewer, "file:///x.HTM");
  FakeDesktop gone{
      {{"x-scheme-handler/http", "gone.desktop"}}, {}, ":mybrowser --url=%s --quiet:lynx"};
  trace += FindAndOpen(gone, "https://example.test/a b");
  FakeDesktop none;
  trace += FindAndOpen(none, "");
  ExpectFileHolds(std::filesystem::path(LINTARO_SOURCE_DIR) / "tests/ui/traces/desktop_shell.trace",
                  trace);

  FakeDesktop failing{{}, {}, "", /*start_succeeds=*/false};
  DesktopShell shell(failing.Env());
  EXPECT_FALSE(shell.OpenProgram("viewer", "file:///x.HTM"));
  // No print verb: printing declines, so the caller opens the report.
  EXPECT_FALSE(shell.PrintDocument("/tmp/temphtm.HTM"));
}

// A browser that cannot start, or ends at once with an error, is no
// browser: the window then offers the text report. One that ends well (a
// launcher) or runs on is.
TEST(StartBrowser, FailsForABrowserThatCannotStartOrEndsAtOnceWithAnError) {
  EXPECT_FALSE(StartBrowser("/nonexistent/browser", {"file:///tmp/x.HTM"}));
  EXPECT_FALSE(StartBrowser("/bin/sh", {"-c", "exit 3"}));
  EXPECT_FALSE(StartBrowser("/bin/sh", {"-c", "kill -SEGV $$"}));
  EXPECT_TRUE(StartBrowser("/bin/sh", {"-c", "exit 0"}));
  EXPECT_TRUE(StartBrowser("/bin/sh", {"-c", "sleep 2"}));
}

}  // namespace
}  // namespace lintaro::testing
