// Submission files handed to the desktop program from outside its open-file
// dialog: named on the command line (lintaro FILE...) or dropped on the
// window. Either starts a test at once, the same run as Start Testing with
// those files chosen in the dialog, one after the other as the files of one
// submission.
#ifndef LINTARO_UI_HANDED_FILES_H_
#define LINTARO_UI_HANDED_FILES_H_

#include <QObject>
#include <QStringList>
#include <deque>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace lintaro {

class MainWindow;

// The window's dialogs, with the open-file dialog answered from the handed
// files first: each request takes the next file (made absolute); when none
// is left, the screen's dialog asks as usual. Messages and the save dialog
// are the screen's.
class HandedFilePrompts : public Prompts {
 public:
  // screen must outlive this object.
  explicit HandedFilePrompts(Prompts& screen) : screen_(screen) {}

  // Replaces the files waiting to be handed out.
  void Hand(const QStringList& files);
  void Clear() { files_.clear(); }
  size_t waiting() const { return files_.size(); }

  Answer Message(const std::string& title, const std::string& text, Icon icon,
                 Buttons buttons) override;
  std::optional<std::string> OpenFile(const std::string& title, const std::string& filter) override;
  std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                      const std::string& suggested_name) override;

 private:
  Prompts& screen_;
  std::deque<std::string> files_;
};

// Starts tests of handed files on the window. Installed on the window as an
// event filter, it accepts a drag of local files while Start Testing can be
// used and tests the dropped files (in the order the drag lists them).
// Files left over when the run ends (a submission that ended before them)
// are not kept for a later Start Testing.
class FileHandOver : public QObject {
  Q_OBJECT

 public:
  // window and prompts must outlive this object; prompts must be the
  // window's prompts.
  FileHandOver(MainWindow& window, HandedFilePrompts& prompts);

  // Tests the files as soon as the window's event loop runs. Returns false
  // (and tests nothing) when there is no file or Start Testing cannot be
  // used now (a run or a report request is in progress).
  bool Start(const QStringList& files);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool CanStart() const;

  MainWindow& window_;
  HandedFilePrompts& prompts_;
  bool start_posted_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_UI_HANDED_FILES_H_
