// "Set Error Limit": the number of findings after which a run stops.
// Not modal; OK keeps and saves the limit and starts a test run at once.
#ifndef LINTARO_UI_ERROR_LIMIT_DIALOG_H_
#define LINTARO_UI_ERROR_LIMIT_DIALOG_H_

#include <QDialog>

#include "platform/platform.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lintaro {

class MainWindow;

class ErrorLimitDialog : public QDialog {
  Q_OBJECT

 public:
  ErrorLimitDialog(MainWindow& window, Prompts& prompts);

  // Shows the dialog, centred on the screen, with the current limit.
  void Open(int current_limit);
  // OK (also Enter in the entry): refuses an entry outside 1 to 25,000
  // with the Error Limit message and returns to the entry; otherwise keeps
  // the limit, closes and starts a run (during a check it starts none: the
  // check under way takes the new limit, and a message says so).
  void AcceptLimit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Activates the dialog and puts the focus in the entry, text selected.
  void FocusEntry();

  MainWindow& window_;
  Prompts& prompts_;
  QPlainTextEdit* message_box_;
  QLineEdit* limit_entry_;
  QPushButton* ok_button_;
  QPushButton* cancel_button_;
};

// Whether a key typed in the limit box is kept: digits and Backspace, and
// the keys that type nothing (arrows, Home, End, Delete, Tab, Enter, Esc).
bool LimitKeyAccepted(int key, const QString& text);

}  // namespace lintaro

#endif  // LINTARO_UI_ERROR_LIMIT_DIALOG_H_
