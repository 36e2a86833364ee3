// The main window's measures: twips (1/1,440 inch) converted to pixels at a
// widget's logical resolution, the sizes its parts share, and the column of
// the shared area (left of the commands) that the parts are laid out in.
#ifndef LINTARO_UI_WINDOW_METRICS_H_
#define LINTARO_UI_WINDOW_METRICS_H_

#include <QWidget>
#include <QtGlobal>

namespace lintaro {

// Sizes in twips shared by the parts of the main window.
inline constexpr int kAreaMarginTwips = 240;     // around the shared area
inline constexpr int kLabelHeightTwips = 300;    // a label's line
inline constexpr int kCaptionHeightTwips = 300;  // a grid's caption bar
inline constexpr int kLogoSideTwips = 1440;

// Pixels of twips at widget's logical resolution (96 dots an inch when it
// has none).
inline int TwipsToPixels(const QWidget* widget, int twips) {
  const int dpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96;
  return static_cast<int>(twips * static_cast<qint64>(dpi) / 1440);
}

// Height of a line of widget's text: twips, or more where the desktop's
// font needs it (a font at 200% does).
inline int LineHeight(const QWidget* widget, int twips) {
  return qMax(TwipsToPixels(widget, twips), widget->fontMetrics().height() + 4);
}

// The column of the shared area that the welcome, the progress line, the
// grid view and the record view fill, in pixels of the area.
struct AreaColumn {
  int left = 0;    // its left edge
  int width = 0;   // its width
  int height = 0;  // the whole area's height
};

}  // namespace lintaro

#endif  // LINTARO_UI_WINDOW_METRICS_H_
