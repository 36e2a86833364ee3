// The help window: shows Lintaro.hlp (simple HTML) opened at its contents.
#ifndef LINTARO_UI_HELP_WINDOW_H_
#define LINTARO_UI_HELP_WINDOW_H_

#include <QWidget>

class QTextBrowser;

namespace lintaro {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  // Loads the help file and shows its contents page.
  void OpenContents(const QString& help_file);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  bool placed_ = false;  // opened over the main window once; the user's place after
};

}  // namespace lintaro

#endif  // LINTARO_UI_HELP_WINDOW_H_
