// Where the main window opens: at the size and place it had when the
// program last ended, or, at the first start, at a size that fits the
// screen. The place is kept per user in the desktop's configuration folder
// (window.ini in the program's folder there), never beside the results.
#ifndef LINTARO_UI_WINDOW_PLACEMENT_H_
#define LINTARO_UI_WINDOW_PLACEMENT_H_

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace lintaro {

// The window's smallest size: the designed size (design), or the screen's
// free area when that is smaller (a small screen, or a large scale factor).
QSize MinimumWindowSize(QSize design, QRect available);

// The size of the first start: nine tenths of the screen's free area in
// each direction, never below minimum nor beyond the free area.
QSize FirstStartSize(QRect available, QSize minimum);

class WindowPlacement {
 public:
  // file: the settings file; DefaultFile() unless a test gives another.
  explicit WindowPlacement(QString file = DefaultFile()) : file_(std::move(file)) {}

  // The user's configuration folder for the program, plus "window.ini".
  static QString DefaultFile();

  // Gives window its last saved size, place and state (maximised or not),
  // kept within the screen; returns false when nothing was saved, and then
  // sizes it for the first start and centres it on the screen.
  bool Restore(QWidget& window) const;
  // Saves window's size, place and state for the next start. A failure to
  // write is ignored: the next start then opens as the first did.
  void Save(const QWidget& window) const;

  // The share of the shared area's height the tested records take, as the
  // user last dragged it (0: never, the layout decides), and its saving.
  double TestedRecordsShare() const;
  void SaveTestedRecordsShare(double share) const;

  const QString& file() const { return file_; }

 private:
  QString file_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_WINDOW_PLACEMENT_H_
