// The desktop program's side of the platform interfaces: real message boxes
// and the open-file dialog, event processing during a run, and a
// non-interactive variant for unattended runs (benchmarks, screenshots).
#ifndef LINTARO_UI_QT_PLATFORM_H_
#define LINTARO_UI_QT_PLATFORM_H_

#include <QString>
#include <QStringList>
#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "platform/platform.h"

class QFileDialog;
class QWidget;

namespace lintaro {

// "caption|pattern|caption|pattern|" as the file filters are written, turned
// into the open-file dialog's name filters. "*.*" matches every file, also
// names without a dot; the caption is kept as the user reads it.
QStringList ToNameFilters(const std::string& filter);

// The extension of the filter's first pattern ("txt" for "*.txt"), or empty
// when that pattern matches any extension.
QString FirstExtension(const std::string& filter);

// Sets up a save-file dialog as SaveFile shows it: the title and filters,
// an empty name in start_folder, the first pattern's extension added to a
// name typed without one, replacing a file confirmed.
void PrepareSaveDialog(QFileDialog& dialog, const std::string& title, const std::string& filter,
                       const std::string& start_folder);

// Text between our strings (UTF-8) and Qt's. A file name need not be
// UTF-8: a byte that is not part of a valid sequence (a name in Latin-1, as
// a file manager hands it on the command line) becomes the lone surrogate
// U+DC00 + byte, and ToStdString turns that back into the byte, so that a
// name goes through Qt and back unchanged. Qt shows such a character as a
// replacement mark.
QString ToQString(const std::string& utf8);
std::string ToStdString(const QString& text);

// The file's name made absolute against the current folder, its "." and
// ".." taken out, as bytes (ToStdString). Only the name is read: the file
// need not exist.
std::string AbsoluteFilePath(const QString& file);

// Message boxes and the open- and save-file dialogs on the screen.
class QtPrompts : public Prompts {
 public:
  // parent: the window the boxes belong to; may change (null is allowed).
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void set_parent(QWidget* parent) { parent_ = parent; }

  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& start_folder) override;

 private:
  QWidget* Owner() const;

  QWidget* parent_;
  QString last_folder_;
};

// For unattended runs: the open-file dialog hands out the given files in
// turn (none left = Cancel), message boxes are written to standard error as
// "Title: text" and answered as UnattendedAnswer.
class UnattendedPrompts : public Prompts {
 public:
  explicit UnattendedPrompts(std::deque<std::string> files = {}) : files_(std::move(files)) {}
  void add_file(const std::string& file) { files_.push_back(file); }

  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;

 private:
  std::deque<std::string> files_;
};

// Lets the window process its events during a run, at most once per
// interval however often the run asks. before_events runs first, so the
// window can bring its progress display up to date. The run asks once per
// record and more, hundreds of thousands of times a second: the clock is
// read at every 16th ask only, a few microseconds apart.
class QtEventPump : public EventPump {
 public:
  explicit QtEventPump(std::chrono::milliseconds interval = std::chrono::milliseconds(40))
      : interval_(interval) {}
  void set_before_events(std::function<void()> f) { before_events_ = std::move(f); }
  void ProcessEvents() override;
  // The next call processes events whatever the time.
  void Reset() { primed_ = false; }
  long long rounds() const { return rounds_; }

 private:
  std::chrono::milliseconds interval_;
  static constexpr unsigned kAsksPerClockRead = 16;
  std::chrono::steady_clock::time_point last_{};
  unsigned asks_ = 0;
  bool primed_ = false;
  long long rounds_ = 0;
  std::function<void()> before_events_;
};

}  // namespace lintaro

#endif  // LINTARO_UI_QT_PLATFORM_H_
