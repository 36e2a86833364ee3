#include "ui/desktop_shell.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "ui/qt_platform.h"

namespace lintaro {
namespace {

bool IsFieldCode(const QString& arg) {
  return arg.size() == 2 && arg[0] == '%' && QString("fFuUdDnNickvm").contains(arg[1]);
}

bool TakesTarget(const QString& arg) {
  return arg == "%u" || arg == "%U" || arg == "%f" || arg == "%F" || arg == "%s";
}

// A command with the target in place of its field code (or "%s"), or
// after its arguments; other field codes are dropped.
QStringList WithTarget(const QStringList& command, const QString& target) {
  QStringList out;
  bool placed = false;
  for (const QString& arg : command) {
    if (TakesTarget(arg)) {
      if (!placed) out << target;
      placed = true;
    } else if (arg.contains("%s")) {
      QString a = arg;
      out << a.replace("%s", target);
      placed = true;
    } else if (!IsFieldCode(arg)) {
      out << arg;
    }
  }
  if (!placed) out << target;
  return out;
}

QString Readable(const QStringList& command) {
  QStringList shown;
  for (const QString& arg : command)
    if (!IsFieldCode(arg) && arg != "%s") shown << arg;
  return shown.join(' ');
}

}  // namespace

QStringList SplitExecLine(const QString& exec) {
  QStringList args;
  QString current;
  bool in_quotes = false;
  bool have = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (in_quotes) {
      if (c == '\\' && i + 1 < exec.size() && QString("\"`$\\").contains(exec[i + 1])) {
        current += exec[++i];
      } else if (c == '"') {
        in_quotes = false;
      } else {
        current += c;
      }
      continue;
    }
    if (c == '"') {
      in_quotes = true;
      have = true;
    } else if (c == ' ' || c == '\t') {
      if (have) args << current;
      current.clear();
      have = false;
    } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
      current += '%';
      ++i;
      have = true;
    } else {
      current += c;
      have = true;
    }
  }
  if (have) args << current;
  return args;
}

QString ExecOfDesktopEntry(const QString& text) {
  bool in_entry = false;
  for (const QString& raw : text.split('\n')) {
    const QString line = raw.trimmed();
    if (line.startsWith('[')) {
      in_entry = line == "[Desktop Entry]";
      continue;
    }
    if (in_entry && line.startsWith("Exec")) {
      const qsizetype eq = line.indexOf('=');
      if (eq > 0 && line.left(eq).trimmed() == "Exec") return line.mid(eq + 1).trimmed();
    }
  }
  return {};
}

DesktopShell::Environment DesktopShell::SystemEnvironment() {
  Environment env;
  env.run = [](const QString& program, const QStringList& args) -> std::optional<QString> {
    QProcess p;
    p.start(program, args, QIODevice::ReadOnly);
    if (!p.waitForFinished(5000)) {
      p.kill();
      p.waitForFinished(1000);
      return std::nullopt;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
    return QString::fromLocal8Bit(p.readAllStandardOutput());
  };
  env.variable = [](const char* name) { return qEnvironmentVariable(name); };
  env.locate_desktop_file = [](const QString& id) {
    QString found = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    // "vendor-name.desktop" may live in a vendor folder.
    if (found.isEmpty() && id.contains('-')) {
      QString nested = id;
      nested.replace(nested.indexOf('-'), 1, '/');
      found = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, nested);
    }
    return found;
  };
  env.start_detached = StartBrowser;
  return env;
}

// The browser runs on after Lintaro ends: its process object is deleted
// only when it ends, and it has no pipes to Lintaro. A browser that cannot
// show the page (or cannot run) usually ends at once with an error: that is
// a failure, as one that does not start is.
bool StartBrowser(const QString& program, const QStringList& args) {
  constexpr int kStartMs = 5000;
  constexpr int kFirstMomentMs = 1000;
  auto* process = new QProcess;
  process->setProgram(program);
  process->setArguments(args);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  process->start();
  if (!process->waitForStarted(kStartMs)) {
    delete process;
    return false;
  }
  if (!process->waitForFinished(kFirstMomentMs)) return true;  // showing the page
  const bool shown = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
  process->deleteLater();
  return shown;
}

std::optional<QStringList> DesktopShell::FromDesktopFile(const QString& mime) {
  if (!env_.run) return std::nullopt;
  const std::optional<QString> out = env_.run("xdg-mime", {"query", "default", mime});
  if (!out) return std::nullopt;
  const QString id = out->trimmed().section('\n', 0, 0).section(';', 0, 0).trimmed();
  if (id.isEmpty() || !id.endsWith(".desktop")) return std::nullopt;
  const QString path = env_.locate_desktop_file ? env_.locate_desktop_file(id) : QString();
  if (path.isEmpty()) return std::nullopt;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  const QStringList command = SplitExecLine(ExecOfDesktopEntry(QString::fromUtf8(f.readAll())));
  if (command.isEmpty()) return std::nullopt;
  return command;
}

std::optional<QStringList> DesktopShell::FromBrowserVariable() {
  const QString value = env_.variable ? env_.variable("BROWSER") : QString();
  for (const QString& entry : value.split(':', Qt::SkipEmptyParts)) {
    const QStringList command = SplitExecLine(entry.trimmed());
    if (!command.isEmpty()) return command;
  }
  return std::nullopt;
}

std::optional<std::string> DesktopShell::FindAssociatedProgram(const std::string&) {
  std::optional<QStringList> command = FromDesktopFile("x-scheme-handler/http");
  if (!command) command = FromDesktopFile("text/html");
  if (!command) command = FromBrowserVariable();
  if (!command) return std::nullopt;
  const std::string shown = ToStdString(Readable(*command));
  commands_[shown] = *command;
  return shown;
}

bool DesktopShell::PrintDocument(const std::string&) { return false; }

bool DesktopShell::OpenProgram(const std::string& program, const std::string& parameter) {
  auto known = commands_.find(program);
  const QStringList command =
      known != commands_.end() ? known->second : SplitExecLine(ToQString(program));
  if (command.isEmpty() || !env_.start_detached) return false;
  const QStringList full = WithTarget(command, ToQString(parameter));
  return env_.start_detached(full.front(), full.mid(1));
}

}  // namespace lintaro
