// The screen's width and the pointer's size, as the desktop program finds
// them at start-up and hands them to the window (the grid's tool tips are
// placed and wrapped by them).
#ifndef LINTARO_UI_SCREEN_METRICS_H_
#define LINTARO_UI_SCREEN_METRICS_H_

namespace lintaro {

struct ScreenMetrics {
  int screen_width = 0;  // 0: the width of the screen the grid is on
  int cursor_width = 32;
  int cursor_height = 32;
};

// The primary screen's width and the pointer's size as the desktop
// configures it (XCURSOR_SIZE); needs the application object.
ScreenMetrics MeasureScreenMetrics();

}  // namespace lintaro

#endif  // LINTARO_UI_SCREEN_METRICS_H_
