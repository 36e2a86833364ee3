#include "tools/screenshot_tour/tour_pictures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace lintaro {
namespace {

// The window's picture under a plain title bar with its caption, as the
// user sees it framed by the desktop.
QPixmap WithTitleBar(QWidget* w) {
  const QPixmap body = w->grab();
  const int bar = 26;
  QPixmap framed(body.width() + 2, body.height() + bar + 1);
  framed.fill(QColor(0x3a, 0x4a, 0x5f));
  QPainter p(&framed);
  p.drawPixmap(1, bar, body);
  p.drawPixmap(6, 5, w->windowIcon().pixmap(16, 16));
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(28, 0, framed.width() - 32, bar), Qt::AlignLeft | Qt::AlignVCenter,
             w->windowTitle());
  return framed;
}

// The screen's pixels in rect (logical coordinates) when the program runs
// on an X display, where the window manager's frame is part of them; a null
// picture elsewhere.
QPixmap ScreenPixels(const QRect& rect) {
  if (QGuiApplication::platformName() != "xcb") return {};
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  return screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height());
}

// The window as the screen shows it, frame and all, or drawn with a plain
// title bar when there is no screen to read.
QPixmap Picture(QWidget* w) {
  const QPixmap shot = ScreenPixels(w->frameGeometry());
  return shot.isNull() ? WithTitleBar(w) : shot;
}

bool SavePixmap(const QPixmap& picture, const QString& folder, const char* name) {
  const QString file = folder + "/" + name;
  const bool ok = !picture.isNull() && picture.save(file, "PNG");
  std::fprintf(stderr, "%s %s\n", ok ? "saved" : "could not save", file.toUtf8().constData());
  return ok;
}

// Waits (at most two seconds) until the window system shows w, then lets
// it paint.
void WaitUntilShown(QWidget* w) {
  for (int i = 0; i < 10; ++i) {
    const QWindow* handle = w->window()->windowHandle();
    if (handle != nullptr && handle->isExposed()) break;
    Settle();
  }
  Settle();
}

}  // namespace

void Settle() {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 200) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

void WaitForState(QWidget& window, bool maximised) {
  for (int i = 0; i < 10 && window.isMaximized() != maximised; ++i) Settle();
  Settle();
}

bool Save(QWidget* w, const QString& folder, const char* name) {
  WaitUntilShown(w);
  return SavePixmap(Picture(w), folder, name);
}

bool SaveScreen(QWidget& window, const QString& folder, const char* name) {
  WaitUntilShown(&window);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (QGuiApplication::platformName() != "xcb" || screen == nullptr) return true;
  return SavePixmap(ScreenPixels(screen->geometry()), folder, name);
}

bool SaveWithTip(QWidget& window, QWidget* tip, const QString& folder, const char* name) {
  Settle();
  const bool tip_shown = tip != nullptr && tip->isVisible();
  if (tip_shown) {
    const QPixmap shot = ScreenPixels(window.frameGeometry().united(tip->geometry()));
    if (!shot.isNull()) return SavePixmap(shot, folder, name);
  }
  const QPixmap framed = WithTitleBar(&window);
  if (!tip_shown) return SavePixmap(framed, folder, name);
  // The tip may reach past the window, as on the screen.
  const QPoint at = tip->pos() - window.mapToGlobal(QPoint(0, 0)) + QPoint(1, 26);
  const QRect all = framed.rect().united(QRect(at, tip->size()));
  QPixmap shot(all.size());
  shot.fill(QColor(0x2b, 0x2b, 0x2b));
  QPainter p(&shot);
  p.drawPixmap(-all.topLeft(), framed);
  p.drawPixmap(at - all.topLeft(), tip->grab());
  p.end();
  return SavePixmap(shot, folder, name);
}

}  // namespace lintaro
