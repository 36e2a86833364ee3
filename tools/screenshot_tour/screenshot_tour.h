// The screenshot tour: drives the main window through its views one after
// the other and saves each as a PNG file, 17 in all: the whole screen at the
// first start (00), the welcome window (01), a run in progress (02), the
// grid view after a run with findings (03) and after a critical stop (04),
// the error-limit dialog (05), the about box (06), the help window (07), the
// tested records (08), the record viewer with marked fields (09) and
// maximised (14), a tool tip (10), the Report Option dialog (11), the report
// window (12) with its Save As (16) and font (17) dialogs, and Go to Record
// (15); the printed report goes to a PDF (13) that scripts/screenshots
// renders.
#ifndef LINTARO_TOOLS_SCREENSHOT_TOUR_SCREENSHOT_TOUR_H_
#define LINTARO_TOOLS_SCREENSHOT_TOUR_SCREENSHOT_TOUR_H_

#include <QString>

namespace lintaro {

class MainWindow;
class UnattendedPrompts;

// Takes the tour in window, whose prompts are prompts, into folder. The
// submissions it tests are written into the program folder's "tour" folder;
// the views of a run with findings need tour/submission-with-mistakes.txt
// there. Returns false when a picture could not be saved.
bool RunScreenshotTour(MainWindow& window, UnattendedPrompts& prompts, const QString& folder);

}  // namespace lintaro

#endif  // LINTARO_TOOLS_SCREENSHOT_TOUR_SCREENSHOT_TOUR_H_
