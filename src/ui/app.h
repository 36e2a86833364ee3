// Start-up of the desktop program: one instance per user session, the
// program folder, the main window; and the unattended run used to measure
// a run in the window.
#ifndef LINTARO_UI_APP_H_
#define LINTARO_UI_APP_H_

#include <QString>
#include <QStringList>

class QLockFile;

namespace lintaro {

// The lock that keeps one copy of the program per user session: a lock file
// in the user's runtime folder. Returns false when another copy holds it
// (the lock's error() is then LockFailedError) or it cannot be made.
bool AcquireInstanceLock(QLockFile& lock);
QString InstanceLockPath();

struct AppOptions {
  QString home;             // --home DIR
  QStringList files;        // FILE...: test them at once, as Start Testing does
  QStringList run_files;    // --run FILE: test the files at once, unattended, then quit
  bool unattended = false;  // message boxes to standard error (LINTARO_UNATTENDED=1)
  QString problem;          // a usage error
  bool help = false;
  bool version = false;
};
// Reads the arguments (the program's name first) without the application
// object, so that --help, --version and usage errors need no display. The
// window system's own options (-platform, -display, -style, ...) are let
// through for the application object.
AppOptions ParseAppOptions(const QStringList& arguments);

// The text of --help and of --version ("lintaro 1.1.0").
QString AppHelpText();
QString AppVersionText();

// The whole program; returns the exit status.
int RunApp(int argc, char** argv);

}  // namespace lintaro

#endif  // LINTARO_UI_APP_H_
