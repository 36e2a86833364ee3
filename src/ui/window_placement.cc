#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

namespace lintaro {
namespace {

constexpr const char* kGeometryKey = "MainWindow/geometry";
constexpr const char* kTestedShareKey = "MainWindow/testedRecordsShare";

QRect AvailableArea(const QWidget& window) {
  QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

QSize MinimumWindowSize(QSize design, QRect available) {
  return design.boundedTo(available.size());
}

QSize FirstStartSize(QRect available, QSize minimum) {
  const QSize wanted(available.width() * 9 / 10, available.height() * 9 / 10);
  return wanted.expandedTo(minimum).boundedTo(available.size());
}

QString WindowPlacement::DefaultFile() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/window.ini";
}

bool WindowPlacement::Restore(QWidget& window) const {
  const QByteArray saved = QSettings(file_, QSettings::IniFormat).value(kGeometryKey).toByteArray();
  if (!saved.isEmpty() && window.restoreGeometry(saved)) return true;
  const QRect available = AvailableArea(window);
  window.resize(FirstStartSize(available, window.minimumSize()));
  window.move(available.center() - QPoint(window.width() / 2, window.height() / 2));
  return false;
}

double WindowPlacement::TestedRecordsShare() const {
  const double share =
      QSettings(file_, QSettings::IniFormat).value(kTestedShareKey, 0.0).toDouble();
  return share > 0 && share < 1 ? share : 0;
}

void WindowPlacement::SaveTestedRecordsShare(double share) const {
  if (share <= 0) return;
  QSettings settings(file_, QSettings::IniFormat);
  settings.setValue(kTestedShareKey, share);
  settings.sync();
}

void WindowPlacement::Save(const QWidget& window) const {
  QSettings settings(file_, QSettings::IniFormat);
  settings.setValue(kGeometryKey, window.saveGeometry());
  settings.sync();
}

}  // namespace lintaro
