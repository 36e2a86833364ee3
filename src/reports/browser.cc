#include "reports/browser.h"

#include <filesystem>

#include "reports/html_report.h"
#include "reports/report_files.h"

namespace lintaro {

namespace {

// Asks whether a text report is wanted instead, after why the browser
// cannot be used; true when the user accepts.
bool TextReportWanted(Prompts& prompts, const std::string& why, const std::string& verb) {
  return prompts.Message("HTML Report", why + "Would you like to " + verb + " a text report?",
                         Icon::kExclamation, Buttons::kOkCancel) == Answer::kOk;
}

}  // namespace

bool OpenInBrowser(Prompts& prompts, Shell& shell, const BrowserRequest& request,
                   std::string& html) {
  std::string file = (std::filesystem::path(request.program_folder) / kHtmlFileName).string();
  std::string write_failure;
  try {
    file = WriteHtmlFile(request.program_folder, html);
  } catch (const ReportFileError& e) {
    write_failure = e.what();
    if (html.empty()) html = kHtmlPlaceholder;
  }
  const bool agency_page = html == kHtmlPlaceholder;
  const std::string target = agency_page ? request.online_services_url : PathToUrl(file);
  const std::string verb = request.print_requested ? "print" : "view";

  if (!write_failure.empty() && !agency_page) {
    // The report never reached the file: no browser can show it.
    return !TextReportWanted(prompts, "The report could not be written: " + write_failure + "\r\n",
                             verb);
  }

  const std::optional<std::string> browser = shell.FindAssociatedProgram(file);
  if (!browser || browser->empty()) {
    if (!agency_page)
      return !TextReportWanted(prompts, "Could not find a default Web Browser. \r\n", verb);
    prompts.Message("Browser Not Found", "Could not find a default Web Browser. ",
                    Icon::kExclamation, Buttons::kOk);
    return true;
  }

  bool done = false;
  if (request.print_requested) done = shell.PrintDocument(file);
  if (!done) done = shell.OpenProgram(*browser, target);
  if (done) return true;
  const std::string not_opened = "Your default browser could not be opened: \r\n" + *browser;
  if (!agency_page) return !TextReportWanted(prompts, not_opened + "\r\n\r\n", verb);
  prompts.Message("Connect to Fileport", not_opened, Icon::kExclamation, Buttons::kOk);
  return true;
}

}  // namespace lintaro
