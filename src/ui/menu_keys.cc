#include "ui/menu_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>

namespace lintaro {

MenuBarKeys::MenuBarKeys(QMainWindow& window) : QObject(&window), window_(window) {
  auto* f10 = new QAction(&window);
  f10->setObjectName("menuBarKey");
  f10->setShortcut(QKeySequence(Qt::Key_F10));
  f10->setShortcutContext(Qt::WindowShortcut);
  connect(f10, &QAction::triggered, this, [this] { OpenFirstMenu(); });
  window.addAction(f10);
  qApp->installEventFilter(this);
}

void MenuBarKeys::OpenFirstMenu() {
  QMenuBar* bar = window_.menuBar();
  for (QAction* menu : bar->actions()) {
    if (!menu->isVisible() || !menu->isEnabled()) continue;
    bar->setActiveAction(menu);
    return;
  }
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      alt_alone_ = key->key() == Qt::Key_Alt && !key->isAutoRepeat() &&
                   (key->modifiers() & ~Qt::AltModifier) == Qt::NoModifier;
      break;
    }
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() != Qt::Key_Alt || !alt_alone_) break;
      alt_alone_ = false;
      // Only for a key of this window, outside its menus and dialogs.
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget == nullptr || widget->window() != &window_ ||
          QApplication::activePopupWidget() != nullptr ||
          QApplication::activeModalWidget() != nullptr)
        break;
      OpenFirstMenu();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::FocusOut:
      alt_alone_ = false;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace lintaro
