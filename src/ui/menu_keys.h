// Keyboard ways into the menu bar, as in every desktop program: F10, and the
// Alt key pressed and released alone, open the first menu (Left and Right
// go on to the others, Escape leaves). Qt's styles on Linux offer neither.
#ifndef LINTARO_UI_MENU_KEYS_H_
#define LINTARO_UI_MENU_KEYS_H_

#include <QObject>

class QMainWindow;

namespace lintaro {

// Watches the keys of the program for Alt alone on window, and gives window
// the F10 shortcut. Owned by window.
class MenuBarKeys : public QObject {
 public:
  explicit MenuBarKeys(QMainWindow& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OpenFirstMenu();

  QMainWindow& window_;
  // Alt went down with no other key, and nothing has happened since.
  bool alt_alone_ = false;
};

}  // namespace lintaro

#endif  // LINTARO_UI_MENU_KEYS_H_
