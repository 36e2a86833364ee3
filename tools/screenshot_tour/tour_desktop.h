// The desktop the screenshot tour is taken on, as the desktop's settings
// would give it: a dark palette or a doubled font.
#ifndef LINTARO_TOOLS_SCREENSHOT_TOUR_TOUR_DESKTOP_H_
#define LINTARO_TOOLS_SCREENSHOT_TOUR_TOUR_DESKTOP_H_

namespace lintaro {

// From LINTARO_TOUR_DESKTOP: "dark" (a dark palette, as a dark or
// high-contrast desktop theme sets it) or "font200" (the desktop's font at
// twice its size); anything else leaves the desktop as it is. Called before
// the main window is made.
void ApplyTourDesktop();

}  // namespace lintaro

#endif  // LINTARO_TOOLS_SCREENSHOT_TOUR_TOUR_DESKTOP_H_
