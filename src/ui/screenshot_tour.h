// Shows the program's main views one after the other and saves each as a
// PNG file: the welcome window, a run in progress, the grid view after a
// run with findings and after a critical stop, the error-limit dialog, the
// about box and the help window. Used by scripts/screenshots.
#ifndef LINTARO_UI_SCREENSHOT_TOUR_H_
#define LINTARO_UI_SCREENSHOT_TOUR_H_

#include <QString>

namespace lintaro {

class MainWindow;
class UnattendedPrompts;

// The desktop the tour is taken on, as the desktop's settings would give
// it, from LINTARO_TOUR_DESKTOP: "dark" (a dark palette, as a dark or
// high-contrast desktop theme sets it) or "font200" (the desktop's font at
// twice its size); anything else leaves the desktop as it is. Called before
// the main window is made.
void ApplyTourDesktop();

// Writes its test files into the program folder's "tour" folder. Returns
// false when a picture could not be saved.
bool RunScreenshotTour(MainWindow& window, UnattendedPrompts& prompts, const QString& folder);

}  // namespace lintaro

#endif  // LINTARO_UI_SCREENSHOT_TOUR_H_
