#include "tools/screenshot_tour/tour_desktop.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPalette>

namespace lintaro {

void ApplyTourDesktop() {
  const QString desktop = qEnvironmentVariable("LINTARO_TOUR_DESKTOP");
  if (desktop == "font200") {
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * 2);
    QApplication::setFont(font);
  } else if (desktop == "dark") {
    QPalette dark;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xea, 0xea, 0xea);
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase})
      dark.setColor(role, window);
    dark.setColor(QPalette::Base, base);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      dark.setColor(role, text);
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x6f, 0xb4));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);
  }
}

}  // namespace lintaro
