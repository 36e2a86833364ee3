// The fixed texts of the main window and its small dialogs. Lines are
// separated by CR LF, as the texts are written; the window turns them into
// its own line breaks.
#ifndef LINTARO_BROWSE_WINDOW_TEXTS_H_
#define LINTARO_BROWSE_WINDOW_TEXTS_H_

#include <string>
#include <string_view>

#include "browse/commands.h"
#include "core/tax_year.h"
#include "platform/platform.h"

namespace lintaro {

inline constexpr const char* kProgramName = "Lintaro";
inline constexpr auto kWindowTitleText = "Lintaro " + kTaxYearText;
inline constexpr const char* kWindowTitle = kWindowTitleText.c_str();
inline constexpr const char* kAlreadyRunning = "This program is already running.";
// The lock of one copy per user session cannot be made at lock_path (its
// folder is missing or cannot be written).
std::string InstanceLockProblem(const std::string& lock_path);

std::string WelcomeText();
std::string DisclaimerText();

// Caption of a command or menu entry with its access key marked by "&".
std::string_view CommandCaption(Command command);
// The caption without the access-key marker: the command's tool tip.
std::string ToolTipOf(Command command);

// Captions of the top-level menus.
inline constexpr const char* kTestMenu = "&Test";
inline constexpr const char* kViewMenu = "&View";
inline constexpr const char* kHelpMenu = "&Help";

// Viewer headings.
inline constexpr const char* kFieldNameHeading = "Field Name";
inline constexpr const char* kFieldDataHeading = "Field Data";

// The progress line of a run.
std::string ProcessingRecordText(long long rec_ctr);

// The error-limit dialog.
inline constexpr const char* kSetErrorLimitCaption = "Set Error Limit";
inline constexpr const char* kSetErrorLimitMessage =
    "Set the number of error(s) allowed from\r\n1 through 25,000 before testing is stopped";
inline constexpr const char* kErrorLimitTitle = "Error Limit";
// What OK of the dialog says while a check runs (it starts no other).
std::string ErrorLimitDuringRunText(int limit);

// The about box; its version numbers are those of kLintaroVersion.
std::string AboutCaption();
std::string AboutNameText();
std::string AboutVersionText();
std::string AboutRevisionText();

}  // namespace lintaro

#endif  // LINTARO_BROWSE_WINDOW_TEXTS_H_
