// The desktop's shell for the browser hand-over: finds the user's default
// web browser through the desktop's own settings and starts it with the
// report (or the online-services page) as its one argument.
//
// Look-up: `xdg-mime query default x-scheme-handler/http` (then text/html)
// names a .desktop file; its Exec line, read from the applications folders
// of the XDG data directories, is the browser's command. When the desktop
// names none, $BROWSER (a colon-separated list of commands, "%s" standing
// for the address) is used. The command is split into program and
// arguments by the desktop entry quoting rules and started without a shell
// (StartBrowser): no shell ever reads it.
//
// Printing: a browser has no print verb on this desktop, so PrintDocument
// declines and the report is opened in the browser instead, where the user
// prints it.
#ifndef LINTARO_UI_DESKTOP_SHELL_H_
#define LINTARO_UI_DESKTOP_SHELL_H_

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/platform_shell.h"

namespace lintaro {

// Splits a desktop entry Exec value into its arguments: double quotes group,
// a backslash inside them escapes ", `, $ and \; "%%" is a literal "%".
// Field codes stay as they are.
QStringList SplitExecLine(const QString& exec);

// The Exec value of the [Desktop Entry] group of a .desktop file's text,
// or empty.
QString ExecOfDesktopEntry(const QString& text);

// Starts the browser program with args, not waiting for it to end; false
// when it could not start, or ended within its first second with an error
// (a launcher that hands the page on and ends well is a success).
bool StartBrowser(const QString& program, const QStringList& args);

class DesktopShell : public Shell {
 public:
  // What the shell reads from the desktop; replaced in tests.
  struct Environment {
    // Runs a program with arguments and returns its standard output, or
    // nothing when it could not run or failed.
    std::function<std::optional<QString>(const QString&, const QStringList&)> run;
    // An environment variable's value.
    std::function<QString(const char*)> variable;
    // The full name of an installed .desktop file, or empty.
    std::function<QString(const QString&)> locate_desktop_file;
    // Starts a program detached; true when it started.
    std::function<bool(const QString&, const QStringList&)> start_detached;
  };
  // The real desktop.
  static Environment SystemEnvironment();

  DesktopShell() : DesktopShell(SystemEnvironment()) {}
  explicit DesktopShell(Environment env) : env_(std::move(env)) {}

  // The browser's command as the user would read it (field codes left
  // out), or nothing when the desktop names no browser.
  std::optional<std::string> FindAssociatedProgram(const std::string& file) override;
  bool PrintDocument(const std::string& file) override;
  // Starts the browser command found before (or any command line) with
  // parameter in place of its field code, or after its arguments.
  bool OpenProgram(const std::string& program, const std::string& parameter) override;

 private:
  std::optional<QStringList> FromDesktopFile(const QString& mime);
  std::optional<QStringList> FromBrowserVariable();

  Environment env_;
  // The full command (with its field code) of each browser found, by the
  // text FindAssociatedProgram gave for it.
  std::map<std::string, QStringList> commands_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_DESKTOP_SHELL_H_
