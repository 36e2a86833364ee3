// Pictures of the program's windows as the user sees them: read from the
// X screen, window manager's frame and all, or drawn with a plain title bar
// where there is no screen to read; each saved as a PNG file.
#ifndef LINTARO_TOOLS_SCREENSHOT_TOUR_TOUR_PICTURES_H_
#define LINTARO_TOOLS_SCREENSHOT_TOUR_TOUR_PICTURES_H_

#include <QString>

class QWidget;

namespace lintaro {

// Lets the program and the window system work for a fifth of a second:
// windows are mapped, placed by the window manager and painted.
void Settle();

// Waits (at most two seconds) until the window manager has given the
// window the state asked for.
void WaitForState(QWidget& window, bool maximised);

// Saves w, once the window system shows it, as folder/name; false when the
// picture could not be saved. Each file saved or not is named on standard
// error.
bool Save(QWidget* w, const QString& folder, const char* name);

// The whole screen (on an X display only; elsewhere nothing is saved and
// the answer is true).
bool SaveScreen(QWidget& window, const QString& folder, const char* name);

// The main window with the tool tip over it, as the screen shows both.
bool SaveWithTip(QWidget& window, QWidget* tip, const QString& folder, const char* name);

}  // namespace lintaro

#endif  // LINTARO_TOOLS_SCREENSHOT_TOUR_TOUR_PICTURES_H_
