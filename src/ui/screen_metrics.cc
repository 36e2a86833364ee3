#include "ui/screen_metrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace lintaro {

ScreenMetrics MeasureScreenMetrics() {
  ScreenMetrics metrics;
  if (QScreen* screen = QGuiApplication::primaryScreen())
    metrics.screen_width = screen->geometry().width();
  bool ok = false;
  const int size = qEnvironmentVariableIntValue("XCURSOR_SIZE", &ok);
  if (ok && size > 0) metrics.cursor_width = metrics.cursor_height = size;
  return metrics;
}

}  // namespace lintaro
