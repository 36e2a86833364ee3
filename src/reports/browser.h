// Handing the HTML report (or the filing agency's online-services page) to
// the user's default web browser.
#ifndef LINTARO_REPORTS_BROWSER_H_
#define LINTARO_REPORTS_BROWSER_H_

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/platform_shell.h"

namespace lintaro {

struct BrowserRequest {
  std::string program_folder;       // where temphtm.HTM is written
  std::string online_services_url;  // opened when html is empty
  bool print_requested = false;     // print instead of view
};

// OpenInBrowser: writes html to temphtm.HTM (an empty html becomes the
// placeholder, in the caller's variable too) and has the default browser
// open or print it; for the placeholder it opens the online-services page.
// When no browser can be used it asks whether a text report is wanted and
// returns false when the user accepts; true otherwise. A temphtm.HTM that
// cannot be written is reported like a browser that cannot be opened.
bool OpenInBrowser(Prompts& prompts, Shell& shell, const BrowserRequest& request,
                   std::string& html);

// The online-services page's address unless the implementer's setting says
// otherwise.
inline constexpr const char* kOnlineServicesUrl = "https://www.wagemark.example/online-services";

}  // namespace lintaro

#endif  // LINTARO_REPORTS_BROWSER_H_
